#include "FourCharCode.h"
#include "InstallRoot.h"
#include "ScopedEnv.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskDescriptor.h"
#include "ZQorScheduledTaskExec.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// A task record's descriptor: its event data is one text, split when the vector is built.
ZQorScheduledTaskDescriptor* TaskDescriptor(const char* eventData) {
    auto* desc = new ZQorScheduledTaskDescriptor(nullptr, 256, nullptr, 256);
    desc->mID = 12;
    snprintf(desc->mExecPath, 256, "/bin/x");
    desc->mCreator = QorCode("abcd");
    desc->mEvent = QorCode("evnt");
    desc->mClass = QorCode("clas");
    snprintf(desc->mEventData, 256, "%s", eventData);
    return desc;
}

std::vector<std::string> Vector(const ZQorScheduledTaskExec& exec) {
    std::vector<std::string> args;
    for (int i = 0; i + 1 < exec.mNumArgs; ++i)
        args.emplace_back(exec.mExecArgs[i]);
    return args;
}

class TaskExec : public ::testing::Test {
protected:
    qor_test::ScopedEnv mRoot{"QORSCHED_ROOT", "/srv/root"};
    const std::string mLauncher = std::string("/srv/root") + gLauncherPath;
};

TEST_F(TaskExec, TheLauncherCommandLineOfATask) {
    struct Case {
        const char* options; // null: not set
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"n", {mLauncher, "-n", "12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v"}},
        {nullptr, {mLauncher, "12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v"}},
        {"nunuABCD", {mLauncher, "-nunuAB", "12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v"}},
        // A lone "-" would be taken for the task ID.
        {"", {mLauncher, "12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v"}},
    };
    for (const Case& c : cases) {
        ZQorScheduledTaskDescriptor* desc = TaskDescriptor("\"exAG\" \"-v\"");
        ZQorScheduledTaskExec exec(desc, 77);
        desc->Release(); // the exec holds its own reference
        const std::string options = c.options ? c.options : "(none)";
        if (c.options)
            exec.SetTaskKickerOptions(c.options);
        EXPECT_EQ(exec.GetNumExecArgs(), int(c.args.size()) + 1) << options;
        EXPECT_EQ(exec.CreateExecArgs(), int(c.args.size()) + 1) << options;
        EXPECT_EQ(Vector(exec), c.args) << options;
        EXPECT_EQ(exec.mExecArgs[exec.mNumArgs - 1], nullptr);
        EXPECT_EQ(exec.mPid, 77);
    }
}

TEST_F(TaskExec, TheVectorIsBuiltOnce) {
    ZQorScheduledTaskDescriptor* desc = TaskDescriptor("\"exAG\" \"-v\"");
    ZQorScheduledTaskExec exec(desc, 0);
    EXPECT_EQ(desc->GetReferenceCount(), 2);
    ASSERT_EQ(exec.CreateExecArgs(), 9);
    char** first = exec.mExecArgs;
    exec.SetTaskKickerOptions("n");
    EXPECT_EQ(exec.CreateExecArgs(), 9);
    EXPECT_EQ(exec.mExecArgs, first);
    desc->Release();
}

TEST_F(TaskExec, CodesAndEventDataOfEveryShape) {
    ZQorScheduledTaskDescriptor* desc = TaskDescriptor("");
    desc->mID = 4294967295u;
    desc->mCreator = QorCode("ab\0d");
    desc->mEvent = 0;
    ZQorScheduledTaskExec exec(desc, 0);
    desc->Release();
    ASSERT_EQ(exec.CreateExecArgs(), 7);
    EXPECT_EQ(Vector(exec),
              (std::vector<std::string>{mLauncher, "4294967295", "/bin/x", "ab", "", "clas"}));
}

TEST_F(TaskExec, NothingToBuildWithoutADescriptor) {
    ZQorScheduledTaskExec exec(nullptr, 0);
    exec.SetTaskKickerOptions("n");
    EXPECT_EQ(exec.GetNumExecArgs(), 0);
    EXPECT_EQ(exec.CreateExecArgs(), 0);
    EXPECT_EQ(exec.mExecArgs, nullptr);
}

} // namespace
