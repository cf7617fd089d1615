// qorsched fire: a task's launcher command run now, as cron would run it, without a shell.

#include "CommandRun.h"
#include "CrontabFake.h"
#include "CrontabTasks.h"
#include "FileRefsFolders.h"
#include "FourCharCode.h"
#include "InstallRoot.h"
#include "QorSchedCommands.h"
#include "ScopedEnv.h"
#include "TempRoot.h"
#include "TestFiles.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using qor_test::CommandRun;
using qor_test::ReadFile;

CommandRun Qorsched(std::vector<std::string> args) {
    return qor_test::RunCommandMain(RunQorSched, "qorsched", std::move(args));
}

// A stand-in launcher at the launcher's fixed path in a temporary root: it writes down how it
// was run (its name, arguments, working folder and a few variables) and ends with the status
// given in the root's file "exit-status".
constexpr char kRecordingLauncher[] = R"sh(#!/bin/sh
out="$QORSCHED_ROOT/fired"
printf '%s\n' "$0" "$@" >"$out.args"
pwd >"$out.cwd"
printf 'HOME=%s\nLOGNAME=%s\nSHELL=%s\nPATH=%s\nSECRET=%s\n' \
    "$HOME" "$LOGNAME" "$SHELL" "$PATH" "${QORSCHED_TEST_SECRET-unset}" >"$out.env"
exit "$(cat "$QORSCHED_ROOT/exit-status" 2>/dev/null || echo 0)"
)sh";

class QorSchedFire : public testing::Test {
protected:
    QorSchedFire() : mUseCrontab(&mCrontab) {
        EXPECT_FALSE(mHome.empty()) << "the account's home folder";
        mLauncher = QorPath(gLauncherPath);
        std::filesystem::create_directories(std::filesystem::path(mLauncher).parent_path());
        std::ofstream(mLauncher) << kRecordingLauncher;
        chmod(mLauncher.c_str(), 0755);
    }

    // One scan task with ID 7 and the given launcher options, saved into the fake crontab.
    void AddTask(const char* options, int16_t enabled) {
        ZQorScheduledTaskArray* block = OpenCrontabTasks(nullptr);
        ASSERT_NE(block, nullptr);
        ZQorScheduledTask* task = NewScheduledTask(nullptr);
        SetTaskEnabled(task, enabled);
        SetTaskEventType(task, ZQorScheduledTask::kVirusScan);
        (void)SetTaskName(task, "Nightly scan", 12, 1);
        if (options) {
            ASSERT_EQ(SetSchedArgs(task, options), 0);
        }
        (void)SetEvent(task, QorCode("scan"), QorCode("OMBX"),
                       "\"path\" \"/home/ann/My Documents\" \"TEXT\" \"$(id) `id` * ;\"");
        (void)SetEventLauncher(task, QorCode("OMBX"), "/opt/ombrix/bin/ombrix");
        int16_t every = -1, hour = 2, minute = 30;
        SetTaskScheduleTime(task, &every, &every, &hour, &minute);
        SetTaskScheduleType(task, ZQorScheduledTask::kDaily);
        ASSERT_EQ(AddScheduledTask(block, task, 7), 0);
        ASSERT_EQ(CloseCrontabTasks(block), 0);
        mCommandsBefore = mCrontab.Commands().size();
    }

    qor_test::TempRoot mTempRoot{{.withHome = true}};
    const std::string mRoot = mTempRoot.Path(), mHome = mTempRoot.Home(), mUser = mTempRoot.User();
    // Not among what cron passes on, so the launcher must not see it.
    qor_test::ScopedEnv mSecret{"QORSCHED_TEST_SECRET", "leaked"};
    std::string mLauncher;
    QorFakeCrontab mCrontab{std::string("tester")};
    QorScopedCrontab mUseCrontab;
    size_t mCommandsBefore = 0;
};

TEST_F(QorSchedFire, RunsTheLauncherWithTheTaskArgumentsAsCronWouldAndChangesNothing) {
    AddTask("n", 1);
    const std::string tab = *mCrontab.Tab("tester");

    CommandRun run = Qorsched({"fire", "1"});

    EXPECT_EQ(run.status, kQorSchedExitOK) << run.err;
    EXPECT_EQ(run.err, "");
    // Every parameter is one argument as it stands, shell characters and blanks included.
    EXPECT_EQ(ReadFile(mRoot + "/fired.args"), mLauncher +
                                                   "\n-n\n7\n/opt/ombrix/bin/ombrix\nOMBX\nscan\n"
                                                   "OMBX\npath\n/home/ann/My Documents\nTEXT\n"
                                                   "$(id) `id` * ;\n");
    EXPECT_EQ(ReadFile(mRoot + "/fired.cwd"), mHome + "\n");
    EXPECT_EQ(ReadFile(mRoot + "/fired.env"), "HOME=" + mHome + "\nLOGNAME=" + mUser +
                                                  "\nSHELL=/bin/sh\nPATH=/usr/bin:/bin\n"
                                                  "SECRET=unset\n");
    EXPECT_NE(run.out.find("Firing task 1, \"Nightly scan\", as cron would:\n  '" + mLauncher +
                           "' -n 7 /opt/ombrix/bin/ombrix OMBX scan OMBX path "
                           "'/home/ann/My Documents' TEXT '$(id) `id` * ;'\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(mCrontab.Commands().size(), mCommandsBefore + 1) << "only the listing";
    EXPECT_EQ(*mCrontab.Tab("tester"), tab);
}

struct FireCase {
    const char* name;
    int16_t enabled;
    const char* launcherExit; // null: no launcher installed
    int status;
    const char* inOut;
    const char* inErr;
};

class QorSchedFireOutcome : public QorSchedFire, public testing::WithParamInterface<FireCase> {};

TEST_P(QorSchedFireOutcome, ReportsWhatTheLauncherDid) {
    const FireCase& c = GetParam();
    AddTask(nullptr, c.enabled);
    if (c.launcherExit)
        std::ofstream(mRoot + "/exit-status") << c.launcherExit;
    else
        std::filesystem::remove(mLauncher);

    CommandRun run = Qorsched({"fire", "1"});

    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_NE(run.out.find(c.inOut), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
    if (c.launcherExit) { // no option argument for a task without options
        EXPECT_EQ(ReadFile(mRoot + "/fired.args").substr(mLauncher.size()), "\n7\n/opt/ombrix/bin/"
                                                                            "ombrix\nOMBX\nscan\n"
                                                                            "OMBX\npath\n/home/ann"
                                                                            "/My Documents\nTEXT\n"
                                                                            "$(id) `id` * ;\n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QorSchedFireOutcome,
    testing::Values(
        FireCase{"Delivered", 1, "0", kQorSchedExitOK, "ended with exit status 0.", ""},
        FireCase{"DisabledTaskRunsWhenAsked", 0, "0", kQorSchedExitOK,
                 "(disabled: cron does not fire it, but it runs now)", ""},
        FireCase{"NotReachable", 1, "168", kQorSchedExitFire, "Firing task 1",
                 "the launcher command ended with exit status 168"},
        FireCase{"LeftForTheNextLogin", 1, "235", kQorSchedExitFire, "Firing task 1",
                 "exit status 235 (1003: you are not at the console, so the launch was left for "
                 "your next graphical login)"},
        FireCase{"LauncherNotInstalled", 1, nullptr, kQorSchedExitFire, "Firing task 1",
                 ": No such file or directory"}),
    [](const testing::TestParamInfo<FireCase>& info) { return info.param.name; });

} // namespace
