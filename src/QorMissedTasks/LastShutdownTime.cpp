#include "LastShutdownTime.h"

#include "Clock.h"
#include "InstallRoot.h"
#include "ShutdownStamp.h"
#include "SystemLog.h"

#include <syslog.h>

const char gWtmpFile[] = "/var/log/wtmp";
const char gWtmpdbFile[] = "/var/lib/wtmpdb/wtmp.db";

namespace {

constexpr int64_t kStartedAtBootSeconds = 60;

// The shutdown note and the boot after it, as the other stores would record them.
int ReadShutdownStamp(const std::string&, const QorAccountingVisitor& visit) {
    int64_t shutdownTime = 0;
    if (int error = QorReadShutdownStamp(&shutdownTime))
        return error;
    QorAccountingRecord shutdown{shutdownTime, QorAccountingKind::kShutdown};
    int64_t bootTime = 0;
    if (QorReadBootTime(&bootTime) != 0 || bootTime < shutdownTime) {
        // No boot after the note: it was written since this boot, or the boot time is unknown.
        (void)visit(shutdown);
        return 0;
    }
    if (visit({bootTime, QorAccountingKind::kReboot}))
        (void)visit(shutdown);
    return 0;
}

} // namespace

bool QorShutdownRule::Visit(const QorAccountingRecord& record) {
    mSawRecord = true;
    if (mFirstTime == 0)
        mFirstTime = record.time;
    if (mUseNext) {
        mLastShutdownTime = record.time;
        return false;
    }
    if (record.kind == QorAccountingKind::kShutdown)
        mLastShutdownTime = record.time;
    if (record.kind == QorAccountingKind::kReboot) {
        mRebootTime = record.time;
        mUseNext = true;
    }
    return mLastShutdownTime == 0;
}

int64_t QorShutdownRule::Result() const {
    if (mRebootTime != 0 && mNowTime - mRebootTime > kStartedAtBootSeconds)
        return mFirstTime;
    return mLastShutdownTime;
}

int64_t GetLastShutdownTime() {
    const int64_t nowTime = QorNow();
    struct Store {
        std::string path;
        int (*read)(const std::string& path, const QorAccountingVisitor& visit);
    };
    const Store stores[] = {
        {QorSystemPath(gWtmpFile), &QorReadWtmp},
        {QorSystemPath(gWtmpdbFile), &QorReadWtmpdb},
        {QorSystemPath(gShutdownStampFile), &ReadShutdownStamp},
    };
    for (const Store& store : stores) {
        QorShutdownRule rule(nowTime);
        (void)store.read(store.path,
                         [&rule](const QorAccountingRecord& record) { return rule.Visit(record); });
        if (!rule.SawRecord())
            continue;
        int64_t result = rule.Result();
        if (result == 0)
            QorSyslog(LOG_INFO,
                      "%s holds no record of the last shutdown: every enabled task that was due "
                      "before now is run\n",
                      store.path.c_str());
        return result;
    }
    QorSyslog(LOG_INFO,
              "no record of the last shutdown in %s, %s or %s: every enabled task that was due "
              "before now is run\n",
              stores[0].path.c_str(), stores[1].path.c_str(), stores[2].path.c_str());
    return 0;
}
