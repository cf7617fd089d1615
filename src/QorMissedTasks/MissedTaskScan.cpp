#include "MissedTaskScan.h"

#include "Accounts.h"
#include "Crontab.h"
#include "InstallRoot.h"
#include "LaunchTime.h"
#include "QorScheduleErr.h"
#include "SystemLog.h"
#include "TaskChild.h"
#include "TempFile.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

int32_t gChildren = 0;

const char gCronFolder[] = "/var/spool/cron";
const char gCrontabsName[] = "crontabs";

namespace {

constexpr uint32_t kClumpSize = 4;

// While the crontab command runs, finished children are left for later: the command's own
// status must reach the code that waits for it, not the SIGCHLD handler.
class DeferredChildSignals {
public:
    DeferredChildSignals() {
        sigset_t child;
        sigemptyset(&child);
        sigaddset(&child, SIGCHLD);
        sigprocmask(SIG_BLOCK, &child, &mPrevious);
    }
    ~DeferredChildSignals() { sigprocmask(SIG_SETMASK, &mPrevious, nullptr); }
    DeferredChildSignals(const DeferredChildSignals&) = delete;
    DeferredChildSignals& operator=(const DeferredChildSignals&) = delete;

private:
    sigset_t mPrevious;
};

// The moment of the task's latest scheduled minute before the present one.
int64_t PreviousLaunch(ZQorScheduledTask* task) {
    ZQorScheduledTask::GenericTimeRec previous = {};
    (void)task->GetPrevLaunchTime(nullptr, &previous);
    return int64_t(QorLocalMinuteToSeconds(previous.year, previous.month - 1, previous.day,
                                           previous.hour, previous.minute));
}

// The super-user again after a user's tasks. Its real ID is root's, so this cannot fail unless
// the process is not what it must be; it must not go on scanning as a user.
void BackToSuperUser() {
    if (seteuid(getuid()) == 0)
        return;
    QorSyslog(LOG_ERR, "cannot return to the super-user: %s\n", strerror(errno));
    _exit(1);
}

} // namespace

void QorReapChildren() {
    int saved = errno;
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    errno = saved;
}

int32_t DoCrontabLoop(int64_t endTime, int64_t startTime, bool waitForChildren) {
    DIR* tabs = nullptr;
    if (chdir(QorSystemPath(gCronFolder).c_str()) == 0)
        tabs = opendir(gCrontabsName);
    if (!tabs)
        return 2;
    while (dirent* entry = readdir(tabs)) {
        // Dot-files are never crontabs (nor accounts): ".", "..", the crontab command's own
        // temporary files.
        if (entry->d_name[0] == '.')
            continue;
        QorAccount account;
        if (!QorLookUpAccountNamed(entry->d_name, &account))
            continue;
        (void)ProcessCrontab(entry->d_name, account.uid, endTime, startTime);
    }
    closedir(tabs);

    // The count is not lowered as children end, so it can be below zero after a scan that
    // started none: waiting stops there too, and when no child is left to wait for.
    for (;;) {
        int32_t before = gChildren--;
        if (before <= 0 || !waitForChildren)
            return 0;
        if (wait(nullptr) < 0 && errno == ECHILD)
            return 0;
    }
}

int ProcessCrontab(const char* username, uint32_t uid, int64_t nowTime, int64_t lastShutdownTime) {
    QorTempFile listing;
    if (listing.Create() != 0) {
        QorSyslog(LOG_ERR, "cannot create a temporary file in %s: %s\n",
                  QorSystemPath("/tmp").c_str(), strerror(errno));
        return -1;
    }
    QorCrontabResult listed;
    {
        DeferredChildSignals deferred;
        listed = QorCurrentCrontab().List(uid == 0 ? nullptr : username, listing.Fd(),
                                          kQorMaxListingBytes);
    }
    if (listed.status == QorCrontabStatus::kNoCrontab)
        return -1;
    if (listed.status != QorCrontabStatus::kDone) {
        QorSyslog(LOG_ERR, "cannot list the crontab of %s: %s\n", username, listed.message.c_str());
        return -1;
    }
    FILE* input = listing.OpenStream("r");
    if (!input)
        return -1;
    if (seteuid(uid) != 0) {
        QorSyslog(LOG_ERR, "cannot act as %s: %s\n", username, strerror(errno));
        fclose(input);
        return -1;
    }

    ZQorScheduledTaskArray* tasks = nullptr;
    bool read = true;
    try {
        tasks = new ZQorScheduledTaskArray(input, kClumpSize, 0);
    } catch (...) {
        // One unreadable crontab must not end the scan of the others.
        tasks = nullptr;
        read = false;
    }
    uint32_t count = tasks ? tasks->GetNumItems() : 0;
    for (uint32_t i = 0; i < count; ++i) {
        ZQorScheduledTask* task = tasks->NthValue(i);
        if (!task || task->mEnabled == 0)
            continue;
        int64_t t = PreviousLaunch(task);
        if (t >= nowTime || t <= lastShutdownTime)
            continue;
        DoTask(task);
    }
    delete tasks;
    fclose(input);
    BackToSuperUser();
    return read ? 0 : -1;
}

void DoTask(ZQorScheduledTask* task) {
    if (!task || !task->mTaskDesc)
        return;
    ++gChildren;
    pid_t pid = fork();
    if (pid < 0) {
        --gChildren;
        return;
    }
    if (pid == 0)
        QorRunTaskChild(task, gChildren);
}
