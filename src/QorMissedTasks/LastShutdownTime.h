#pragma once

#include "LoginAccounting.h"

#include <cstdint>

// The start of the start-up window: when the machine last went down.

/// The accounting file and wtmpdb's database, under the system root.
extern const char gWtmpFile[];
extern const char gWtmpdbFile[];

/// The decision over the machine's records, fed newest first. A shutdown met before any boot
/// gives its own time; a boot gives the time of the record just before it (normally the
/// shutdown that preceded it, or the last sign of life before a crash). When that boot lies
/// more than 60 seconds before nowTime, the daemon was not started at boot, and the answer is
/// the time of the newest record instead. With neither kind of record the answer is 0.
class QorShutdownRule {
public:
    explicit QorShutdownRule(int64_t nowTime) : mNowTime(nowTime) {}

    /// Takes the next older record; false once the answer is known.
    bool Visit(const QorAccountingRecord& record);
    int64_t Result() const;
    /// Whether any record was seen at all.
    bool SawRecord() const { return mSawRecord; }

private:
    int64_t mNowTime;
    int64_t mLastShutdownTime = 0;
    int64_t mRebootTime = 0;
    int64_t mFirstTime = 0;
    bool mUseNext = false;
    bool mSawRecord = false;
};

/// When the machine last shut down, from the first store that holds any record: the accounting
/// file, else wtmpdb's database, else the daemon's own shutdown note (with the kernel's boot
/// time as the boot that followed it). 0 when none has a record, which is logged: every task
/// due before the start is then made up for.
int64_t GetLastShutdownTime();
