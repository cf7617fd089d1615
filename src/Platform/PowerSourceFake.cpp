#include "PowerSourceFake.h"

#include <cerrno>

bool QorFakePowerSource::Register(std::string* outReason) {
    if (!mFailure.empty()) {
        *outReason = mFailure;
        return false;
    }
    mRegistered = true;
    ++mRegistrations;
    return true;
}

int QorFakePowerSource::Run(const std::function<void(natural_t, intptr_t)>& deliver,
                            std::string* outReason) {
    while (!mQueue.empty()) {
        natural_t type = mQueue.front();
        mQueue.pop_front();
        if (mRegistered)
            deliver(type, ++mLastId);
    }
    *outReason = "no more messages";
    return -ECONNRESET;
}

IOReturn QorFakePowerSource::Allow(intptr_t id) {
    mAllowed.push_back(id);
    return kIOReturnSuccess;
}
