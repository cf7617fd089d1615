#pragma once

#include "ScopedService.h"

#include <sys/types.h>
#include <vector>

/// The process's real and effective user IDs, as a service so that tests can follow the
/// launcher command's switches between them without the privileges to make them.
class QorUserIDs {
public:
    virtual ~QorUserIDs() = default;
    virtual uid_t RealUserID() = 0;
    virtual uid_t EffectiveUserID() = 0;
    /// 0, or -1 with errno set when the switch is not allowed.
    virtual int SetEffectiveUserID(uid_t uid) = 0;
};

QorUserIDs& QorCurrentUserIDs();
/// nullptr puts the real IDs back.
void QorInstallUserIDs(QorUserIDs* ids);
using QorScopedUserIDs = QorScopedService<QorUserIDs, QorCurrentUserIDs, QorInstallUserIDs>;

/// User IDs for tests: whatever they were given; every switch is recorded and allowed.
class QorFakeUserIDs : public QorUserIDs {
public:
    QorFakeUserIDs(uid_t real, uid_t effective) : mReal(real), mEffective(effective) {}
    uid_t RealUserID() override { return mReal; }
    uid_t EffectiveUserID() override { return mEffective; }
    int SetEffectiveUserID(uid_t uid) override {
        mSwitches.push_back(uid);
        mEffective = uid;
        return 0;
    }
    /// The effective IDs set, in order.
    const std::vector<uid_t>& Switches() const { return mSwitches; }

private:
    uid_t mReal;
    uid_t mEffective;
    std::vector<uid_t> mSwitches;
};
