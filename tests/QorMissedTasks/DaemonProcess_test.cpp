// The daemon as a process: a private system bus with a mock logind under a temporary root, the
// stand-in crontab command, and the daemon built on a clock the test drives (its pauses last
// milliseconds, not seconds).

#include "LastShutdownTime.h"
#include "MissedTasksDaemon.h"
#include "MissedTasksTestSupport.h"
#include "ShutdownStamp.h"
#include "SystemBusMock.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <systemd/sd-bus.h>
#include <utmp.h>

using namespace missed_test;

namespace {

using qor_test::BackgroundProgram;

// Whether the process exists and has not ended (it may not be this process's child).
bool Running(pid_t pid) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    size_t end = stat.rfind(')');
    return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] != 'Z';
}

// The daemon's pauses are scaled down, yet a scan with its children can take a while.
bool WaitUntil(const std::function<bool()>& done) {
    return qor_test::WaitUntil(done, std::chrono::seconds(15));
}

/// A system bus under root and, withLogind, the mock logind on it.
class PrivateLogind {
public:
    explicit PrivateLogind(const std::string& root, bool withLogind = true) : mBus(root) {
        if (mBus.Ready() && withLogind)
            mLogind = std::make_unique<qor_test::MockLogind>();
        mReady = mBus.Ready() && (!withLogind || mLogind->Ready());
    }

    bool Ready() const { return mReady; }

    /// What each lock logind has granted is for ("sleep", "shutdown"), by the mode "delay".
    std::vector<std::string> DelayLocks() {
        std::vector<std::string> locks;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        if (sd_bus_call_method(mLogind->Client(), "org.freedesktop.login1",
                               "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                               "ListInhibitors", &error, &reply, "") >= 0 &&
            sd_bus_message_enter_container(reply, 'a', "(ssssuu)") > 0) {
            const char *what, *who, *why, *mode;
            uint32_t uid, pid;
            while (sd_bus_message_read(reply, "(ssssuu)", &what, &who, &why, &mode, &uid, &pid) > 0)
                if (std::string(who) == "TavrinMissedTasks" && std::string(mode) == "delay")
                    locks.emplace_back(what);
        }
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        std::sort(locks.begin(), locks.end());
        return locks;
    }

    /// Makes the mock logind send PrepareForSleep or PrepareForShutdown with this value.
    bool Announce(const char* signal, bool starting) {
        return mLogind->Call("/org/freedesktop/login1", "org.freedesktop.DBus.Mock", "EmitSignal",
                             "sssav", "org.freedesktop.login1.Manager", signal, "b", 1, "b",
                             int(starting)) >= 0;
    }

private:
    qor_test::PrivateSystemBus mBus;
    std::unique_ptr<qor_test::MockLogind> mLogind;
    bool mReady = false;
};

class DaemonProcess : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(mRoot.CrontabFolder());
        SetClock(mT0);
    }

    void SetClock(int64_t t) { WriteFile(mClockFile, std::to_string(t) + "\n"); }

    /// The test daemon with these arguments; each second of its pauses lasts pauseMs.
    std::unique_ptr<BackgroundProgram> Start(std::vector<std::string> args, int pauseMs = 10,
                                             const std::string& program = QORSCHED_TEST_DAEMON) {
        args.insert(args.begin(), program);
        return std::make_unique<BackgroundProgram>(
            args, std::vector<std::string>{
                      "QORSCHED_ROOT=" + mRoot.Path(), "QORSCHED_LOG_FILE=" + mLogFile,
                      "PATH=" + std::string(QORSCHED_FAKE_CRONTAB_DIR) + ":" + getenv("PATH"),
                      "TZ=UTC", "QORSCHED_TEST_CLOCK_FILE=" + mClockFile,
                      "QORSCHED_TEST_PAUSE_MS=" + std::to_string(pauseMs),
                      "QORSCHED_TEST_PID_FILE=" + mPidFile});
    }

    std::vector<pid_t> Pids() const {
        std::vector<pid_t> pids;
        std::istringstream in(ReadFile(mPidFile));
        pid_t pid;
        while (in >> pid)
            pids.push_back(pid);
        return pids;
    }

    bool Logged(const std::string& text) const {
        return ReadFile(mLogFile).find(text) != std::string::npos;
    }

    TestRoot mRoot;
    ScopedTimeZone mZone{"UTC"};
    const int64_t mT0 = LocalTime(2024, 3, 5, 10, 0, 30);
    std::string mClockFile = mRoot.Path() + "/clock";
    std::string mLogFile = mRoot.Path() + "/log";
    std::string mPidFile = mRoot.Path() + "/pids";
};

TEST_F(DaemonProcess, SaysWhyItCannotRegisterAndEndsWith1) {
    std::unique_ptr<BackgroundProgram> daemon = Start({});
    EXPECT_EQ(daemon->Wait(), 1);
    EXPECT_TRUE(Logged("QorMissedTask - parent[" + std::to_string(Pids().at(0)) +
                       "]: cannot register for sleep and wake messages: cannot connect to the "
                       "system bus at unix:path=" +
                       mRoot.Path() + "/run/dbus/system_bus_socket: "));

    PrivateLogind busAlone(mRoot.Path(), false);
    ASSERT_TRUE(busAlone.Ready());
    daemon = Start({});
    EXPECT_EQ(daemon->Wait(), 1);
    EXPECT_TRUE(Logged("cannot register for sleep and wake messages: logind did not grant a "
                       "sleep delay lock: "));
}

TEST_F(DaemonProcess, SleepWakeAndShutdownOverLogind) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root: the tasks run as the account qorschedtest2";
    std::optional<TestAccount> account = EnsureTestAccount();
    ASSERT_TRUE(account);
    const std::string home = mRoot.Path() + account->home;
    std::filesystem::create_directories(home);
    ASSERT_EQ(chown(home.c_str(), account->uid, account->gid), 0);
    LauncherStandIn launcher(mRoot.Path(), 9999);
    WriteFile(mRoot.CrontabFolder() + "/" + account->name, TaskBlock({{41, 9, 0}, {42, 12, 0}}),
              0600);
    // Shut down at 08:00, booted ten seconds before the daemon's start at 10:00:30: the
    // start-up window is 08:00 to 10:00:30.
    std::string wtmp;
    for (auto [user, line, t] : {std::tuple{"shutdown", "~~", LocalTime(2024, 3, 5, 8, 0)},
                                 std::tuple{"reboot", "~", mT0 - 10}}) {
        struct utmp record = {};
        strncpy(record.ut_line, line, sizeof record.ut_line);
        strncpy(record.ut_user, user, sizeof record.ut_user);
        record.ut_tv.tv_sec = int32_t(t);
        wtmp.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    WriteFile(mRoot.Path() + gWtmpFile, wtmp);

    PrivateLogind logind(mRoot.Path());
    ASSERT_TRUE(logind.Ready());
    std::unique_ptr<BackgroundProgram> daemon = Start({});
    const std::vector<std::string> both = {"shutdown", "sleep"};
    ASSERT_TRUE(WaitUntil([&] { return logind.DelayLocks() == both; }))
        << "registered: a sleep and a shutdown delay lock";
    EXPECT_EQ(RunIds(launcher.WaitForRuns(1)), std::vector<std::string>{"41"})
        << "the start-up scan ran the 09:00 task";

    // Asleep from 11:00 to 13:00: the 12:00 task was missed.
    SetClock(LocalTime(2024, 3, 5, 11, 0));
    ASSERT_TRUE(logind.Announce("PrepareForSleep", true));
    ASSERT_TRUE(WaitUntil([&] {
        return logind.DelayLocks() == std::vector<std::string>{"shutdown"};
    })) << "the sleep lock is let go at once";
    EXPECT_TRUE(Logged("sleep demand recorded: Tue Mar  5 11:00:00 2024"));
    SetClock(LocalTime(2024, 3, 5, 13, 0));
    ASSERT_TRUE(logind.Announce("PrepareForSleep", false));
    ASSERT_TRUE(WaitUntil([&] { return logind.DelayLocks() == both; }))
        << "awake again: a new sleep lock";
    EXPECT_EQ(RunIds(launcher.WaitForRuns(2)), (std::vector<std::string>{"41", "42"}));
    EXPECT_TRUE(Logged("sleeptime recorded: Tue Mar  5 11:00:00 2024"));
    EXPECT_TRUE(Logged("waketime is: Tue Mar  5 13:00:00 2024"));
    for (const LauncherRun& run : launcher.Runs()) {
        EXPECT_EQ(run.values.at("uid"), std::to_string(account->uid));
        EXPECT_EQ(run.values.at("cwd"), home);
    }

    ASSERT_TRUE(logind.Announce("PrepareForShutdown", true));
    ASSERT_TRUE(WaitUntil([&] { return logind.DelayLocks() == std::vector<std::string>{"sleep"}; }))
        << "the shutdown lock is let go once the time is noted";
    EXPECT_EQ(ReadFile(mRoot.Path() + gShutdownStampFile),
              std::to_string(LocalTime(2024, 3, 5, 13, 0)) + "\n");

    daemon->Signal(SIGTERM);
    EXPECT_EQ(daemon->Wait(), 0);
    EXPECT_TRUE(WaitUntil([&] { return logind.DelayLocks().empty(); }));
    EXPECT_EQ(launcher.Runs().size(), 2u) << "each missed task ran once";
}

TEST_F(DaemonProcess, SighupAndSigtermEndItWithStatus0InEveryState) {
    PrivateLogind logind(mRoot.Path());
    ASSERT_TRUE(logind.Ready());
    enum class State { kStarting, kListening, kSleepPending };
    struct Case {
        const char* what;
        State state;
        int signal;
    };
    const Case cases[] = {
        {"in the start-up pause", State::kStarting, SIGTERM},
        {"listening", State::kListening, SIGTERM},
        {"with a sleep pending", State::kSleepPending, SIGHUP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(mPidFile);
        std::unique_ptr<BackgroundProgram> daemon =
            Start({}, c.state == State::kStarting ? 1000 : 1);
        if (c.state == State::kStarting) {
            ASSERT_TRUE(WaitUntil([&] { return Pids().size() == 1; }));
        } else {
            ASSERT_TRUE(WaitUntil([&] { return logind.DelayLocks().size() == 2; }));
        }
        if (c.state == State::kSleepPending) {
            std::filesystem::remove(mLogFile);
            ASSERT_TRUE(logind.Announce("PrepareForSleep", true));
            ASSERT_TRUE(WaitUntil([&] { return Logged("sleep demand recorded: "); }));
        }
        daemon->Signal(c.signal);
        EXPECT_EQ(daemon->Wait(), 0);
        EXPECT_TRUE(WaitUntil([&] { return logind.DelayLocks().empty(); }));
    }
}

TEST_F(DaemonProcess, StartDetachesWhileAnyOtherCommandLineRunsInTheForeground) {
    // The daemon image at its fixed path under the root, where "start" runs it from.
    const std::string image = QorPath(kMissedTasksPath);
    std::filesystem::create_directories(std::filesystem::path(image).parent_path());
    std::filesystem::copy_file(QORSCHED_TEST_DAEMON, image);

    std::unique_ptr<BackgroundProgram> kickstarter = Start({"start"}, 1000);
    const pid_t kickstarterPid = kickstarter->Pid();
    EXPECT_EQ(kickstarter->Wait(), 0);
    ASSERT_TRUE(WaitUntil([&] { return Pids().size() == 2; }));
    EXPECT_EQ(Pids()[0], kickstarterPid);
    const pid_t detached = Pids()[1];
    EXPECT_NE(detached, kickstarterPid);
    EXPECT_TRUE(Logged("TavrinMissedTasks kickstarter launching daemon"));
    const std::string proc = "/proc/" + std::to_string(detached);
    EXPECT_TRUE(Running(detached)) << "the detached daemon goes on";
    char exe[4096] = {};
    EXPECT_GT(readlink((proc + "/exe").c_str(), exe, sizeof exe - 1), 0);
    EXPECT_EQ(std::string(exe), image) << "run from its fixed path";
    kill(detached, SIGTERM);
    EXPECT_TRUE(WaitUntil([&] { return !Running(detached); }));

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"Start"}, {"start", "now"}, {"start "}}) {
        std::filesystem::remove(mPidFile);
        std::unique_ptr<BackgroundProgram> daemon = Start(args, 1000);
        ASSERT_TRUE(WaitUntil([&] { return !Pids().empty(); }));
        EXPECT_EQ(Pids(), std::vector<pid_t>{daemon->Pid()}) << args[0];
        EXPECT_TRUE(Running(daemon->Pid())) << args[0] << ": still in its start-up pause";
        daemon->Signal(SIGTERM);
        EXPECT_EQ(daemon->Wait(), 0) << args[0];
    }
}

} // namespace
