// The hand-off through the real programs and the real platform layer, inside a temporary root:
// taskKicker leaves the launch pending and opens the secondary launcher or registers it as a
// login item; QorSecondaryLaunch then launches the sample product and delivers the event.

#include "ConsoleUser.h"
#include "KickerTestSupport.h"
#include "LoginItems.h"
#include "SampleProductSupport.h"
#include "Spawn.h"
#include "SystemBusMock.h"

#include <gtest/gtest.h>

using namespace kicker_test;

namespace {

class HandOffChain : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(Root() + "/Library/Application Support/Tavrin "
                                                     "Solutions Support/Scheduler");
        std::filesystem::copy_file(QORSCHED_TASK_KICKER, Root() + kTaskKickerPath);
        std::filesystem::copy(QORSCHED_SECONDARY_LAUNCH_BUNDLE, Root() + kSecondaryLaunchAppPath,
                              std::filesystem::copy_options::recursive);
        launcher_test::InstallSampleBundle(mBundle, "Sample", "Smpl");
    }
    void TearDown() override {
        mBundleRecord.Stop();
        mPlainRecord.Stop();
    }

    const std::string& Root() const { return mRoot.Path(); }

    // Runs an installed program of the suite; its exit status, or -1.
    int Run(const std::string& program, const std::vector<std::string>& args = {}) {
        std::vector<std::string> argv = {Root() + program};
        argv.insert(argv.end(), args.begin(), args.end());
        int exitStatus = -1;
        return QorSpawnAndWait(argv, QorSpawnOptions(), &exitStatus) == 0 ? exitStatus : -1;
    }
    int RunTaskKicker(const std::vector<std::string>& args) { return Run(kTaskKickerPath, args); }
    int RunSecondaryLauncher() { return Run(kSecondaryLaunchExecutablePath); }

    // The lines of the log mirror that contain text.
    std::vector<std::string> LogLines(const std::string& text) const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(mLogFile));
        for (std::string line; std::getline(in, line);)
            if (line.find(text) != std::string::npos)
                lines.push_back(line);
        return lines;
    }

    std::vector<std::string> LoginItemPaths() const {
        std::vector<std::string> paths;
        const int32_t count = GetCountOfLoginItems(kCFPreferencesCurrentUser);
        for (int32_t i = 0; i < count; ++i) {
            const char* path =
                ReturnLoginItemPropertyAtIndex(kCFPreferencesCurrentUser, kLoginItemFullPath, i);
            paths.push_back(path ? path : "<null>");
            const char* hide =
                ReturnLoginItemPropertyAtIndex(kCFPreferencesCurrentUser, kLoginItemHide, i);
            EXPECT_STREQ(hide, "true");
        }
        return paths;
    }

    KickerRoot mRoot;
    const std::string mLogFile = Root() + "/log";
    ScopedEnv mLog{"QORSCHED_LOG_FILE", mLogFile};
    ScopedEnv mIdle{"QORSCHED_SAMPLE_IDLE", "30"};
    const std::string mBundle = Root() + "/Applications/Sample.app";
    const launcher_test::SampleRecord mBundleRecord{mBundle + "/Contents/MacOS/Sample"};
    const std::string mPlain = Root() + "/opt/bin/sample";
    const launcher_test::SampleRecord mPlainRecord{mPlain};
};

TEST_F(HandOffChain, ABundleWaitsForTheNextLoginAndIsThenLaunched) {
    // Nobody at the console (no system bus under the root): the launch waits for a login.
    EXPECT_EQ(RunTaskKicker({"7", mBundle, "Smpl", "evnt", "clas", "TEXT", "hello world"}), 0);
    EXPECT_EQ(RunTaskKicker({"8", mBundle, "Smpl", "evnt", "clas", "TEXT", "hello world"}), 0);
    EXPECT_EQ(mRoot.PendingNames().size(), 1u) << "the same launch is pending once";
    EXPECT_EQ(LoginItemPaths(), std::vector<std::string>{Root() + kSecondaryLaunchAppPath});
    EXPECT_EQ(LogLines("Tried to launch secondary launch err = 1003").size(), 2u);
    EXPECT_TRUE(LogLines("launch for id").empty()) << "handed off at once: no result line";
    EXPECT_TRUE(mBundleRecord.Lines().empty()) << "not started from here";

    // What the login item runs.
    EXPECT_EQ(RunSecondaryLauncher(), 0);
    ASSERT_TRUE(mBundleRecord.WaitFor("event"));
    EXPECT_EQ(launcher_test::SampleRecord::Body(mBundleRecord.Lines("event")[0]),
              "class='clas' id='evnt' '----'=list['TEXT':\"hello world\"]");
    std::vector<std::string> results = LogLines("QorSecondaryLaunch[");
    ASSERT_FALSE(results.empty());
    EXPECT_NE(results.back().find("launch for id = 7 Smpl event = evnt result = 0"),
              std::string::npos)
        << results.back();
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
    EXPECT_EQ(LoginItemPaths().size(), 1u) << "the login item stays";
}

TEST_F(HandOffChain, ATargetThatCannotBeStartedIsLoggedAndForgotten) {
    launcher_test::WriteFile(mPlain, launcher_test::ElfHead(), 0755); // cannot be loaded
    EXPECT_EQ(RunTaskKicker({"-u", "9", mPlain, "Smpl", "evnt", "clas"}), 0);
    EXPECT_EQ(mRoot.PendingNames().size(), 1u);
    EXPECT_EQ(RunSecondaryLauncher(), 0);
    EXPECT_EQ(LogLines("QorSecondaryLaunch[").size(), 1u);
    EXPECT_EQ(LogLines("launch for id = 9 Smpl event = evnt result = -1").size(), 1u);
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
    EXPECT_EQ(RunSecondaryLauncher(), 0);
    EXPECT_EQ(LogLines("QorSecondaryLaunch[").size(), 1u) << "not tried again";
}

TEST_F(HandOffChain, AtTheConsoleTheSecondaryLauncherIsOpenedAtOnce) {
    qor_test::ConsoleUserOnPrivateBus logind(Root(), geteuid(), EffectiveUserName());
    if (!logind.Ready())
        GTEST_SKIP() << "needs dbus-daemon and python3-dbusmock for a console user";
    ASSERT_TRUE(SCDynamicStoreCopyConsoleUser(nullptr, nullptr, nullptr));
    launcher_test::InstallSampleProduct(mPlain);

    // -u: not started from here, but by the secondary launcher, which runs at once.
    EXPECT_EQ(RunTaskKicker({"-u", "11", mPlain, "Smpl", "evnt", "clas", "exAG", "--sample-idle=30",
                             "TEXT", "from cron"}),
              0);
    ASSERT_TRUE(mPlainRecord.WaitFor("event"));
    EXPECT_EQ(launcher_test::SampleRecord::Body(mPlainRecord.Lines("args")[0]),
              "argc=2 \"" + mPlain + "\" \"--sample-idle=30\"");
    EXPECT_EQ(launcher_test::SampleRecord::Body(mPlainRecord.Lines("event")[0]),
              "class='clas' id='evnt' '----'=list['TEXT':\"from cron\"]");
    for (int i = 0; i < 1000 && LogLines("launch for id = 11").empty(); ++i)
        usleep(10000);
    EXPECT_EQ(LogLines("launch for id = 11 Smpl event = evnt result = 0").size(), 1u);
    EXPECT_EQ(GetCountOfLoginItems(kCFPreferencesCurrentUser), 0);
    EXPECT_TRUE(LogLines("Tried to launch secondary launch").empty());
}

} // namespace
