#pragma once

// An event descriptor a test fills and forgets.

#include "AppleEvents.h"

namespace qor_test {

/// Owns one descriptor: empty at first, disposed with the object. get() (or &desc) gives it to
/// the call that fills it, *desc reads it.
class OwnedDesc {
public:
    OwnedDesc() { AEInitializeDesc(&mDesc); }
    ~OwnedDesc() { (void)AEDisposeDesc(&mDesc); }
    OwnedDesc(const OwnedDesc&) = delete;
    OwnedDesc& operator=(const OwnedDesc&) = delete;

    AEDesc* get() { return &mDesc; }
    AEDesc* operator&() { return &mDesc; }
    const AEDesc& operator*() const { return mDesc; }

private:
    AEDesc mDesc;
};

} // namespace qor_test
