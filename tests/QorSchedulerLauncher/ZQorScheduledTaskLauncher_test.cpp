#include "LauncherTestSupport.h"
#include "ZQorScheduledTaskDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

TEST(ZQorScheduledTaskLauncher, FromArgumentsItHoldsATaskDescriptor) {
    LauncherFor<ZQorScheduledTaskLauncher> launcher(
        {"7", "/opt/tool", "Smpl", "evnt", "clas", "exAG", "-x 1"});
    auto* desc = dynamic_cast<ZQorScheduledTaskDescriptor*>(launcher->GetTaskDescriptor());
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(desc->mID, 7u);
    EXPECT_STREQ(desc->mExecPath, "/opt/tool");
    EXPECT_EQ(desc->mEventData, nullptr); // made from arguments: no event data buffer
    EXPECT_TRUE(launcher->mIsInitted);
    // The text form a pending-launch file gets.
    EXPECT_EQ(WrittenText(*desc),
              " 7  \"/opt/tool\"  \"Smpl\"  \"evnt\"  \"clas\" \"exAG\" \"-x 1\" ");
}

TEST(ZQorScheduledTaskLauncher, FromAPendingLaunchFile) {
    TempRoot root;
    FakeServices services;
    const std::string tool = root.Path() + "/opt/tool";
    WriteFile(tool, "#!/bin/sh\n", 0755);
    services.AddProcess(tool, 4711);

    // What the launcher command leaves, as the secondary launcher reads it.
    std::string line = " 7  \"" + tool +
                       "\"  \"Smpl\"  \"evnt\"  \"clas\" \"TEXT\" \"hello world\" \"long\" \"5\" ";
    FILE* file = fmemopen(line.data(), line.size(), "r");
    ZQorScheduledTaskLauncher launcher(file);
    fclose(file);
    auto* desc = dynamic_cast<ZQorScheduledTaskDescriptor*>(launcher.GetTaskDescriptor());
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(desc->mExecPathSize, 256);
    EXPECT_EQ(desc->mEventDataSize, 256);
    EXPECT_STREQ(desc->mExecPath, tool.c_str());
    EXPECT_FALSE(launcher.mIsInit);
    EXPECT_FALSE(launcher.mLogIsOpen);

    EXPECT_EQ(desc->SplitEventDataToSeparateParams(), 4);
    ASSERT_TRUE(launcher.IsLaunchable(kIsMachoBinary | kIsCFMApplication | kIsOSXBundle));
    ASSERT_TRUE(launcher.IsLaunched());
    ASSERT_EQ(launcher.BuildEvent(0), 0);
    ASSERT_EQ(launcher.DoEvent(), 0);
    ASSERT_EQ(services.transport.Events().size(), 1u);

    Desc list;
    ASSERT_EQ(
        AEGetParamDesc(&services.transport.Events()[0], keyDirectObject, typeWildCard, list.get()),
        noErr);
    long count = 0;
    EXPECT_EQ(AECountItems(list.get(), &count), noErr);
    EXPECT_EQ(count, 2);
}

TEST(ZQorScheduledTaskLauncher, AnEmptyFileLeavesNothingToLaunch) {
    TempRoot root;
    FakeServices services;
    FILE* file = fopen("/dev/null", "r");
    ZQorScheduledTaskLauncher launcher(file);
    fclose(file);
    EXPECT_FALSE(launcher.IsLaunchable(~0u));
    EXPECT_EQ(launcher.BuildEvent(0), kQorLaunchNothingToLocate);
}

} // namespace
