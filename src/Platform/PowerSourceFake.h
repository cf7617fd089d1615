#pragma once

#include "PowerSource.h"

#include <deque>
#include <string>
#include <vector>

/// A power source for tests: registration can be made to fail, Run delivers the queued
/// messages (ids 1, 2, ...) and then ends as a lost connection would, and every
/// acknowledgement is recorded.
class QorFakePowerSource : public QorPowerSource {
public:
    bool Register(std::string* outReason) override;
    int Run(const std::function<void(natural_t, intptr_t)>& deliver,
            std::string* outReason) override;
    IOReturn Allow(intptr_t id) override;
    void Deregister() override { mRegistered = false; }
    void ForgetInChild() override { mRegistered = false; }

    /// The next registrations fail with this reason.
    void FailRegistration(std::string reason) { mFailure = std::move(reason); }
    /// Adds a message for Run to deliver.
    void Queue(natural_t messageType) { mQueue.push_back(messageType); }

    int Registrations() const { return mRegistrations; }
    /// The ids acknowledged, in order.
    const std::vector<intptr_t>& Allowed() const { return mAllowed; }

private:
    std::string mFailure;
    std::deque<natural_t> mQueue;
    bool mRegistered = false;
    int mRegistrations = 0;
    intptr_t mLastId = 0;
    std::vector<intptr_t> mAllowed;
};
