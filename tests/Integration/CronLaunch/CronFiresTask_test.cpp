// A task written into a crontab through the schedule library is fired by the real cron daemon,
// and the installed taskKicker starts the sample product and delivers the task's event.
//
// Needs root (it creates the account "qorschedkick", whose home is a temporary folder, and works
// on that account's crontab only) and a running cron daemon (CI and scripts/test.sh start one).
// Waits at most about two minutes for cron.

#include "CrontabTasks.h"
#include "ForkedStep.h"
#include "FourCharCode.h"
#include "ProcessTable.h"
#include "QorScheduleErr.h"
#include "RunProgram.h"
#include "ScopedEnv.h"
#include "TestAccount.h"
#include "TestFiles.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr char kAccount[] = "qorschedkick";
constexpr char kSystemPath[] = "/usr/sbin:/usr/bin:/sbin:/bin";
constexpr char kSchedulerFolder[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler";

using qor_test::ReadFile;
using qor_test::RunProgram;

// The cron daemon's process ID, or 0 when none runs.
pid_t CronDaemon() {
    for (const QorProcessInfo& process : QorCurrentProcessTable().WithCommandName("cron"))
        if (!process.zombie)
            return process.pid;
    return 0;
}

// The cron daemon's time zone: its TZ, else none (the machine's).
std::optional<std::string> CronDaemonZone(pid_t cron) {
    std::istringstream environment(ReadFile("/proc/" + std::to_string(cron) + "/environ"));
    for (std::string entry; std::getline(environment, entry, '\0');)
        if (entry.rfind("TZ=", 0) == 0 && entry.size() > 3)
            return entry.substr(3);
    return std::nullopt;
}

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
        mPath.emplace("PATH", kSystemPath); // the real crontab

        char pattern[] = "/tmp/qorsched-cronlaunch.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mTemp = pattern;
        chmod(mTemp.c_str(), 0755);
        mInstallRoot = mTemp + "/stage" + QORSCHED_CONFIGURED_ROOT;
        mHome = mTemp + "/home";

        // An earlier run's home folder is gone: the account moves to this run's.
        std::optional<qor_test::TestAccount> account = qor_test::EnsureTestAccount(kAccount, mHome);
        ASSERT_TRUE(account) << "cannot make the account " << kAccount;
        mUid = account->uid;
        mGid = account->gid;
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
    }

    // Runs step in a child that has become the account completely, inside the install root;
    // what the step reported, "" for success.
    std::string AsAccount(const std::function<std::string()>& step) {
        return qor_test::InChild([&] {
            setenv("QORSCHED_ROOT", mInstallRoot.c_str(), 1);
            setenv("QORSCHED_SYSTEM_ROOT", "", 1); // the real home folder and crontab
            return qor_test::BecomeAccount(mUid, mGid) ? step()
                                                       : "cannot become " + std::string(kAccount);
        });
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
    std::optional<qor_test::ScopedEnv> mPath;
    std::string mTemp, mInstallRoot, mHome, mProduct;
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
    // crontabs once a minute. The minute is told in the cron daemon's zone, the one cron fires
    // the task in.
    qor_test::ScopedTimeZone zone(CronDaemonZone(mCron));
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
