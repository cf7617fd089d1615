#include "Clock.h"
#include "LastShutdownTime.h"
#include "MissedTasksDaemon.h"
#include "MissedTasksTestSupport.h"
#include "PowerSourceFake.h"
#include "ShutdownStamp.h"
#include "SystemLog.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace missed_test;

namespace {

// The power callback on a fake clock, log and power source, registered as the daemon does.
class PowerCallback : public ::testing::Test {
protected:
    void SetUp() override {
        gLastSleepTime = 0;
        IONotificationPortRef port = nullptr;
        gIOService = IORegisterForSystemPower(nullptr, &port, &MyPowerCallback, &gIONotifier);
        ASSERT_NE(gIOService, 0u);
    }
    void TearDown() override {
        (void)IODeregisterForSystemPower(&gIONotifier);
        gIOService = 0;
        gLastSleepTime = 0;
    }

    // Delivers one message at the given time; returns the lines it logged.
    std::vector<std::string> Deliver(natural_t type, int64_t at) {
        mClock.Set(at);
        size_t before = mLog.Lines().size();
        MyPowerCallback(nullptr, 1, type, ++mNextId);
        std::vector<std::string> lines;
        for (size_t i = before; i < mLog.Lines().size(); ++i)
            lines.push_back(mLog.Lines()[i].message);
        return lines;
    }

    // The status of the scan process a wake started, or nullopt when it started none.
    static std::optional<int> ScanProcess() {
        int status = 0;
        if (waitpid(-1, &status, 0) <= 0)
            return std::nullopt;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Asc(int64_t t) {
        time_t seconds = time_t(t);
        struct tm local;
        localtime_r(&seconds, &local);
        char text[64];
        return asctime_r(&local, text);
    }

    TestRoot mRoot;
    ScopedTimeZone mZone{"Europe/Berlin"};
    const int64_t mT = LocalTime(2024, 3, 5, 22, 0);
    QorFakeClock mClock{mT};
    QorScopedClock mUseClock{&mClock};
    QorFakeSystemLog mLog;
    QorScopedSystemLog mUseLog{&mLog};
    QorFakePowerSource mPower;
    QorScopedPowerSource mUsePower{&mPower};
    intptr_t mNextId = 0;
};

TEST_F(PowerCallback, SleepRequestsAndCancellations) {
    EXPECT_EQ(Deliver(kIOMessageCanSystemSleep, mT),
              (std::vector<std::string>{"sleep request recorded: " + Asc(mT) + "\n"}));
    EXPECT_EQ(gLastSleepTime, mT);
    EXPECT_EQ(Deliver(kIOMessageSystemWillSleep, mT + 5),
              (std::vector<std::string>{"sleep demand recorded: " + Asc(mT + 5) + "\n"}));
    EXPECT_EQ(gLastSleepTime, mT + 5) << "a later request replaces the earlier one";
    EXPECT_EQ(Deliver(kIOMessageSystemWillNotSleep, mT + 9),
              (std::vector<std::string>{"sleep request recorded: " + Asc(mT + 5) + "\n",
                                        "sleep cancelled time is: " + Asc(mT + 9) + "\n"}));
    EXPECT_EQ(gLastSleepTime, 0);
    EXPECT_EQ(Deliver(kIOMessageSystemWillNotSleep, mT + 20), std::vector<std::string>{})
        << "nothing pending: nothing to say";
    EXPECT_EQ(Deliver(0xE0000320, mT + 30), std::vector<std::string>{});
    EXPECT_EQ(mPower.Allowed(), (std::vector<intptr_t>{1, 2, 3, 4}))
        << "every message of the four kinds is acknowledged, any other is not";
}

TEST_F(PowerCallback, AWakeScansTheSleepsWindowInAProcessOfItsOwn) {
    struct Case {
        int64_t asleepFor;
        std::vector<unsigned> pauses; // in this process, before the wake time is taken
    };
    // The scan process finds no crontab folder in the empty root: its status is 2.
    for (const Case& c : {Case{10, {2}}, Case{29, {2}}, Case{30, {}}, Case{3600, {}}}) {
        SCOPED_TRACE(c.asleepFor);
        QorFakeClock clock(mT);
        QorScopedClock use(&clock);
        MyPowerCallback(nullptr, 1, kIOMessageSystemWillSleep, ++mNextId);
        clock.Set(mT + c.asleepFor);
        size_t before = mLog.Lines().size();
        MyPowerCallback(nullptr, 1, kIOMessageSystemHasPoweredOn, ++mNextId);
        EXPECT_EQ(clock.Sleeps(), c.pauses);
        const int64_t wake = mT + c.asleepFor + (c.pauses.empty() ? 0 : 2);
        ASSERT_EQ(mLog.Lines().size(), before + 2);
        EXPECT_EQ(mLog.Lines()[before].message, "sleeptime recorded: " + Asc(mT) + "\n");
        EXPECT_EQ(mLog.Lines()[before + 1].message, "waketime is: " + Asc(wake) + "\n");
        EXPECT_EQ(gLastSleepTime, 0);
        EXPECT_EQ(ScanProcess(), std::optional<int>(2));
    }

    // A wake with no sleep recorded (after a cancelled one, say) scans nothing.
    MyPowerCallback(nullptr, 1, kIOMessageSystemWillSleep, ++mNextId);
    MyPowerCallback(nullptr, 1, kIOMessageSystemWillNotSleep, ++mNextId);
    size_t before = mLog.Lines().size();
    MyPowerCallback(nullptr, 1, kIOMessageSystemHasPoweredOn, ++mNextId);
    EXPECT_EQ(mLog.Lines().size(), before);
    EXPECT_EQ(ScanProcess(), std::nullopt);
    EXPECT_EQ(mPower.Allowed().size(), size_t(mNextId)) << "every wake is acknowledged";
}

TEST_F(PowerCallback, AShutdownIsNotedBeforeItIsAllowed) {
    EXPECT_EQ(Deliver(kIOMessageSystemWillPowerOff, mT),
              (std::vector<std::string>{"shutdown recorded: " + Asc(mT) + "\n"}));
    int64_t noted = 0;
    EXPECT_EQ(QorReadShutdownStamp(&noted), 0);
    EXPECT_EQ(noted, mT);
    EXPECT_EQ(mPower.Allowed(), std::vector<intptr_t>{1});
}

// The daemon's course in this process, on fakes: pause, start-up scan, registration, run loop.
class DaemonMain : public ::testing::Test {
protected:
    void SetUp() override {
        for (int sig : {SIGHUP, SIGTERM, SIGCHLD})
            sigaction(sig, nullptr, &mPrevious[sig]);
    }
    void TearDown() override {
        for (int sig : {SIGHUP, SIGTERM, SIGCHLD})
            sigaction(sig, &mPrevious[sig], nullptr);
        gIONotifier = 0;
        gIOService = 0;
    }
    int Run() {
        char program[] = "TavrinMissedTasks";
        char* argv[] = {program, nullptr};
        return TavrinMissedTasksMain(1, argv);
    }
    bool Logged(const std::string& text) const {
        for (const std::string& message : mLog.Messages())
            if (message.find(text) != std::string::npos)
                return true;
        return false;
    }

    struct sigaction mPrevious[NSIG] = {};
    TestRoot mRoot;
    QorFakeClock mClock{1710000000};
    QorScopedClock mUseClock{&mClock};
    QorFakeSystemLog mLog;
    QorScopedSystemLog mUseLog{&mLog};
    QorFakePowerSource mPower;
    QorScopedPowerSource mUsePower{&mPower};
};

TEST_F(DaemonMain, WithoutCrontabsItEndsWith2BeforeRegistering) {
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(mClock.Sleeps(), std::vector<unsigned>{60});
    EXPECT_EQ(mPower.Registrations(), 0);
    ASSERT_FALSE(mLog.Lines().empty());
    EXPECT_EQ(mLog.Lines().back().identity, "QorMissedTask - parent");
    EXPECT_TRUE(Logged("cannot open the crontabs in " + mRoot.CrontabFolder()));
}

TEST_F(DaemonMain, ARegistrationThatFailsEndsWith1AndSaysWhy) {
    std::filesystem::create_directories(mRoot.CrontabFolder());
    mPower.FailRegistration("cannot connect to the system bus");
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(Logged("cannot register for sleep and wake messages: cannot connect to the "
                       "system bus"));
}

TEST_F(DaemonMain, ServesMessagesUntilTheLoopEnds) {
    std::filesystem::create_directories(mRoot.CrontabFolder());
    mPower.Queue(kIOMessageSystemWillSleep);
    mPower.Queue(kIOMessageSystemWillNotSleep);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(mPower.Registrations(), 1);
    EXPECT_EQ(mPower.Allowed(), (std::vector<intptr_t>{1, 2}));
    EXPECT_TRUE(Logged("sleep cancelled time is: "));
    EXPECT_TRUE(Logged("no more sleep and wake messages: no more messages"));
    EXPECT_TRUE(Logged("no record of the last shutdown")) << "an empty root has none";
    EXPECT_EQ(std::string(getenv("QORSCHED_ROOT")), mRoot.Path())
        << "the roots are exported for the tasks";
}

} // namespace
