// A task written into a crontab through the schedule library is fired by the real cron daemon,
// and the installed taskKicker starts the sample product and delivers the task's event.
//
// Needs root (it creates the account "qorschedkick", whose home is a temporary folder, and works
// on that account's crontab only) and a running cron daemon (CI and scripts/test.sh start one).
// Waits at most about two minutes for cron.

#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "ProcessTable.h"
#include "QorScheduleErr.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr char kAccount[] = "qorschedkick";
constexpr char kSystemPath[] = "/usr/sbin:/usr/bin:/sbin:/bin";
constexpr char kSchedulerFolder[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler";

// Runs a program (no shell) with extra environment entries, its output on /dev/null; its exit
// status, or -1.
int RunProgram(std::vector<std::string> args, std::vector<std::string> extraEnv = {}) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    int error = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&quiet);
    if (error != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The cron daemon's process ID, or 0 when none runs.
pid_t CronDaemon() {
    for (const QorProcessInfo& process : QorCurrentProcessTable().WithCommandName("cron"))
        if (!process.zombie)
            return process.pid;
    return 0;
}

// Makes this process tell the time in the cron daemon's zone (its TZ, else the machine's), so
// that the task's minute is the one cron fires it at; the zone in use comes back afterwards.
class CronDaemonZone {
public:
    explicit CronDaemonZone(pid_t cron) {
        if (const char* tz = getenv("TZ"))
            mOld = tz;
        std::istringstream environment(ReadFile("/proc/" + std::to_string(cron) + "/environ"));
        std::string zone;
        for (std::string entry; std::getline(environment, entry, '\0');)
            if (entry.rfind("TZ=", 0) == 0)
                zone = entry.substr(3);
        if (zone.empty())
            unsetenv("TZ");
        else
            setenv("TZ", zone.c_str(), 1);
        tzset();
    }
    ~CronDaemonZone() {
        if (mOld)
            setenv("TZ", mOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> mOld;
};

class CronFiresTask : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root: it creates the account " << kAccount
                         << " and works on that account's crontab";
        if (access("/usr/bin/crontab", X_OK) != 0)
            GTEST_SKIP() << "the cron package is not installed";
        mCron = CronDaemon();
        if (mCron == 0)
            GTEST_SKIP() << "no cron daemon runs (scripts/test.sh and CI start one)";
        mOldPath = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", kSystemPath, 1); // the real crontab

        char pattern[] = "/tmp/qorsched-cronlaunch.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mTemp = pattern;
        chmod(mTemp.c_str(), 0755);
        mInstallRoot = mTemp + "/stage" + QORSCHED_CONFIGURED_ROOT;
        mHome = mTemp + "/home";

        if (!getpwnam(kAccount))
            ASSERT_EQ(RunProgram({"useradd", "--no-create-home", "--home-dir", mHome, "--shell",
                                  "/usr/sbin/nologin", kAccount}),
                      0);
        else // an earlier run's home folder is gone
            ASSERT_EQ(RunProgram({"usermod", "--home", mHome, kAccount}), 0);
        passwd* account = getpwnam(kAccount);
        ASSERT_NE(account, nullptr);
        ASSERT_NE(account->pw_uid, 0u);
        mUid = account->pw_uid;
        mGid = account->pw_gid;
        (void)RunProgram({"crontab", "-r", "-u", kAccount});

        std::filesystem::create_directories(mHome);
        ASSERT_EQ(chown(mHome.c_str(), mUid, mGid), 0);
        chmod(mHome.c_str(), 0700);

        // The suite as a package installs it, from this build tree, into a root the account
        // can read; the sample product stands in for a product.
        ASSERT_EQ(RunProgram({QORSCHED_CMAKE_COMMAND, "--install", getenv("QORSCHED_BUILD_DIR"),
                              "--component", "launcher"},
                             {"DESTDIR=" + mTemp + "/stage"}),
                  0)
            << "cmake --install of the launcher programs failed";
        mProduct = mInstallRoot + "/opt/Sample/sample";
        std::filesystem::create_directories(mInstallRoot + "/opt/Sample");
        std::filesystem::copy_file(QORSCHED_SAMPLE_PRODUCT, mProduct);
        chmod(mProduct.c_str(), 0755);
        for (const std::string& file : {mProduct + ".record", mTemp + "/log"}) {
            std::ofstream(file).flush();
            ASSERT_EQ(chown(file.c_str(), mUid, mGid), 0);
        }
        for (std::filesystem::path dir = mInstallRoot + "/opt/Sample"; dir.string() != mTemp;
             dir = dir.parent_path())
            chmod(dir.c_str(), 0755);
    }

    void TearDown() override {
        if (mTemp.empty())
            return;
        (void)RunProgram({"crontab", "-r", "-u", kAccount});
        for (pid_t pid : RecordedPids())
            kill(pid, SIGTERM);
        std::filesystem::remove_all(mTemp);
        setenv("PATH", mOldPath.c_str(), 1);
    }

    // Runs step in a child that has become the account completely, inside the install root;
    // what the step reported, "" for success.
    std::string AsAccount(const std::function<std::string()>& step) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return "pipe failed";
        fflush(nullptr);
        pid_t pid = fork();
        if (pid == 0) {
            close(pipeFds[0]);
            std::string result;
            setenv("QORSCHED_ROOT", mInstallRoot.c_str(), 1);
            setenv("QORSCHED_SYSTEM_ROOT", "", 1); // the real home folder and crontab
            if (setgroups(0, nullptr) != 0 || setgid(mGid) != 0 || setuid(mUid) != 0 ||
                setuid(0) == 0)
                result = "cannot become " + std::string(kAccount);
            else
                result = step();
            (void)!write(pipeFds[1], result.data(), result.size());
            _exit(0);
        }
        close(pipeFds[1]);
        std::string result;
        char buffer[512];
        for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            result.append(buffer, size_t(n));
        close(pipeFds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "the child died: " + result;
    }

    std::vector<std::string> Record(const std::string& kind) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(mProduct + ".record"));
        for (std::string line; std::getline(in, line);)
            if (line.rfind(kind + " ", 0) == 0)
                lines.push_back(line);
        return lines;
    }
    std::vector<pid_t> RecordedPids() const {
        std::vector<pid_t> pids;
        for (const std::string& line : Record("start"))
            pids.push_back(pid_t(atoi(line.c_str() + strlen("start pid="))));
        return pids;
    }

    pid_t mCron = 0;
    std::string mOldPath, mTemp, mInstallRoot, mHome, mProduct;
    uid_t mUid = 0;
    gid_t mGid = 0;
};

// The task of the test, daily at hour:minute, added through the handle layer and saved.
std::string AddTask(const std::string& product, int16_t hour, int16_t minute) {
    int32_t err = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
    if (!block)
        return "open failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
    ZQorScheduledTask* task = NewScheduledTask(&err);
    SetTaskEnabled(task, 1);
    SetTaskEventType(task, ZQorScheduledTask::kVirusScan);
    (void)SetTaskName(task, "Fired by cron", 13, 1);
    (void)SetEventLauncher(task, QorCode("Smpl"), product.c_str());
    (void)SetEvent(task, QorCode("evnt"), QorCode("clas"), "\"TEXT\" \"from cron\"");
    int16_t every = -1;
    SetTaskScheduleTime(task, &every, &every, &hour, &minute);
    SetTaskScheduleType(task, ZQorScheduledTask::kDaily);
    if ((err = AddScheduledTask(block, task, 42)) != 0)
        return "add failed: " + std::to_string(err);
    err = CloseCrontabTasks(block);
    return err == 0 ? "" : "save failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
}

TEST_F(CronFiresTask, TheProductGetsTheEventAndTheResultIsLogged) {
    // The log mirror for the cron job: an environment line of the user's, above the block.
    const std::string logFile = mTemp + "/log";
    const std::string start = mTemp + "/crontab";
    std::ofstream(start) << "QORSCHED_LOG_FILE=" << logFile << "\n";
    ASSERT_EQ(RunProgram({"crontab", "-u", kAccount, start}), 0);

    // The next minute, or the one after when this one is nearly over: cron looks at changed
    // crontabs once a minute.
    CronDaemonZone zone(mCron);
    const time_t now = time(nullptr);
    tm local;
    localtime_r(&now, &local);
    const time_t fire = now - local.tm_sec + (local.tm_sec < 45 ? 60 : 120);
    tm at;
    localtime_r(&fire, &at);
    ASSERT_EQ(AsAccount([&] { return AddTask(mProduct, int16_t(at.tm_hour), int16_t(at.tm_min)); }),
              "");
    const std::string crontab = ReadFile("/var/spool/cron/crontabs/" + std::string(kAccount));
    ASSERT_NE(crontab.find("QORSCHED_LOG_FILE="), std::string::npos) << crontab;
    ASSERT_NE(crontab.find(mInstallRoot + kSchedulerFolder + "/taskKicker"), std::string::npos)
        << crontab;

    // At most about two minutes, until the product has the event and the result is logged.
    const std::string result = "launch for id = 42 Smpl event = evnt result = 0";
    const auto deadline = std::chrono::system_clock::from_time_t(fire) + std::chrono::seconds(50);
    while (std::chrono::system_clock::now() < deadline &&
           (Record("event").empty() || ReadFile(logFile).find(result) == std::string::npos))
        std::this_thread::sleep_for(std::chrono::milliseconds(250));

    const std::vector<std::string> starts = Record("start");
    ASSERT_EQ(starts.size(), 1u) << "cron did not start the product\n" << crontab;
    EXPECT_NE(starts[0].find(" uid=" + std::to_string(mUid) + " "), std::string::npos) << starts[0];
    const std::vector<std::string> events = Record("event");
    ASSERT_EQ(events.size(), 1u) << ReadFile(mProduct + ".record");
    EXPECT_NE(events[0].find("class='clas' id='evnt' '----'=list['TEXT':\"from cron\"]"),
              std::string::npos)
        << events[0];
    const std::string log = ReadFile(logFile);
    EXPECT_NE(log.find(mInstallRoot + kSchedulerFolder + "/taskKicker["), std::string::npos) << log;
    EXPECT_NE(log.find(result), std::string::npos) << log;
}

} // namespace
