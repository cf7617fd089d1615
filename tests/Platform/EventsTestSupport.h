#pragma once

// Helpers for the event, port and process tests: a temporary system root, events built in one
// call, and children that run as another user.

#include "AppleEvents.h"
#include "ForkedStep.h"
#include "OwnedDesc.h"
#include "TempRoot.h"

#include <unistd.h>

namespace events_test {

/// A temporary install and system root that other users can search: children run as another
/// user must get to their own port folder.
class TempRoot : public qor_test::TempRoot {
public:
    TempRoot() : qor_test::TempRoot({.openToOthers = true}) {}
};

using Desc = qor_test::OwnedDesc;

/// An event addressed by creator code or port name (a 4-byte number in native order).
inline OSErr MakeEvent(AEEventClass eventClass, AEEventID eventID, DescType targetType,
                       uint32_t target, AppleEvent* event) {
    AEDesc address;
    OSErr status = AECreateDesc(targetType, &target, 4, &address);
    if (status)
        return status;
    status = AECreateAppleEvent(eventClass, eventID, &address, kAutoGenerateReturnID,
                                kAnyTransactionID, event);
    (void)AEDisposeDesc(&address);
    return status;
}

/// The uid of the unprivileged account tests run children as.
constexpr uid_t kNobody = 65534;

/// In a forked child: become nobody completely (groups too). False when that fails.
inline bool BecomeNobody() {
    return qor_test::BecomeAccount(kNobody, kNobody);
}

} // namespace events_test
