#include "MissedTasksDaemon.h"

#include "Clock.h"
#include "InstallRoot.h"
#include "LastShutdownTime.h"
#include "MissedTaskScan.h"
#include "ShutdownStamp.h"
#include "SystemLog.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <linux/close_range.h>
#include <string>
#include <syslog.h>
#include <unistd.h>

extern char** environ;

const char kMissedTasksPath[] = "/Library/StartupItems/TavrinMissedTasks/TavrinMissedTasks";

int64_t gLastSleepTime = 0;
io_object_t gIONotifier = 0;
io_connect_t gIOService = 0;

namespace {

constexpr char kParentIdentity[] = "QorMissedTask - parent";
constexpr unsigned kStartPauseSeconds = 60;
constexpr int64_t kShortSleepSeconds = 30;
constexpr unsigned kShortSleepPauseSeconds = 2;
constexpr unsigned kWakeScanPauseSeconds = 20;

// The text asctime gives for the local time of t, line end included.
std::string AscTime(int64_t t) {
    time_t seconds = time_t(t);
    struct tm local;
    char text[64];
    if (!localtime_r(&seconds, &local) || !asctime_r(&local, text))
        return std::to_string(t) + "\n";
    return text;
}

void InstallHandler(int sig) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = &MySigHandler;
    // The handler stays installed; interrupted calls go on where they can.
    action.sa_flags = SA_RESTART | (sig == SIGCHLD ? SA_NOCLDSTOP : 0);
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGCHLD);
    (void)sigaction(sig, &action, nullptr);
}

// The scan of a wake's window, in its own process so that the parent goes on serving power
// messages. It keeps none of the parent's descriptors: an inherited sleep lock would hold up
// the next sleep for as long as the scan runs.
[[noreturn]] void RunWakeScan(int64_t wakeTime, int64_t sleepTime) {
    QorPowerForgetInChild();
    gIONotifier = 0;
    QorCloseLog();
    (void)close_range(3, ~0U, 0);
    QorOpenLog(kParentIdentity, LOG_PID, LOG_USER);
    QorSleep(kWakeScanPauseSeconds);
    _exit(int(DoCrontabLoop(wakeTime, sleepTime, false)));
}

void HandleWake(intptr_t messageArgument) {
    int64_t now = MyTime(nullptr);
    (void)IOAllowPowerChange(gIOService, messageArgument);
    if (gLastSleepTime > 0) {
        if (now - gLastSleepTime < kShortSleepSeconds) {
            QorSleep(kShortSleepPauseSeconds);
            now = MyTime(nullptr);
        }
        QorSyslog(LOG_INFO, "sleeptime recorded: %s\n", AscTime(gLastSleepTime).c_str());
        QorSyslog(LOG_INFO, "waketime is: %s\n", AscTime(now).c_str());
        if (fork() == 0)
            RunWakeScan(now, gLastSleepTime);
    }
    gLastSleepTime = 0;
}

void HandleShutdown(intptr_t messageArgument) {
    int64_t now = MyTime(nullptr);
    if (int error = QorWriteShutdownStamp(now))
        QorSyslog(LOG_ERR, "cannot note the shutdown time in %s: %s\n",
                  QorSystemPath(gShutdownStampFile).c_str(), strerror(error));
    else
        QorSyslog(LOG_INFO, "shutdown recorded: %s\n", AscTime(now).c_str());
    (void)IOAllowPowerChange(gIOService, messageArgument);
}

[[noreturn]] void RunKickstarter() {
    if (daemon(0, 0) != 0)
        QorSyslog(LOG_ALERT, "TavrinMissedTasks could not start. Tavrin Scheduler tasks which "
                             "occur during logout or sleep will not be run!\n");
    QorSyslog(LOG_DEBUG, "TavrinMissedTasks kickstarter launching daemon\n");
    std::string path = QorPath(kMissedTasksPath);
    char* arguments[] = {path.data(), nullptr};
    execve(path.c_str(), arguments, environ);
    exit(-1);
}

} // namespace

int64_t MyTime(int64_t*) {
    return QorNow();
}

void MyPowerCallback(void*, io_service_t, natural_t messageType, intptr_t messageArgument) {
    switch (messageType) {
    case kIOMessageCanSystemSleep: {
        int64_t now = MyTime(nullptr);
        QorSyslog(LOG_INFO, "sleep request recorded: %s\n", AscTime(now).c_str());
        (void)IOAllowPowerChange(gIOService, messageArgument);
        gLastSleepTime = now;
        break;
    }
    case kIOMessageSystemWillSleep: {
        int64_t now = MyTime(nullptr);
        QorSyslog(LOG_INFO, "sleep demand recorded: %s\n", AscTime(now).c_str());
        (void)IOAllowPowerChange(gIOService, messageArgument);
        gLastSleepTime = now;
        break;
    }
    case kIOMessageSystemWillNotSleep:
        if (gLastSleepTime > 0) {
            int64_t now = MyTime(nullptr);
            QorSyslog(LOG_INFO, "sleep request recorded: %s\n", AscTime(gLastSleepTime).c_str());
            QorSyslog(LOG_INFO, "sleep cancelled time is: %s\n", AscTime(now).c_str());
        }
        (void)IOAllowPowerChange(gIOService, messageArgument);
        gLastSleepTime = 0;
        break;
    case kIOMessageSystemHasPoweredOn:
        HandleWake(messageArgument);
        break;
    case kIOMessageSystemWillPowerOff:
        HandleShutdown(messageArgument);
        break;
    default:
        break;
    }
}

void MySigHandler(int sig) {
    switch (sig) {
    case SIGCHLD:
        QorReapChildren();
        break;
    case SIGHUP:
    case SIGTERM:
        if (gIONotifier != 0)
            (void)IODeregisterForSystemPower(&gIONotifier);
        gIONotifier = 0;
        // exit() would run atexit handlers and destructors in signal context, where the
        // interrupted code may hold their locks.
        _exit(0);
    default:
        break;
    }
}

int TavrinMissedTasksMain(int argc, char** argv) {
    QorSetOwnFixedPath(kMissedTasksPath);
    if (argc == 2 && strcmp(argv[1], "start") == 0)
        RunKickstarter();

    // The launcher started for each task must work under the roots this process uses.
    QorExportRoots();
    QorOpenLog(kParentIdentity, LOG_PID, LOG_USER);
    InstallHandler(SIGHUP);
    InstallHandler(SIGTERM);
    InstallHandler(SIGCHLD);

    const int64_t nowTime = MyTime(nullptr);
    const int64_t lastShutdownTime = GetLastShutdownTime();
    QorSleep(kStartPauseSeconds);
    if (int32_t status = DoCrontabLoop(nowTime, lastShutdownTime, false)) {
        QorSyslog(LOG_ERR, "cannot open the crontabs in %s/%s\n",
                  QorSystemPath(gCronFolder).c_str(), gCrontabsName);
        return int(status);
    }

    IONotificationPortRef notifyPort = nullptr;
    gIOService = IORegisterForSystemPower(nullptr, &notifyPort, &MyPowerCallback, &gIONotifier);
    if (gIOService == 0) {
        QorSyslog(LOG_ERR, "cannot register for sleep and wake messages: %s\n",
                  QorPowerLastError().c_str());
        return 1;
    }
    (void)QorRunPowerLoop(notifyPort);
    QorSyslog(LOG_ERR, "no more sleep and wake messages: %s\n", QorPowerLastError().c_str());
    QorCloseLog();
    return 0;
}
