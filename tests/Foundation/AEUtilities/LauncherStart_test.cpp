// Starting the target: plain executables as programs of their own (small scripts that write
// down how they were started), everything else through Launch Services.

#include "LaunchServices.h"
#include "LauncherTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

using namespace launcher_test;

namespace {

// Writes its arguments one per line, then "root=" and the install root it was given.
constexpr char kRecorder[] = "#!/bin/sh\n"
                             "out=\"$0.out\"\n"
                             "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out.tmp\"\n"
                             "echo \"root=$QORSCHED_ROOT\" >> \"$out.tmp\"\n"
                             "mv \"$out.tmp\" \"$out\"\n";

class LauncherStart : public ::testing::Test {
protected:
    std::string Path(const std::string& inRoot) const { return mRoot.Path() + inRoot; }

    // What the recorder at path wrote, once it has written it.
    std::string Recorded(const std::string& path) {
        return WaitForLine(path + ".out") ? ReadFile(path + ".out") : "<nothing recorded>";
    }

    TempRoot mRoot;
    FakeServices mServices; // no process runs: every plain executable is started
};

TEST_F(LauncherStart, APlainExecutableGetsItsArgumentsAndTheRoot) {
    const std::string tool = Path("/opt/bin/recorder");
    WriteFile(tool, kRecorder, 0755);
    LauncherFor<> plain({"3", tool, "Smpl", "evnt", "clas", "TEXT", "x", "exAG", "-a\\ b c"});
    ASSERT_TRUE(plain->IsLaunchable(kIsMachoBinary));
    EXPECT_EQ(plain->LaunchTheApp(), 0);
    EXPECT_TRUE(plain->mAppIsLaunched);
    EXPECT_GT(plain->mChildPID, 0);
    EXPECT_EQ(Recorded(tool), "[-a b]\n[c]\nroot=" + mRoot.Path() + "\n");
}

TEST_F(LauncherStart, APlainExecutableThatRunsIsNotStartedAgain) {
    const std::string tool = Path("/opt/bin/recorder");
    WriteFile(tool, kRecorder, 0755);
    mServices.AddProcess(tool, 4711);
    LauncherFor<> launcher({"3", tool, "Smpl", "evnt", "clas"});
    ASSERT_TRUE(launcher->IsLaunchable(kIsMachoBinary));
    EXPECT_EQ(launcher->ExecBinaryFile(), kQorLaunchAlreadyRunning);
    EXPECT_EQ(launcher->LaunchTheApp(), kQorLaunchAlreadyRunning);
    EXPECT_TRUE(launcher->mAppIsLaunched);
    EXPECT_EQ(launcher->mChildPID, 0);

    // The event still goes to the running program.
    EXPECT_EQ(launcher->BuildEvent(0), 0);
    EXPECT_EQ(launcher->DoEvent(), 0);
    EXPECT_EQ(mServices.transport.Events().size(), 1u);
    EXPECT_EQ(mServices.ports.TaskPids(), std::vector<int>{4711});
}

TEST_F(LauncherStart, AProgramThatCannotBeRunIsAFailure) {
    // ELF magic, but no program the kernel can load.
    const std::string broken = Path("/opt/bin/broken");
    WriteFile(broken, ElfHead(), 0755);
    LauncherFor<> launcher({"3", broken, "Smpl", "evnt", "clas"});
    ASSERT_TRUE(launcher->IsLaunchable(kIsMachoBinary));
    EXPECT_EQ(launcher->LaunchTheApp(), -1);
    EXPECT_FALSE(launcher->mAppIsLaunched);
    EXPECT_EQ(launcher->LaunchTheAppAsNewInstance(nullptr), -1);
    EXPECT_FALSE(launcher->mAppIsLaunched);
}

TEST_F(LauncherStart, NothingIsStartedForAnUnclassifiedTarget) {
    WriteFile(Path("/opt/notes.txt"), "text\n");
    LauncherFor<> launcher({"3", Path("/opt/notes.txt"), "Smpl", "evnt", "clas"});
    EXPECT_EQ(launcher->LaunchTheApp(), -1);
    EXPECT_EQ(launcher->LaunchTheApp(kLSLaunchNewInstance), -1);
    EXPECT_FALSE(launcher->mAppIsLaunched);
}

TEST_F(LauncherStart, ABundleIsOpenedThroughLaunchServices) {
    const std::string app = Path("/Applications/Sample.app");
    const std::string marker = Path("/opened");
    MakeBundle(app, "Sample", "Smpl", "echo \"opened $QORSCHED_ROOT\" > '" + marker + "'\n");
    // Located by its creator code alone.
    LauncherFor<> launcher({"3", "", "Smpl", "evnt", "clas"});
    ASSERT_TRUE(launcher->IsLaunchable(kIsOSXBundle));
    EXPECT_EQ(launcher->LaunchTheApp(), 0);
    EXPECT_TRUE(launcher->mAppIsLaunched);
    ASSERT_TRUE(WaitForLine(marker));
    EXPECT_EQ(ReadFile(marker), "opened " + mRoot.Path() + "\n");
}

TEST_F(LauncherStart, ALaunchInProgressCountsAsRunning) {
    const std::string app = Path("/Applications/Sample.app");
    MakeBundle(app, "Sample", "Smpl", "exit 0\n");
    LauncherFor<> launcher({"3", app, "Smpl", "evnt", "clas"});
    ASSERT_TRUE(launcher->IsLaunchable(kIsOSXBundle));

    // Another launcher holds the application's launch lock.
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(app.c_str(), resolved), nullptr);
    int lock = open(QorLaunchLockPath(resolved).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    // flock locks belong to the open file, so a second open of it in this process conflicts
    // just as another process would.
    EXPECT_EQ(launcher->LaunchTheApp(), kQorLaunchAlreadyRunning);
    EXPECT_TRUE(launcher->mAppIsLaunched);
    close(lock);
}

TEST_F(LauncherStart, NewInstancesStartWhateverRuns) {
    const std::string tool = Path("/opt/bin/recorder");
    WriteFile(tool, kRecorder, 0755);
    mServices.AddProcess(tool, 4711);
    LauncherFor<> plain({"3", tool, "Smpl", "evnt", "clas", "exAG", "one two"});
    ASSERT_TRUE(plain->IsLaunchable(kIsMachoBinary));
    pid_t pid = 0;
    EXPECT_EQ(plain->LaunchTheAppAsNewInstance(&pid), 0);
    EXPECT_GT(pid, 0);
    EXPECT_TRUE(plain->mAppIsLaunched);
    EXPECT_EQ(Recorded(tool), "[one]\n[two]\nroot=" + mRoot.Path() + "\n");

    // A bundle's new instance is its executable, started directly.
    const std::string app = Path("/Applications/Sample.app");
    MakeBundle(app, "Sample", "Smpl", std::string(kRecorder).substr(10));
    LauncherFor<> bundle({"3", app, "Smpl", "evnt", "clas"});
    ASSERT_TRUE(bundle->IsLaunchable(kIsOSXBundle));
    EXPECT_EQ(bundle->LaunchTheApp(kLSLaunchNewInstance), 0);
    EXPECT_EQ(Recorded(app + "/Contents/MacOS/Sample"), "root=" + mRoot.Path() + "\n");
}

} // namespace
