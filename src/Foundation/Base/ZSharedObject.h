#pragma once

#include <cstdint>

/// A reference-counted object: count 1 at creation (the creator's reference), destroyed
/// through its virtual destructor when the last reference is released.
class ZSharedObject {
public:
    ZSharedObject() = default;
    virtual ~ZSharedObject() = default;

    ZSharedObject(const ZSharedObject&) = delete;
    ZSharedObject& operator=(const ZSharedObject&) = delete;

    void Attach() { ++mReferenceCount; }
    /// Out of line: inlined next to a `new`, g++ mistakes the deleting destructor's call for a
    /// free of a non-heap object.
    void Release();
    int32_t GetReferenceCount() const { return mReferenceCount; }

private:
    int32_t mReferenceCount = 1;
};

/// Scoped holder of one reference to a ZSharedObject.
class ZStSharedObject {
public:
    /// With inAddReference the holder takes a reference of its own; otherwise it adopts the
    /// caller's reference.
    explicit ZStSharedObject(ZSharedObject* inObject = nullptr, bool inAddReference = false)
        : mObject(inObject) {
        if (mObject && inAddReference)
            mObject->Attach();
    }
    ~ZStSharedObject() {
        if (mObject)
            mObject->Release();
    }

    ZStSharedObject(const ZStSharedObject&) = delete;
    ZStSharedObject& operator=(const ZStSharedObject&) = delete;

    /// Holds newObject (with a reference of its own) and releases the previous one.
    void Adopt(ZSharedObject* newObject) {
        if (newObject == mObject)
            return;
        ZSharedObject* old = mObject;
        mObject = newObject;
        if (mObject)
            mObject->Attach();
        if (old)
            old->Release();
    }

    /// Gives the held reference to the caller without releasing it.
    ZSharedObject* Release() {
        ZSharedObject* object = mObject;
        mObject = nullptr;
        return object;
    }

    ZSharedObject* Get() const { return mObject; }
    bool IsEmpty() const { return mObject == nullptr; }
    bool IsntEmpty() const { return mObject != nullptr; }

private:
    ZSharedObject* mObject;
};
