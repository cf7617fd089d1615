#include "CrontabFake.h"
#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "QorScheduleErr.h"
#include "ScheduleTestSupport.h"
#include "TaskBlockText.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string kBefore = "# my jobs\nMAILTO=me\n0 1 * * * backup\n";
const std::string kAfter = "30 4 * * 1 report\n";

// The handle layer against an in-memory crontab, in a temporary root whose "/tmp" must be
// empty again after every operation.
class CrontabTasks : public testing::Test {
protected:
    CrontabTasks() : mUse(&mCrontab) {}
    void TearDown() override { EXPECT_TRUE(mRoot.TempFiles().empty()); }

    // Adds a daily task the way the scheduler application does.
    static int32_t AddTask(ZQorScheduledTaskArray* block, const char* name) {
        int32_t err = 0;
        ZQorScheduledTask* task = NewScheduledTask(&err);
        SetTaskEnabled(task, 1);
        SetTaskEventType(task, ZQorScheduledTask::kSnapshot);
        (void)SetTaskName(task, name, int16_t(strlen(name)), 1);
        (void)SetEvent(task, QorCode("evnt"), QorCode("clas"), "data");
        (void)SetEventLauncher(task, QorCode("abcd"), "/bin/x");
        int16_t every = -1, hour = 12, minute = 0;
        SetTaskScheduleTime(task, &every, &every, &hour, &minute);
        SetTaskScheduleType(task, ZQorScheduledTask::kDaily);
        return AddScheduledTask(block, task, 0);
    }

    ZQorScheduledTaskArray* Open() {
        int32_t err = -1;
        ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
        EXPECT_EQ(err, 0) << QorLastCrontabMessage();
        return block;
    }

    std::string Tab() const { return mCrontab.Tab("tester").value_or("<none>"); }

    TempRoot mRoot;
    QorFakeCrontab mCrontab{std::string("tester")};
    QorScopedCrontab mUse;
};

TEST_F(CrontabTasks, AUserWithoutACrontabGetsTheBlockAlone) {
    ZQorScheduledTaskArray* block = Open();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetNumItems(), 0u);
    EXPECT_FALSE(block->GetDirtyFlag());
    ASSERT_EQ(AddTask(block, "Nightly"), 0);
    EXPECT_EQ(CloseCrontabTasks(block), 0);

    std::string tab = Tab();
    EXPECT_EQ(tab.substr(0, kBanner.size()), kBanner);
    EXPECT_NE(tab.find("Name=Nightly "), std::string::npos);
    EXPECT_EQ(tab.substr(tab.size() - kTrailer.size()), kTrailer);
    ASSERT_EQ(mCrontab.Commands().size(), 3u); // open's listing, save's listing, install
    EXPECT_EQ(mCrontab.Commands()[2], "crontab " + mCrontab.InstalledPaths()[0]);
}

TEST_F(CrontabTasks, SavingKeepsTheUsersLinesAroundTheBlock) {
    mCrontab.SetTab("tester", kBefore + kBanner + Entry("Old", 1) + kTrailer + kAfter);
    ZQorScheduledTaskArray* block = Open();
    ASSERT_EQ(block->GetNumItems(), 1u);
    ASSERT_EQ(AddTask(block, "New"), 0);
    // Meanwhile the user edits a line outside the block; the save lists the crontab again.
    mCrontab.SetTab("tester", kBefore + kBanner + Entry("Old", 1) + kTrailer + kAfter + "# late\n");
    ASSERT_EQ(SaveCrontabTasks(block), 0);

    std::string tab = Tab();
    ASSERT_EQ(tab.substr(0, kBefore.size()), kBefore);
    EXPECT_EQ(tab.substr(tab.size() - kAfter.size() - 7), kAfter + "# late\n");
    EXPECT_NE(tab.find("Name=Old "), std::string::npos);
    EXPECT_NE(tab.find("Name=New "), std::string::npos);

    // An unchanged block is not written again: no command runs.
    size_t commands = mCrontab.Commands().size();
    EXPECT_EQ(SaveCrontabTasks(block), 0);
    EXPECT_EQ(CloseCrontabTasks(block), 0);
    EXPECT_EQ(mCrontab.Commands().size(), commands);
}

TEST_F(CrontabTasks, AListingThatFailsIsReportedAndNeverReplacesTheCrontab) {
    mCrontab.SetTab("tester", kBefore + kBanner + Entry("Old", 1) + kTrailer);
    const std::string original = Tab();
    const QorCrontabStatus failures[] = {QorCrontabStatus::kFailed, QorCrontabStatus::kTooLarge};
    for (QorCrontabStatus failure : failures) {
        mCrontab.FailList(failure, "You (tester) are not allowed to use this program (crontab)");
        int32_t err = 0;
        EXPECT_EQ(OpenCrontabTasks(&err), nullptr);
        EXPECT_EQ(err, kQorSchedErrCrontabList);
        EXPECT_EQ(QorLastCrontabMessage(),
                  "You (tester) are not allowed to use this program (crontab)");

        mCrontab.Heal();
        ZQorScheduledTaskArray* block = Open();
        ASSERT_EQ(AddTask(block, "New"), 0);
        mCrontab.FailList(failure, "crontab was killed by signal 9");
        EXPECT_EQ(SaveCrontabTasks(block), kQorSchedErrCrontabList);
        EXPECT_TRUE(mCrontab.InstalledPaths().empty());
        EXPECT_TRUE(block->GetDirtyFlag());
        EXPECT_EQ(Tab(), original);
        // Closing tries once more and fails the same way; nothing is installed.
        EXPECT_EQ(CloseCrontabTasks(block), kQorSchedErrCrontabList);
        EXPECT_EQ(Tab(), original);
        mCrontab.Heal();
    }
}

TEST_F(CrontabTasks, AListingTooLargeToHandleIsRefusedNotCut) {
    mCrontab.SetTab("tester", std::string(kQorMaxListingBytes, '#') + "\n");
    // The in-memory crontab refuses by size alone; the real command is cut off while
    // running (see the Platform tests).
    int32_t err = 0;
    EXPECT_EQ(OpenCrontabTasks(&err), nullptr);
    EXPECT_EQ(err, kQorSchedErrCrontabList);
}

TEST_F(CrontabTasks, AFailedInstallIsReportedAndRetriedByTheNextSave) {
    mCrontab.SetTab("tester", kBefore);
    ZQorScheduledTaskArray* block = Open();
    ASSERT_EQ(AddTask(block, "New"), 0);
    mCrontab.FailInstall("errors in crontab file, can't install.");
    EXPECT_EQ(SaveCrontabTasks(block), kQorSchedErrCrontabSave);
    EXPECT_EQ(QorLastCrontabMessage(), "errors in crontab file, can't install.");
    EXPECT_TRUE(block->GetDirtyFlag());
    EXPECT_EQ(Tab(), kBefore);

    mCrontab.Heal();
    EXPECT_EQ(SaveCrontabTasks(block), 0);
    EXPECT_FALSE(block->GetDirtyFlag());
    EXPECT_EQ(Tab().substr(0, kBefore.size() + kBanner.size()), kBefore + kBanner);
    EXPECT_EQ(CloseCrontabTasks(block), 0);
}

TEST_F(CrontabTasks, ATaskThatCannotBeWrittenFailsTheSave) {
    mCrontab.SetTab("tester", kBefore);
    ZQorScheduledTaskArray* block = Open();
    ASSERT_EQ(AddTask(block, "Broken"), 0);
    ZQorScheduledTask* task = block->NthValue(0);
    ASSERT_EQ(SetEvent(task, 1, 2, "line\nbreak"), 0);
    EXPECT_EQ(SaveCrontabTasks(block), kQorSchedErrCrontabSave);
    EXPECT_TRUE(mCrontab.InstalledPaths().empty());
    EXPECT_EQ(Tab(), kBefore);
    RemoveScheduledTask(task);
    EXPECT_EQ(CloseCrontabTasks(block), 0);
}

TEST_F(CrontabTasks, WithoutAnAccountNothingRuns) {
    QorFakeCrontab nobody(std::nullopt);
    QorScopedCrontab use(&nobody);
    int32_t err = 0;
    EXPECT_EQ(OpenCrontabTasks(&err), nullptr);
    EXPECT_EQ(err, kQorSchedErrNoAccount);
    ZQorScheduledTaskArray block(nullptr, 4, 0);
    block.SetDirtyFlag(true);
    EXPECT_EQ(SaveCrontabTasks(&block), kQorSchedErrNoAccount);
    EXPECT_TRUE(nobody.Commands().empty());
}

TEST_F(CrontabTasks, AnotherUsersBlockIsListedByName) {
    mCrontab.SetTab("bob", kBefore + kBanner + Entry("Bobs", 4) + kTrailer);
    int32_t err = -1;
    ZQorScheduledTaskArray* block = OpenCrontabTasksForUser("bob", &err);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(err, 0);
    ASSERT_EQ(block->GetNumItems(), 1u);
    EXPECT_STREQ(block->NthValue(0)->mName, "Bobs");
    EXPECT_EQ(mCrontab.Commands(), (std::vector<std::string>{"crontab -l -u bob"}));
    EXPECT_EQ(CloseCrontabTasks(block), 0); // read only: never saved into tester's crontab
    EXPECT_EQ(Tab(), "<none>");

    block = OpenCrontabTasksForUser("nobody-here", &err);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(err, 0); // no crontab: an empty block
    EXPECT_EQ(block->GetNumItems(), 0u);
    delete block;
}

} // namespace
