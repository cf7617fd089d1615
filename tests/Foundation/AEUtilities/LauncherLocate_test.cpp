// Locating and classifying the target, and telling whether it runs.

#include "LaunchServices.h"
#include "LauncherTestSupport.h"
#include "ZMachOAppleEventDescriptor.h"

#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

class LauncherLocate : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Path("/bin/script"), "#!/bin/sh\nexit 0\n", 0755);
        WriteFile(Path("/bin/script-not-executable"), "#!/bin/sh\nexit 0\n", 0644);
        WriteFile(Path("/bin/elf"), ElfHead(), 0755);
        WriteFile(Path("/bin/Tool.AppImage"), ElfHead(true), 0755);
        WriteFile(Path("/bin/old-magic"), std::string("\xfe\xed\xfa\xce", 4) + "rest", 0755);
        WriteFile(Path("/bin/notes.txt"), "plain text\n");
        std::filesystem::create_directories(Path("/bin/folder"));
        MakeBundle(Path("/Applications/Sample.app"), "Sample", "Smpl");
        // A bundle without the ".app" name is still a bundle by its contents.
        MakeBundle(Path("/opt/Unnamed"), "Unnamed", "Unnm");
    }

    std::string Path(const std::string& inRoot) const { return mRoot.Path() + inRoot; }

    TempRoot mRoot;
    FakeServices mServices;
};

TEST_F(LauncherLocate, ClassifiesByPathOrCreatorCode) {
    struct Case {
        const char* path; // under the root; "" for none, "-" for an empty path
        const char* creator;
        OSStatus status;
        AppType type;
    };
    const Case cases[] = {
        {"/bin/script", "Smpl", 0, kIsMachoBinary},
        {"/bin/elf", "????", 0, kIsMachoBinary},
        {"/bin/Tool.AppImage", "????", 0, kIsCFMApplication},
        {"/Applications/Sample.app", "????", 0, kIsOSXBundle},
        {"/opt/Unnamed", "????", 0, kIsOSXBundle},
        {"/bin/script-not-executable", "????", 0, kIsUndefined},
        {"/bin/old-magic", "????", 0, kIsUndefined},
        {"/bin/notes.txt", "????", 0, kIsUndefined},
        {"/bin/folder", "????", 0, kIsUndefined},
        // A missing path falls back to the creator code.
        {"/bin/missing", "Smpl", 0, kIsOSXBundle},
        {"-", "Smpl", 0, kIsOSXBundle},
        {"/bin/missing", "Nope", kLSApplicationNotFoundErr, kIsUndefined},
    };
    for (const Case& c : cases) {
        std::string path = std::string(c.path) == "-" ? "" : Path(c.path);
        LauncherFor<> launcher({"12", path, c.creator, "evnt", "clas"});
        EXPECT_EQ(launcher->InitForLaunch(), c.status) << c.path;
        EXPECT_EQ(launcher->mAppType, c.type) << c.path;
        EXPECT_EQ(launcher->mIsInit, c.type != kIsUndefined) << c.path;
        EXPECT_EQ(launcher->mAppFSRefFound, c.status == 0) << c.path;
    }
}

TEST_F(LauncherLocate, NothingToLocateWithoutPathAndCreator) {
    ZMachOAppleEventLauncher launcher;
    launcher.mTaskDesc = new ZMachOAppleEventDescriptor(nullptr, 0, nullptr, -1);
    EXPECT_EQ(launcher.InitForLaunch(), kQorLaunchNothingToLocate);
    EXPECT_FALSE(launcher.IsLaunchable(~0u));
    EXPECT_FALSE(launcher.IsLaunched());
}

TEST_F(LauncherLocate, LaunchableByTypeMask) {
    LauncherFor<> plain({"1", Path("/bin/script"), "Smpl", "evnt", "clas"});
    EXPECT_TRUE(plain->IsLaunchable(kIsMachoBinary));
    EXPECT_FALSE(plain->IsLaunchable(kIsOSXBundle | kIsCFMApplication));

    LauncherFor<> bundle({"1", Path("/Applications/Sample.app"), "Smpl", "evnt", "clas"});
    EXPECT_FALSE(bundle->IsLaunchable(kIsMachoBinary));
    EXPECT_TRUE(bundle->IsLaunchable(kIsMachoBinary | kIsCFMApplication | kIsOSXBundle));

    LauncherFor<> text({"1", Path("/bin/notes.txt"), "Smpl", "evnt", "clas"});
    EXPECT_FALSE(text->IsLaunchable(~0u));
}

TEST_F(LauncherLocate, APlainExecutableIsLaunchedWhenItsProcessRuns) {
    LauncherFor<> launcher({"1", Path("/bin/script"), "Smpl", "evnt", "clas"});
    EXPECT_FALSE(launcher->IsLaunched());
    mServices.AddProcess(Path("/bin/script"), 4711);
    EXPECT_TRUE(launcher->IsLaunched());
    EXPECT_TRUE(launcher->mAppIsLaunched);
}

TEST_F(LauncherLocate, ABundleIsNeverLookedForByName) {
    mServices.AddProcess(Path("/Applications/Sample.app"), 4711);
    mServices.AddProcess(Path("/Applications/Sample.app/Contents/MacOS/Sample"), 4712);
    LauncherFor<> launcher({"1", Path("/Applications/Sample.app"), "Smpl", "evnt", "clas"});
    EXPECT_FALSE(launcher->IsLaunched());
    launcher->mAppIsLaunched = true; // as a launch through this launcher leaves it
    EXPECT_TRUE(launcher->IsLaunched());
}

TEST_F(LauncherLocate, ProcessNamesMatchExactlyAndTheCallersProcessWins) {
    const uid_t me = geteuid();
    mServices.AddProcess("/usr/bin/bash", 10, me);
    mServices.AddProcess("/usr/bin/sample", 20, me + 1);
    mServices.AddProcess("/usr/bin/sample", 30, me);
    mServices.AddProcess("/usr/bin/sample-helper", 5, me);
    EXPECT_EQ(ZMachOAppleEventLauncher::GetPIDForName("/bin/sh"), -1);
    EXPECT_EQ(ZMachOAppleEventLauncher::GetPIDForName("/bin/bas"), -1);
    EXPECT_EQ(ZMachOAppleEventLauncher::GetPIDForName("/opt/x/sample"), 30);
    EXPECT_EQ(ZMachOAppleEventLauncher::GetPIDForName("/bin/bash"), 10);
    EXPECT_EQ(ZMachOAppleEventLauncher::GetPIDForName("/opt/x/"), -1);
}

} // namespace
