#include "CrontabTasks.h"
#include "QorScheduleErr.h"
#include "ScheduleTestSupport.h"
#include "TaskBlockText.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<ZQorScheduledTaskArray> Read(const std::string& listing) {
    InputStream in(listing);
    return std::make_unique<ZQorScheduledTaskArray>(in.Get(), 4, 0);
}

std::vector<std::string> Names(ZQorScheduledTaskArray& block) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < block.GetNumItems(); ++i)
        names.push_back(block.NthValue(i)->mName);
    return names;
}

struct BlockCase {
    const char* label;
    std::string listing;
    std::vector<std::string> names;
    int32_t readStatus;
};

class BlockReader : public testing::TestWithParam<BlockCase> {};

TEST_P(BlockReader, ReadsEveryGoodEntry) {
    auto block = Read(GetParam().listing);
    EXPECT_EQ(Names(*block), GetParam().names);
    EXPECT_EQ(block->GetReadStatus(), GetParam().readStatus);
    // Reading adds the tasks, which marks the block changed; an empty block starts clean.
    EXPECT_EQ(block->GetDirtyFlag(), !GetParam().names.empty());
}

const std::string kUserLines = "MAILTO=me\n0 1 * * * backup\n";

INSTANTIATE_TEST_SUITE_P(
    Listings, BlockReader,
    testing::Values(
        BlockCase{"NoBlock", kUserLines, {}, 0},
        BlockCase{"EmptyBlock", kUserLines + kBanner + kTrailer + kUserLines, {}, 0},
        BlockCase{"TwoEntries",
                  kUserLines + kBanner + Entry("First", 1) + Entry("Second", 2) + kTrailer +
                      kUserLines,
                  {"First", "Second"},
                  0},
        BlockCase{"BadDescriptiveLineBetweenGoodOnes",
                  kBanner + Entry("First", 1) + "# Enc=1 Name=Broken EvType1=3\n 0 12 * * *\n" +
                      Entry("Second", 2) + kTrailer,
                  {"First", "Second"},
                  kQorSchedErrBadUIDescriptor},
        BlockCase{"BadCronLineBetweenGoodOnes",
                  kBanner + Entry("First", 1) +
                      "# Enc=1 Name=Cut EvType1=3 EvType2=0 Sched=3 \n 0 12 * *\n" +
                      Entry("Second", 2) + kTrailer,
                  {"First", "Second"},
                  kQorSchedErrBadCronLine},
        BlockCase{"BadLineBeforeADisabledCronLine",
                  kBanner + "# Enc=1 Name=\n" + Entry("Off", 3, false).substr(45) +
                      Entry("Second", 2) + kTrailer,
                  {"Second"},
                  kQorSchedErrBadUIDescriptor},
        BlockCase{"SettingAfterTheBanner",
                  kBanner + "PATH=/bin\n\n" + Entry("First", 1) + kTrailer,
                  {"First"},
                  0},
        BlockCase{"NoClosingLine",
                  kBanner + Entry("First", 1) + Entry("Second", 2),
                  {"First", "Second"},
                  0},
        BlockCase{"OnlyTheFirstBlockCounts",
                  kBanner + Entry("First", 1) + kTrailer + kBanner + Entry("Other", 9) + kTrailer,
                  {"First"},
                  0}),
    [](const testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.label); });

TEST(BlockReader, ParsesTheVersionLine) {
    auto block = Read("#ZovE\tVERSION = 2.3.4\n#\n#\n" + kTrailer);
    EXPECT_EQ(block->GetFileVersion().major, 2);
    EXPECT_EQ(block->GetFileVersion().minor, 3);
    EXPECT_EQ(block->GetFileVersion().fix, 4);
}

TEST(BlockWriter, WritesBannerEntriesAndTrailerThatReadBack) {
    TempRoot root;
    auto block = Read(kBanner + Entry("First", 1) + Entry("Second", 2, false) + kTrailer);
    OutputStream out;
    EXPECT_EQ(block->WriteEntries(out.Get()), 0);
    std::string text = out.Text();
    EXPECT_EQ(text.substr(0, kBanner.size()), kBanner);
    EXPECT_EQ(text.substr(text.size() - kTrailer.size()), kTrailer);
    auto back = Read(text);
    EXPECT_EQ(Names(*back), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(back->NthValue(1)->mEnabled, 0);
}

TEST(BlockMembership, ATaskBelongsToOneBlockOnly) {
    ZQorScheduledTaskArray first(nullptr, 4, 0);
    ZQorScheduledTaskArray second(nullptr, 4, 0);
    auto* task = new ZQorScheduledTask();
    ASSERT_EQ(first.AddValue(task), 0);
    EXPECT_EQ(task->GetReferenceCount(), 2);
    second.SetDirtyFlag(false);
    EXPECT_EQ(second.AddValue(task), kQorSchedErrTaskInBlock);
    EXPECT_EQ(second.InsertValue(task, 0), kQorSchedErrTaskInBlock);
    EXPECT_EQ(first.AddValue(task), kQorSchedErrTaskInBlock);
    EXPECT_EQ(first.GetNumItems(), 1u);
    EXPECT_EQ(second.GetNumItems(), 0u);
    EXPECT_FALSE(second.GetDirtyFlag());
    EXPECT_EQ(task->GetTaskArray(), &first);
    EXPECT_EQ(task->GetReferenceCount(), 2);
    task->Release();
}

TEST(BlockChanges, SettersMarkTheBlockChangedUnlessTheyOnlyTouchLaunchDetails) {
    struct {
        const char* label;
        void (*change)(ZQorScheduledTask*);
        bool marks;
    } cases[] = {
        {"name", [](ZQorScheduledTask* t) { (void)t->SetTaskName("x", 1, 1); }, true},
        {"kind", [](ZQorScheduledTask* t) { t->SetTaskEventType(2); }, true},
        {"kind 2", [](ZQorScheduledTask* t) { t->SetTaskEventType2(2); }, true},
        {"type", [](ZQorScheduledTask* t) { t->SetTaskScheduleType(2); }, true},
        {"enabled", [](ZQorScheduledTask* t) { t->SetTaskEnabled(1); }, true},
        {"time",
         [](ZQorScheduledTask* t) {
             int16_t hour = 3;
             t->SetTaskScheduleTime(nullptr, nullptr, &hour, nullptr);
         },
         true},
        {"launcher", [](ZQorScheduledTask* t) { (void)t->SetEventLauncher(1, "/bin/x"); }, true},
        {"event data", [](ZQorScheduledTask* t) { (void)t->SetEvent(1, 2, "d"); }, true},
        {"no event data", [](ZQorScheduledTask* t) { (void)t->SetEvent(1, 2, nullptr); }, false},
        {"ID", [](ZQorScheduledTask* t) { t->SetTaskID(5); }, false},
        {"options", [](ZQorScheduledTask* t) { t->SetSchedArgs("u"); }, false},
    };
    for (const auto& c : cases) {
        ZQorScheduledTaskArray block(nullptr, 4, 0);
        auto* task = new ZQorScheduledTask();
        ASSERT_EQ(block.AddValue(task), 0);
        task->Release();
        block.SetDirtyFlag(false);
        c.change(task);
        EXPECT_EQ(block.GetDirtyFlag(), c.marks) << c.label;
    }
}

TEST(TaskIterator, RemovingWhileIteratingVisitsEveryTaskOnce) {
    auto block = Read(kBanner + Entry("A", 1) + Entry("B", 2) + Entry("C", 3) + kTrailer);
    QorTaskIterator* iterator = NewTaskIterator(block.get());
    std::vector<std::string> visited;
    while (ZQorScheduledTask* task = NextTaskFromIterator(iterator)) {
        visited.push_back(task->mName);
        RemoveScheduledTask(task);
    }
    DisposeTaskIterator(iterator);
    EXPECT_EQ(visited, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(block->GetNumItems(), 0u);
    EXPECT_EQ(NewTaskIterator(nullptr), nullptr);
    EXPECT_EQ(NextTaskFromIterator(nullptr), nullptr);
}

TEST(TaskHandles, InvalidHandlesAreRefused) {
    ZQorScheduledTaskArray block(nullptr, 4, 0);
    ZQorScheduledTask::GenericTimeRec out = {};
    EXPECT_EQ(AddScheduledTask(nullptr, nullptr, 1), kQorSchedErrBadTaskArray);
    EXPECT_EQ(AddScheduledTask(&block, nullptr, 1), kQorSchedErrBadTask);
    EXPECT_EQ(SaveCrontabTasks(nullptr), kQorSchedErrBadTaskArray);
    EXPECT_EQ(GetNextLaunchTime(nullptr, nullptr, &out), kQorSchedErrNullArgument);
    EXPECT_EQ(GetTaskEnabled(nullptr), kQorSchedErrNullArgument);
    EXPECT_EQ(GetTaskNamePtr(nullptr), nullptr);
    EXPECT_EQ(SetSchedArgs(nullptr, "u"), kQorSchedErrNullArgument);
    EXPECT_EQ(GetTaskID(nullptr), uint32_t(kQorSchedErrNullArgument));

    int32_t err = -1;
    ZQorScheduledTask* task = NewScheduledTask(&err);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(SetTaskName(task, nullptr, 1, 1), kQorSchedErrNullArgument);
    ASSERT_EQ(AddScheduledTask(&block, task, 42), 0);
    EXPECT_EQ(GetTaskID(task), 42u);
    EXPECT_EQ(task->GetReferenceCount(), 1); // the block's
    EXPECT_EQ(GetNextLaunchTime(task, nullptr, nullptr), kQorSchedErrNullArgument);
}

} // namespace
