// The launcher against the real platform layer, inside a temporary install root: the sample
// product started and sent events as a plain executable and as a bundle, and the statuses of
// targets out of reach.

#include "ForkedStep.h"
#include "QorProducts.h"
#include "SampleProductSupport.h"
#include "ZQorScheduledTaskLauncher.h"

#include <climits>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace launcher_test;

namespace {

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : "<missing>";
}

class LaunchSampleProduct : public ::testing::Test {
protected:
    void SetUp() override {
        // Other users' children must get through to the product's path.
        chmod(mRoot.Path().c_str(), 0755);
        InstallSampleProduct(mProduct);
        WriteFile(mDocument, "to scan\n");
    }
    void TearDown() override {
        for (const SampleRecord* record : {&mRecord, &mBundleRecord})
            record->Stop();
    }

    // Runs the launcher the way the launcher command does for a plain executable.
    OSStatus LaunchAndSend(ZQorScheduledTaskLauncher& launcher) {
        EXPECT_TRUE(launcher.IsLaunchable(kIsMachoBinary));
        OSStatus status = launcher.IsLaunched() ? 0 : launcher.LaunchTheApp();
        if (status != 0 && status != kQorLaunchAlreadyRunning)
            return status;
        // Not needed (the launcher looks the port up until it is there), but it keeps the
        // test from waiting a second for a product that is still starting.
        EXPECT_TRUE(mRecord.WaitFor("ready"));
        status = launcher.BuildEvent(0);
        return status != 0 ? status : launcher.DoEvent();
    }

    TempRoot mRoot;
    ScopedEnv mIdle{"QORSCHED_SAMPLE_IDLE", "30"};
    // A product path with a name of its own: the launcher finds a running program by its
    // name, and another test run may have a product of the same name running elsewhere.
    const std::string mProduct = mRoot.Path() + kDensorPath + "-" + std::to_string(getpid());
    const std::string mDocument = mRoot.Path() + "/home/user/My Documents/report.txt";
    const SampleRecord mRecord{mProduct};
    const SampleRecord mBundleRecord{mRoot.Path() +
                                     "/Applications/Sample.app/Contents/MacOS/Sample"};
};

TEST_F(LaunchSampleProduct, APlainExecutableIsStartedAndReceivesTheEvent) {
    LauncherFor<ZQorScheduledTaskLauncher> launcher(
        {"12",      mProduct,      "Dnsr",
         "evnt",    "clas",        "path",
         mDocument, "exAG",        "-scan /data\\ dir --sample-idle=30",
         "long",    "12x",         "shor",
         "-3",      "magn",        "7",
         "TEXT",    "hello world", "kydo",
         "kwd1",    "long",        "42",
         "kwd2",    "TEXT",        "x y"});
    EXPECT_EQ(LaunchAndSend(*launcher), 0);
    ASSERT_TRUE(mRecord.WaitFor("event"));

    std::vector<std::string> starts = mRecord.Lines("start");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(mRecord.Pid(), launcher->mChildPID);
    // Started with the root the launcher uses, so it registers its port where we look.
    EXPECT_NE(starts[0].find(" root=\"" + mRoot.Path() + "\""), std::string::npos) << starts[0];
    EXPECT_EQ(SampleRecord::Body(mRecord.Lines("args")[0]),
              "argc=4 \"" + mProduct + "\" \"-scan\" \"/data dir\" \"--sample-idle=30\"");
    EXPECT_EQ(SampleRecord::Body(mRecord.Lines("event")[0]),
              "class='clas' id='evnt' 'pthK'='path':\"" + mDocument +
                  "\\x00\", '----'=list['alis':\"" + Resolved(mDocument) +
                  "\", 'long':12, 'shor':-3, 'magn':7, 'TEXT':\"hello world\"], "
                  "'kwd1'='long':42, 'kwd2'='TEXT':\"x y\"");
}

TEST_F(LaunchSampleProduct, ARunningProductIsNotStartedAgain) {
    LauncherFor<ZQorScheduledTaskLauncher> first({"1", mProduct, "Dnsr", "evnt", "clas"});
    ASSERT_EQ(LaunchAndSend(*first), 0);

    LauncherFor<ZQorScheduledTaskLauncher> second(
        {"2", mProduct, "Dnsr", "evn2", "clas", "exAG", "--not-used"});
    EXPECT_TRUE(second->IsLaunchable(kIsMachoBinary));
    EXPECT_TRUE(second->IsLaunched());
    EXPECT_EQ(second->ExecBinaryFile(), kQorLaunchAlreadyRunning);
    EXPECT_EQ(LaunchAndSend(*second), 0);

    ASSERT_TRUE(mRecord.WaitFor("event", 2));
    EXPECT_EQ(mRecord.Lines("start").size(), 1u);
    EXPECT_EQ(SampleRecord::Body(mRecord.Lines("event")[1]), "class='clas' id='evn2'");
}

TEST_F(LaunchSampleProduct, ABundleIsFoundByItsCreatorCodeAndOpened) {
    const std::string executable =
        InstallSampleBundle(mRoot.Path() + "/Applications/Sample.app", "Sample", "Smpl");
    LauncherFor<ZQorScheduledTaskLauncher> launcher(
        {"5", "", "Smpl", "SCob", "SCae", "TEXT", "from the bundle test"});
    ASSERT_TRUE(launcher->IsLaunchable(kIsOSXBundle));
    EXPECT_FALSE(launcher->IsLaunched());
    EXPECT_EQ(launcher->LaunchTheApp(), 0);
    ASSERT_TRUE(mBundleRecord.WaitFor("ready"));
    EXPECT_NE(mBundleRecord.Lines("start")[0].find("creator='Smpl'"), std::string::npos);
    // Addressed by its creator code, as no process ID is given.
    EXPECT_EQ(launcher->BuildEvent(0), 0);
    EXPECT_EQ(launcher->DoEvent(), 0);
    ASSERT_TRUE(mBundleRecord.WaitFor("event"));
    EXPECT_EQ(SampleRecord::Body(mBundleRecord.Lines("event")[0]),
              "class='SCae' id='SCob' '----'=list['TEXT':\"from the bundle test\"]");
}

TEST_F(LaunchSampleProduct, UnreachablePortsGiveTheirStatuses) {
    // A program that never registers a port: 30 look-ups (on a fake clock), then 1005.
    const std::string quiet = mRoot.Path() + "/opt/bin/quiet-" + std::to_string(getpid());
    std::filesystem::create_directories(mRoot.Path() + "/opt/bin");
    std::filesystem::copy_file("/bin/sleep", quiet);
    LauncherFor<ZQorScheduledTaskLauncher> silent(
        {"1", quiet, "None", "evnt", "clas", "exAG", "30"});
    ASSERT_TRUE(silent->IsLaunchable(kIsMachoBinary));
    ASSERT_EQ(silent->LaunchTheApp(), 0);
    {
        QorFakeClock clock;
        QorScopedClock useClock(&clock);
        EXPECT_EQ(silent->BuildEvent(0), kQorLaunchPortNotRegistered);
        EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>(30, 1u));
    }
    EXPECT_EQ(kill(silent->mChildPID, SIGTERM), 0);

    // A product that went away after its event was built: 15 tries, then -600.
    LauncherFor<ZQorScheduledTaskLauncher> launcher({"1", mProduct, "Dnsr", "evnt", "clas"});
    ASSERT_EQ(LaunchAndSend(*launcher), 0);
    mRecord.Stop();
    QorFakeClock clock;
    QorScopedClock useClock(&clock);
    EXPECT_EQ(launcher->DoEvent(), procNotFound);
    EXPECT_EQ(clock.Sleeps(), std::vector<unsigned>(15, 2u));
}

TEST_F(LaunchSampleProduct, AnotherUsersProductCannotBeReached) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a child as another user";
    LauncherFor<ZQorScheduledTaskLauncher> launcher({"1", mProduct, "Dnsr", "evnt", "clas"});
    ASSERT_EQ(LaunchAndSend(*launcher), 0); // root's product

    pid_t child = fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        if (!qor_test::BecomeAccount(nobody, nobody))
            _exit(2);
        LauncherFor<ZQorScheduledTaskLauncher> stranger({"1", mProduct, "Dnsr", "evnt", "clas"});
        // It sees that the product runs, but may not reach it.
        bool running = stranger->IsLaunched();
        OSStatus status = stranger->BuildEvent(0);
        _exit(running && status == kQorLaunchNoTaskAccess ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
