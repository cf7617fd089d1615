// The daemon as a process: a private system bus with a mock logind under a temporary root, the
// stand-in crontab command, and the daemon built on a clock the test drives (its pauses last
// milliseconds, not seconds).

#include "LastShutdownTime.h"
#include "MissedTasksDaemon.h"
#include "MissedTasksTestSupport.h"
#include "ShutdownStamp.h"
#include "SystemBus.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <utmp.h>

using namespace missed_test;

namespace {

extern "C" char** environ;

/// A program started with argv and extra environment entries (which win over this process's),
/// standard input and error on /dev/null; stdoutPipe, when given, receives its standard output.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
          int* stdoutPipe = nullptr) {
        int out[2] = {-1, -1};
        if (stdoutPipe && pipe2(out, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> env = extraEnv;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            std::string name = entry.substr(0, entry.find('=') + 1);
            bool replaced = false;
            for (const std::string& extra : extraEnv)
                replaced = replaced || extra.compare(0, name.size(), name) == 0;
            if (!replaced)
                env.push_back(entry);
        }
        std::vector<char*> args, envp;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        mPid = fork();
        if (mPid == 0) {
            int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, 0);
            dup2(stdoutPipe ? out[1] : devNull, 1);
            dup2(devNull, 2);
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
        if (stdoutPipe) {
            close(out[1]);
            *stdoutPipe = out[0];
        }
    }
    ~Child() { Stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return mPid; }
    void Signal(int sig) const { kill(mPid, sig); }
    /// Waits for the program to end: its exit status, or 128 + the signal that ended it.
    int Wait() {
        int status = 0;
        while (waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
        }
        mPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Stop() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGTERM);
        (void)Wait();
    }

private:
    pid_t mPid = -1;
};

// Whether the process exists and has not ended (it may not be this process's child).
bool Running(pid_t pid) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    size_t end = stat.rfind(')');
    return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] != 'Z';
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 1500; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

/// A system dbus-daemon listening at the standard socket under root, and a mock logind on it.
class PrivateLogind {
public:
    explicit PrivateLogind(const std::string& root, bool withLogind = true) {
        std::filesystem::create_directories(root + "/run/dbus");
        std::string config = root + "/system-bus.conf";
        WriteFile(config,
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                  "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig><type>system</type><listen>unix:path=" +
                      root +
                      "/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>"
                      "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                      "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                      "</policy></busconfig>\n");
        int out = -1;
        mBus = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork",
                                     "--nosyslog", "--print-address=1"},
            std::vector<std::string>{}, &out);
        // The address is printed once the bus listens.
        std::string address;
        char c;
        while (out >= 0 && read(out, &c, 1) == 1 && c != '\n')
            address += c;
        if (out >= 0)
            close(out);
        if (address.empty() || QorSystemBusOpen(&mClient) < 0)
            return;
        if (withLogind) {
            mLogind = std::make_unique<Child>(
                std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--template",
                                         "logind"},
                std::vector<std::string>{"DBUS_SYSTEM_BUS_ADDRESS=" + QorSystemBusAddress()});
            if (!WaitUntil([this] { return HasLogind(); }))
                return;
        }
        mReady = true;
    }
    ~PrivateLogind() {
        if (mClient)
            sd_bus_flush_close_unref(mClient);
        mLogind.reset();
        mBus.reset();
    }

    bool Ready() const { return mReady; }

    /// What each lock logind has granted is for ("sleep", "shutdown"), by the mode "delay".
    std::vector<std::string> DelayLocks() {
        std::vector<std::string> locks;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        if (sd_bus_call_method(mClient, "org.freedesktop.login1", "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", "ListInhibitors", &error, &reply,
                               "") >= 0 &&
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
        sd_bus_error error = SD_BUS_ERROR_NULL;
        int result = sd_bus_call_method(
            mClient, "org.freedesktop.login1", "/org/freedesktop/login1",
            "org.freedesktop.DBus.Mock", "EmitSignal", &error, nullptr, "sssav",
            "org.freedesktop.login1.Manager", signal, "b", 1, "b", int(starting));
        sd_bus_error_free(&error);
        return result >= 0;
    }

private:
    bool HasLogind() {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int has = 0;
        if (sd_bus_call_method(mClient, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                               "org.freedesktop.login1") >= 0)
            sd_bus_message_read(reply, "b", &has);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        return has != 0;
    }

    std::unique_ptr<Child> mBus;
    std::unique_ptr<Child> mLogind;
    sd_bus* mClient = nullptr;
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
    std::unique_ptr<Child> Start(std::vector<std::string> args, int pauseMs = 10,
                                 const std::string& program = QORSCHED_TEST_DAEMON) {
        args.insert(args.begin(), program);
        return std::make_unique<Child>(
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
    std::unique_ptr<Child> daemon = Start({});
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
    std::unique_ptr<Child> daemon = Start({});
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
        std::unique_ptr<Child> daemon = Start({}, c.state == State::kStarting ? 1000 : 1);
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

    std::unique_ptr<Child> kickstarter = Start({"start"}, 1000);
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
        std::unique_ptr<Child> daemon = Start(args, 1000);
        ASSERT_TRUE(WaitUntil([&] { return !Pids().empty(); }));
        EXPECT_EQ(Pids(), std::vector<pid_t>{daemon->Pid()}) << args[0];
        EXPECT_TRUE(Running(daemon->Pid())) << args[0] << ": still in its start-up pause";
        daemon->Signal(SIGTERM);
        EXPECT_EQ(daemon->Wait(), 0) << args[0];
    }
}

} // namespace
