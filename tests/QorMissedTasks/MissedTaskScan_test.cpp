#include "Clock.h"
#include "CrontabFake.h"
#include "MissedTaskScan.h"
#include "MissedTasksDaemon.h"
#include "MissedTasksTestSupport.h"
#include "SystemLog.h"
#include "TempFile.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>

using namespace missed_test;

namespace {

// Waits for every child of this process to end.
void ReapAll() {
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
}

// Children of this process that have ended and not been collected.
int Zombies() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string stat = ReadFile(entry.path().string() + "/stat");
        size_t end = stat.rfind(')');
        if (end == std::string::npos)
            continue;
        char state = 0;
        int parent = 0;
        if (sscanf(stat.c_str() + end + 1, " %c %d", &state, &parent) == 2 && parent == getpid() &&
            state == 'Z')
            ++count;
    }
    return count;
}

std::set<std::string> Words(const std::string& text) {
    std::set<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word)
        words.insert(word);
    return words;
}

// Scans with real accounts: tasks run as the test account through the stand-in launcher, and
// the crontabs are listed by the stand-in crontab command from the root's crontab folder.
class MissedTaskScan : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root: the scan runs tasks as the account qorschedtest2";
        std::optional<TestAccount> account = EnsureTestAccount();
        ASSERT_TRUE(account) << "cannot create the account qorschedtest2";
        mAccount = *account;
        mHome = QorSystemPath(mAccount.home);
        std::filesystem::create_directories(mHome);
        ASSERT_EQ(chown(mHome.c_str(), mAccount.uid, mAccount.gid), 0);
        chmod(mHome.c_str(), 0700); // only its owner gets in
        std::filesystem::create_directories(mRoot.CrontabFolder());
        // Task children log as their owner until they have become it.
        WriteFile(mLogFile, "", 0666);
        mWatchFd = open("/dev/null", O_RDONLY); // inherited by children unless they close it
        mLauncher.emplace(mRoot.Path(), mWatchFd);
    }

    void TearDown() override {
        ReapAll();
        if (mWatchFd >= 0)
            close(mWatchFd);
    }

    void WriteCrontab(const std::string& user, const std::vector<TaskRow>& tasks) {
        WriteFile(mRoot.CrontabFolder() + "/" + user, TaskBlock(tasks), 0600);
    }

    std::vector<std::string> LogLines() const { return Lines(ReadFile(mLogFile)); }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
        return lines;
    }

    TestRoot mRoot;
    ScopedTimeZone mZone{"UTC"};
    // The scan happens at 10:00:30; the window below runs from 08:00 to 09:30.
    QorFakeClock mClock{LocalTime(2024, 3, 5, 10, 0, 30)};
    QorScopedClock mUseClock{&mClock};
    const int64_t mStart = LocalTime(2024, 3, 5, 8, 0);
    const int64_t mEnd = LocalTime(2024, 3, 5, 9, 30);
    std::string mLogFile = mRoot.Path() + "/log";
    ScopedEnv mLogMirror{"QORSCHED_LOG_FILE", mLogFile};
    ScopedEnv mPath{"PATH", std::string(QORSCHED_FAKE_CRONTAB_DIR) + ":" + getenv("PATH")};
    ScopedEnv mMarker{"QORSCHED_DAEMON_ONLY", "1"}; // must not reach the tasks
    TestAccount mAccount;
    std::string mHome;
    int mWatchFd = -1;
    std::optional<LauncherStandIn> mLauncher;
};

TEST_F(MissedTaskScan, TasksOfTheWindowRunOnceAsTheirOwner) {
    WriteCrontab(mAccount.name, {
                                    {1, 8, 0},               // on the window's start
                                    {2, 8, 1},               // inside
                                    {3, 9, 29, true, "n"},   // inside, with an option
                                    {4, 9, 30},              // on the window's end
                                    {5, 9, 45},              // after it: cron ran it
                                    {6, 7, 0},               // before it
                                    {7, 9, 0, false},        // inside, but disabled
                                    {8, 9, 0, true, nullptr, // inside, monthly on the 5th
                                     ZQorScheduledTask::kMonthly, 5},
                                });
    // Neither an account nor a crontab of one.
    WriteFile(mRoot.CrontabFolder() + "/.new.4711", TaskBlock({{9, 9, 0}}), 0600);
    WriteFile(mRoot.CrontabFolder() + "/nosuchaccount7", TaskBlock({{10, 9, 0}}), 0600);

    ASSERT_EQ(DoCrontabLoop(mEnd, mStart, false), 0);
    ReapAll();
    std::vector<LauncherRun> runs = mLauncher->Runs();
    EXPECT_EQ(RunIds(runs), (std::vector<std::string>{"2", "3", "8"}));
    EXPECT_TRUE(mRoot.TempFiles().empty()) << "the listings are removed";

    std::set<std::string> groups;
    int count = 64;
    std::vector<gid_t> list(64);
    ASSERT_GE(getgrouplist(mAccount.name.c_str(), mAccount.gid, list.data(), &count), 0);
    for (int i = 0; i < count; ++i)
        groups.insert(std::to_string(list[size_t(i)]));
    for (const LauncherRun& run : runs) {
        const std::string id = RunIds({run})[0];
        SCOPED_TRACE("task " + id);
        EXPECT_EQ(run.values.at("uid"), std::to_string(mAccount.uid));
        EXPECT_EQ(run.values.at("gid"), std::to_string(mAccount.gid));
        EXPECT_EQ(Words(run.values.at("groups")), groups) << "the account's groups, not root's";
        EXPECT_EQ(run.values.at("cwd"), mHome);
        EXPECT_EQ(run.values.at("inherited"), "no");
        std::set<std::string> environment(run.environment.begin(), run.environment.end());
        for (const std::string& expected :
             {"HOME=" + mHome, "LOGNAME=" + mAccount.name, "USER=" + mAccount.name,
              std::string("SHELL=/bin/sh"), std::string("PATH=/usr/bin:/bin"),
              "QORSCHED_ROOT=" + mRoot.Path(), "QORSCHED_LOG_FILE=" + mLogFile})
            EXPECT_EQ(environment.count(expected), 1u) << expected;
        EXPECT_EQ(environment.count("QORSCHED_DAEMON_ONLY=1"), 0u);
    }
    auto withOption = std::find_if(runs.begin(), runs.end(),
                                   [](const LauncherRun& run) { return RunIds({run})[0] == "3"; });
    ASSERT_NE(withOption, runs.end());
    EXPECT_EQ(withOption->args, (std::vector<std::string>{"-n", "3", "/usr/bin/scanner", "Ombx",
                                                          "SCae", "SCob", "exAG", "-v"}));

    int launched = 0;
    for (const std::string& line : LogLines())
        if (line.find("TavrinMissedTask - Child #") != std::string::npos &&
            line.find("About to launch child ") != std::string::npos)
            ++launched;
    EXPECT_EQ(launched, 3);
}

TEST_F(MissedTaskScan, RootsCrontabIsListedWithoutNamingTheUser) {
    QorFakeCrontab crontab(std::string("root"));
    QorScopedCrontab useCrontab(&crontab);
    crontab.SetTab("root", TaskBlock({{21, 8, 30}}));
    crontab.SetTab(mAccount.name, TaskBlock({{22, 8, 40}}));
    WriteFile(mRoot.CrontabFolder() + "/root", "");
    WriteFile(mRoot.CrontabFolder() + "/" + mAccount.name, "");

    const int32_t firstIndex = gTempFileIndex;
    ASSERT_EQ(DoCrontabLoop(mEnd, mStart, false), 0);
    ReapAll();
    EXPECT_EQ(std::set<std::string>(crontab.Commands().begin(), crontab.Commands().end()),
              (std::set<std::string>{"crontab -l", "crontab -l -u " + mAccount.name}));
    EXPECT_EQ(gTempFileIndex, firstIndex + 2) << "one temporary name per user";
    std::vector<LauncherRun> runs = mLauncher->Runs();
    ASSERT_EQ(RunIds(runs), (std::vector<std::string>{"21", "22"}));
    for (const LauncherRun& run : runs)
        EXPECT_EQ(run.values.at("uid"),
                  RunIds({run})[0] == "21" ? "0" : std::to_string(mAccount.uid));

    // A crontab that cannot be listed is passed over, said so, and leaves no file behind.
    crontab.FailList(QorCrontabStatus::kFailed, "crontab was killed by signal 9");
    ASSERT_EQ(DoCrontabLoop(mEnd, mStart, false), 0);
    ReapAll();
    EXPECT_EQ(mLauncher->Runs().size(), 2u);
    EXPECT_TRUE(mRoot.TempFiles().empty());
    int said = 0;
    for (const std::string& line : LogLines())
        if (line.find("cannot list the crontab of ") != std::string::npos &&
            line.find(": crontab was killed by signal 9") != std::string::npos)
            ++said;
    EXPECT_EQ(said, 2);
}

// Signals merge: one SIGCHLD can stand for many ended children, and the crontab command's own
// end raises one too, while its status is still to be read.
TEST_F(MissedTaskScan, EveryChildIsCollectedAndTheCrontabCommandKeepsItsStatus) {
    struct sigaction handler = {}, previous = {};
    handler.sa_handler = &MySigHandler;
    handler.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    ASSERT_EQ(sigaction(SIGCHLD, &handler, &previous), 0);

    std::vector<TaskRow> tasks;
    for (uint32_t id = 1; id <= 30; ++id)
        tasks.push_back({id, 8, int16_t(id)});
    WriteCrontab(mAccount.name, tasks);
    WriteCrontab("root", {{31, 9, 15}});
    EXPECT_EQ(DoCrontabLoop(mEnd, mStart, false), 0);
    EXPECT_EQ(mLauncher->WaitForRuns(31).size(), 31u) << "both crontabs were listed";

    int zombies = Zombies();
    for (int i = 0; i < 500 && zombies > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        zombies = Zombies();
    }
    EXPECT_EQ(zombies, 0);
    sigaction(SIGCHLD, &previous, nullptr);
}

TEST(MissedTaskScanFolder, NoCrontabFolderMeansStatus2) {
    TestRoot root;
    EXPECT_EQ(DoCrontabLoop(100, 0, false), 2);
    std::filesystem::create_directories(root.CrontabFolder());
    EXPECT_EQ(DoCrontabLoop(100, 0, false), 0);
    // The count is not lowered as children end: after scans that started none it is below
    // zero, and waiting must not go on for ever.
    for (int32_t count : {0, -1, 3}) {
        gChildren = count;
        EXPECT_EQ(DoCrontabLoop(100, 0, true), 0) << count;
    }
}

} // namespace
