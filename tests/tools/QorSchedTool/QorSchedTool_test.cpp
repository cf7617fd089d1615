#include "Clock.h"
#include "CommandRun.h"
#include "CrontabFake.h"
#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "InstallRoot.h"
#include "QorSchedCommands.h"
#include "ScopedEnv.h"
#include "TaskDescription.h"
#include "TempRoot.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <time.h>
#include <vector>

namespace {

using qor_test::CommandRun;

CommandRun Qorsched(std::vector<std::string> args) {
    return qor_test::RunCommandMain(RunQorSched, "qorsched", std::move(args));
}

// Wednesday 15 May 2024, 10:00 UTC, in a temporary root with an in-memory crontab.
class QorSchedTool : public testing::Test {
protected:
    QorSchedTool() : mUseClock(&mClock), mUseCrontab(&mCrontab) {}

    static void Add(ZQorScheduledTaskArray* block, const char* name, int16_t kind,
                    int16_t schedType, ZQorScheduledTask::TaskTime time, int16_t enabled) {
        ZQorScheduledTask* task = NewScheduledTask(nullptr);
        SetTaskEnabled(task, enabled);
        SetTaskEventType(task, kind);
        (void)SetTaskName(task, name, int16_t(strlen(name)), 1);
        (void)SetEvent(task, QorCode("scan"), QorCode("OMBX"), "\"path\" \"/home\"");
        (void)SetEventLauncher(task, QorCode("OMBX"), "/opt/ombrix/bin/ombrix");
        SetTaskScheduleTime(task, &time.month, &time.day, &time.hour, &time.minute);
        SetTaskScheduleType(task, schedType);
        ASSERT_EQ(AddScheduledTask(block, task, 7), 0);
    }

    // Three tasks after the user's own line.
    void InstallTasks() {
        mCrontab.SetTab("tester", "0 1 * * * backup\n");
        ZQorScheduledTaskArray* block = OpenCrontabTasks(nullptr);
        ASSERT_NE(block, nullptr);
        Add(block, "Nightly scan", ZQorScheduledTask::kVirusScan, ZQorScheduledTask::kDaily,
            {-1, -1, 2, 30}, 1);
        Add(block, "Updates\x1b[31m", ZQorScheduledTask::kProductUpdate, ZQorScheduledTask::kWeekly,
            {-1, 1, 9, 0}, 0);
        Add(block, "Caf\xc3\xa9", ZQorScheduledTask::kDefragmentation, ZQorScheduledTask::kMonthly,
            {-1, 15, 12, 5}, 1);
        ASSERT_EQ(CloseCrontabTasks(block), 0);
        mCommandsBefore = mCrontab.Commands().size();
    }

    std::vector<std::string> NewCommands() const {
        const auto& all = mCrontab.Commands();
        return {all.begin() + long(mCommandsBefore), all.end()};
    }

    qor_test::TempRoot mRoot;
    qor_test::ScopedTimeZone mZone{"UTC"};
    QorFakeClock mClock{1715767200};
    QorScopedClock mUseClock;
    QorFakeCrontab mCrontab{std::string("tester")};
    QorScopedCrontab mUseCrontab;
    size_t mCommandsBefore = 0;
};

TEST_F(QorSchedTool, ListShowsEveryTaskForAPersonAndChangesNothing) {
    InstallTasks();
    CommandRun run = Qorsched({"list"});
    EXPECT_EQ(run.status, kQorSchedExitOK);
    EXPECT_EQ(run.err, "");
    std::string launcher = "\"" + QorPath(gLauncherPath) + "\"";
    std::string descriptor = "  7  \"/opt/ombrix/bin/ombrix\"  \"OMBX\"  \"scan\"  \"OMBX\"  "
                             "\"path\" \"/home\"";
    EXPECT_EQ(
        run.out,
        "3 scheduled tasks in the crontab of tester:\n"
        "\n"
        " #  State     Name             Kind             Schedule                    "
        "Next launch           Previous launch\n"
        " 1  enabled   Nightly scan     Virus scan       Every day at 02:30          "
        "Thu 2024-05-16 02:30  Wed 2024-05-15 02:30\n"
        "    cron line: 30 2 * * * " +
            launcher + descriptor +
            "\n"
            " 2  disabled  Updates\\033[31m  Product update   Every Monday at 09:00       "
            "-                     -\n"
            "    cron line: #0 9 * * 1 " +
            launcher + descriptor +
            "\n"
            " 3  enabled   Caf\xc3\xa9             Defragmentation  Monthly on day 15 at 12:05  "
            "Wed 2024-05-15 12:05  Mon 2024-04-15 12:05\n"
            "    cron line: 5 12 15 * * " +
            launcher + descriptor + "\n");
    EXPECT_EQ(NewCommands(), (std::vector<std::string>{"crontab -l"}));
}

TEST_F(QorSchedTool, AnEmptyCrontabIsSaidSo) {
    CommandRun run = Qorsched({"list"});
    EXPECT_EQ(run.status, kQorSchedExitOK);
    EXPECT_EQ(run.out, "No scheduled tasks in the crontab of tester.\n");
}

TEST_F(QorSchedTool, EnableDisableAndDeleteChangeOnlyThatTask) {
    InstallTasks();
    CommandRun run = Qorsched({"enable", "2"});
    EXPECT_EQ(run.status, kQorSchedExitOK) << run.err;
    EXPECT_EQ(run.out, "Enabled task 2, \"Updates\\033[31m\".\n");
    std::string tab = *mCrontab.Tab("tester");
    EXPECT_NE(tab.find("\n 0 9 * * 1 "), std::string::npos);
    EXPECT_EQ(tab.substr(0, 17), "0 1 * * * backup\n");

    run = Qorsched({"disable", "1"});
    EXPECT_EQ(run.out, "Disabled task 1, \"Nightly scan\".\n");
    EXPECT_NE(mCrontab.Tab("tester")->find("\n#30 2 * * * "), std::string::npos);

    run = Qorsched({"delete", "3"});
    EXPECT_EQ(run.status, kQorSchedExitOK);
    EXPECT_EQ(run.out, "Deleted task 3, \"Caf\xc3\xa9\".\n");
    ZQorScheduledTaskArray* block = OpenCrontabTasks(nullptr);
    ASSERT_EQ(block->GetNumItems(), 2u);
    EXPECT_EQ(block->NthValue(0)->mEnabled, 0);
    EXPECT_EQ(block->NthValue(1)->mEnabled, 1);
    delete block;

    // Asking for what already is changes nothing and runs no install.
    size_t commands = mCrontab.Commands().size();
    run = Qorsched({"disable", "1"});
    EXPECT_EQ(run.status, kQorSchedExitOK);
    EXPECT_EQ(run.out, "Task 1, \"Nightly scan\", is already disabled.\n");
    EXPECT_EQ(mCrontab.Commands().size(), commands + 1); // the listing only
}

TEST_F(QorSchedTool, WrongUsageIsExplained) {
    InstallTasks();
    struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"frob"},
         kQorSchedExitUsage,
         "qorsched: unknown command \"frob\"\nTry \"qorsched --help\".\n"},
        {{"list", "extra"}, kQorSchedExitUsage, "qorsched: list takes no argument\n"},
        {{"enable"},
         kQorSchedExitUsage,
         "qorsched: enable needs exactly one N: qorsched enable N\n"},
        {{"delete", "1", "2"},
         kQorSchedExitUsage,
         "qorsched: delete needs exactly one N: qorsched delete N\n"},
        {{"disable", "x"},
         kQorSchedExitUsage,
         "qorsched: \"x\" is not a task position; positions are the numbers 1, 2, ... that "
         "qorsched list shows\n"},
        {{"disable", "0"}, kQorSchedExitUsage, nullptr},
        {{"disable", "-1"}, kQorSchedExitUsage, nullptr},
        {{"disable", "1x"}, kQorSchedExitUsage, nullptr},
        {{"disable", "99999999999"}, kQorSchedExitUsage, nullptr},
        {{"delete", "4"},
         kQorSchedExitNoTask,
         "qorsched: there is no task at position 4; your crontab has 3 tasks\n"},
    };
    for (const auto& c : cases) {
        CommandRun run = Qorsched(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[0];
        if (c.err) {
            EXPECT_EQ(run.err, c.err);
        }
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(NewCommands(), (std::vector<std::string>{"crontab -l"})); // for position 4 only

    CommandRun none = Qorsched({});
    EXPECT_EQ(none.status, kQorSchedExitUsage);
    EXPECT_EQ(none.err.substr(0, 27), "Usage: qorsched COMMAND [N]");
    for (const char* help : {"--help", "-h", "help"}) {
        CommandRun run = Qorsched({help});
        EXPECT_EQ(run.status, kQorSchedExitOK);
        EXPECT_EQ(run.out, none.err);
    }
}

TEST_F(QorSchedTool, CrontabFailuresEndWithStatusOne) {
    InstallTasks();
    const std::string before = *mCrontab.Tab("tester");
    mCrontab.FailList(QorCrontabStatus::kFailed,
                      "You (tester) are not allowed to use this program (crontab)\nSee crontab(1)");
    CommandRun run = Qorsched({"list"});
    EXPECT_EQ(run.status, kQorSchedExitCrontab);
    EXPECT_EQ(run.err, "qorsched: cannot read your crontab: You (tester) are not allowed to use "
                       "this program (crontab); See crontab(1)\n");

    mCrontab.Heal();
    mCrontab.FailInstall("errors in crontab file, can't install.");
    run = Qorsched({"delete", "1"});
    EXPECT_EQ(run.status, kQorSchedExitCrontab);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "qorsched: cannot save your crontab: errors in crontab file, can't install.\n"
              "qorsched: your crontab was not changed\n");
    EXPECT_EQ(*mCrontab.Tab("tester"), before);
}

TEST(TaskDescription, SchedulesInWords) {
    struct {
        int16_t type;
        ZQorScheduledTask::TaskTime time;
        const char* words;
    } cases[] = {
        {1, {-1, 15, 12, 5}, "Monthly on day 15 at 12:05"},
        {2, {-1, 0, 7, 0}, "Every Sunday at 07:00"},
        {2, {-1, 9, 7, 0}, "Weekly on day 9 at 07:00"},
        {3, {-1, -1, 23, 59}, "Every day at 23:59"},
        {3, {-1, -1, -1, 30}, "Every day at *:30"},
        {4, {12, 24, 18, 0}, "Yearly on 24 December at 18:00"},
        {4, {13, 1, 0, 0}, "Yearly on day 1 of month 13 at 00:00"},
        {7, {1, 1, 6, 0}, "Schedule type 7 at 06:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QorScheduleText(c.type, c.time), c.words);
}

TEST(TaskDescription, TextForTheTerminalIsDefused) {
    EXPECT_EQ(QorDisplayText("plain"), "plain");
    EXPECT_EQ(QorDisplayText("Caf\xc3\xa9 \xe2\x82\xac"), "Caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(QorDisplayText("bell\x07 esc\x1b del\x7f"), "bell\\007 esc\\033 del\\177");
    EXPECT_EQ(QorDisplayText("c1 \xc2\x9b"), "c1 \\302\\233");
    EXPECT_EQ(QorDisplayText("bad \xff \xc3 \xe0\x80\x80"), "bad \\377 \\303 \\340\\200\\200");
    EXPECT_EQ(QorDisplayWidth("Caf\xc3\xa9"), 4u);
}

} // namespace
