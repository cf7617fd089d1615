#include "FourCharCode.h"
#include "InstallRoot.h"
#include "QorScheduleErr.h"
#include "QorScheduleThrows.h"
#include "ScheduleTestSupport.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct Releaser {
    void operator()(ZSharedObject* object) const { object->Release(); }
};
using TaskPtr = std::unique_ptr<ZQorScheduledTask, Releaser>;

constexpr char kDescriptorText[] =
    " 12  \"/usr/bin/sample\"  \"abcd\"  \"evnt\"  \"clas\"  \"exAG\" \"-x 1\"\n";

TaskPtr MakeTask(const char* name, int16_t schedType, ZQorScheduledTask::TaskTime time,
                 int16_t enabled, const char* options) {
    TaskPtr task(new ZQorScheduledTask());
    EXPECT_EQ(task->SetTaskName(name, int16_t(strlen(name)), 1), 0);
    task->SetTaskEventType(3);
    task->SetTaskScheduleType(schedType);
    task->SetTaskScheduleTime(&time.month, &time.day, &time.hour, &time.minute);
    task->SetTaskEnabled(enabled);
    task->SetSchedArgs(options);
    task->SetTaskID(12);
    EXPECT_EQ(task->SetEventLauncher(QorCode("abcd"), "/usr/bin/sample"), 0);
    EXPECT_EQ(task->SetEvent(QorCode("evnt"), QorCode("clas"), "\"exAG\" \"-x 1\""), 0);
    return task;
}

std::string Written(ZQorScheduledTask* task) {
    OutputStream out;
    task->SaveToStream(out.Get());
    return out.Text();
}

TaskPtr ReadBack(const std::string& text) {
    InputStream in(text);
    return TaskPtr(new ZQorScheduledTask(in.Get()));
}

std::string Launcher() {
    return "\"" + QorPath(gLauncherPath) + "\" ";
}

struct FormatCase {
    const char* label;
    int16_t schedType;
    ZQorScheduledTask::TaskTime time;
    int16_t enabled;
    const char* options;
    const char* timeTokens; // enable mark and the five time fields
    const char* optionWord;
};

class EntryFormat : public testing::TestWithParam<FormatCase> {
protected:
    TempRoot mRoot; // the launcher path is written under the install root
};

TEST_P(EntryFormat, WritesBothLinesByteForByteAndReadsThemBack) {
    const FormatCase& c = GetParam();
    TaskPtr task = MakeTask("Daily Snapshot", c.schedType, c.time, c.enabled, c.options);

    std::string expected =
        std::string("# Enc=1 Name=\"Daily Snapshot\"  EvType1=3 EvType2=0 Sched=") +
        std::to_string(c.schedType) + " \n" + c.timeTokens + Launcher() + c.optionWord +
        kDescriptorText;
    std::string text = Written(task.get());
    EXPECT_EQ(text, expected);

    TaskPtr back = ReadBack(text);
    EXPECT_STREQ(back->mName, "Daily Snapshot");
    EXPECT_EQ(back->mEncoding, 1);
    EXPECT_EQ(back->mEventType, 3);
    EXPECT_EQ(back->mSchedType, c.schedType);
    EXPECT_EQ(back->mEnabled, c.enabled ? 1 : 0);
    EXPECT_EQ(back->mTime.month, c.time.month);
    EXPECT_EQ(back->mTime.day, c.time.day);
    EXPECT_EQ(back->mTime.hour, c.time.hour);
    EXPECT_EQ(back->mTime.minute, c.time.minute);
    EXPECT_STREQ(back->mSchedArgs, task->mSchedArgs);
    EXPECT_EQ(back->GetTaskID(), 12u);
    EXPECT_STREQ(back->mTaskDesc->mExecPath, "/usr/bin/sample");
    EXPECT_EQ(back->mTaskDesc->mCreator, QorCode("abcd"));
    EXPECT_EQ(back->mTaskDesc->mEvent, QorCode("evnt"));
    EXPECT_EQ(back->mTaskDesc->mClass, QorCode("clas"));
    EXPECT_STREQ(back->mTaskDesc->mEventData, "\"exAG\" \"-x 1\"");
}

INSTANTIATE_TEST_SUITE_P(
    ScheduleTypes, EntryFormat,
    testing::Values(
        FormatCase{"Monthly", 1, {-1, 15, 12, 5}, 1, nullptr, " 5 12 15 * * ", ""},
        FormatCase{"WeeklyWithOption", 2, {-1, 3, 2, 30}, 1, "u", " 30 2 * * 3 ", "-u "},
        FormatCase{"WeeklyDisabled", 2, {-1, 3, 2, 30}, 0, "u", "#30 2 * * 3 ", "-u "},
        FormatCase{"Daily", 3, {-1, -1, 12, 0}, 1, nullptr, " 0 12 * * * ", ""},
        FormatCase{"DailyDisabled", 3, {-1, -1, 12, 0}, 0, nullptr, "#0 12 * * * ", ""},
        FormatCase{"OneTimeTwoOptions", 4, {12, 24, 18, 0}, 1, "-nu", " 0 18 24 12 * ", "-nu "}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.label); });

struct NameCase {
    const char* label;
    std::string name;
    std::string written; // the name field as it appears between "Name=" and " EvType1"
};

class NameField : public testing::TestWithParam<NameCase> {};

TEST_P(NameField, IsWrittenReadablyAndReadsBackExactly) {
    const NameCase& c = GetParam();
    TempRoot root;
    TaskPtr task = MakeTask(c.name.c_str(), 3, {-1, -1, 12, 0}, 1, nullptr);
    std::string text = Written(task.get());
    EXPECT_EQ(text.substr(0, text.find('\n') + 1),
              "# Enc=1 Name=" + c.written + "  EvType1=3 EvType2=0 Sched=3 \n");
    EXPECT_EQ(std::string(ReadBack(text)->mName), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameField,
    testing::Values(NameCase{"Bare", "Backup", "Backup"},
                    NameCase{"Blanks", "Daily Snapshot", "\"Daily Snapshot\""},
                    NameCase{"Tab", "Tab\there", "Tab\\011here"},
                    NameCase{"LineFeed", "two\nlines", "two\\012lines"},
                    NameCase{"Latin1Byte", "Caf\xe9", "Caf\\351"},
                    NameCase{"Utf8", "Caf\xc3\xa9 au lait", "\"Caf\\303\\251 au lait\""},
                    NameCase{"Backslash", "C:\\backup", "C:\\134backup"},
                    NameCase{"BackslashAndDigits", "a\\101", "a\\134101"},
                    NameCase{"QuoteInsideQuotedName", "say \"hi\" now", "\"say \\042hi\\042 now\""},
                    NameCase{"LeadingDoubleQuote", "\"quoted", "\\042quoted"},
                    NameCase{"LeadingSingleQuote", "'single", "\\047single"},
                    NameCase{"LeadingQuoteWithBlank", "\"my task\"", "\"\\042my task\\042\""},
                    NameCase{"ApostropheInside", "it's mine", "\"it's mine\""},
                    NameCase{"QuoteInsideBareName", "a\"b", "a\"b"},
                    NameCase{"HighAndControlBytes", "\xff\x01", "\\377\\001"}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(EntryReader, NameFieldsQuotedWithSingleQuotesAndLongerThanTheFieldAreHandled) {
    TempRoot root;
    const std::string cron =
        " 0 12 * * * \"/x/taskKicker\"  12  \"/usr/bin/sample\"  \"abcd\"  \"evnt\"  \"clas\"\n";
    TaskPtr quoted = ReadBack("# Enc=1 Name='my task'  EvType1=3 EvType2=0 Sched=3 \n" + cron);
    EXPECT_STREQ(quoted->mName, "my task");

    InputStream tooLong("# Enc=1 Name=" + std::string(300, 'x') +
                        " EvType1=3 EvType2=0 Sched=3 \n" + cron);
    EXPECT_THROW(ZQorScheduledTask task(tooLong.Get()), QorSchedErrBadEntry);
}

TEST(EntryReader, AcceptsAnyLauncherPathAndReadsOptionLetters) {
    const char* ui = "# Enc=1 Name=Backup EvType1=3 EvType2=0 Sched=2 \n";
    TaskPtr other =
        ReadBack(std::string(ui) + "#30 2 * * 3 /usr/local/bin/other  7  \"/bin/x\"  \"abcd\"  "
                                   "\"evnt\"  \"clas\"  data\n");
    EXPECT_EQ(other->mEnabled, 0);
    EXPECT_EQ(other->mTime.day, 3);
    EXPECT_STREQ(other->mSchedArgs, "");
    EXPECT_EQ(other->GetTaskID(), 7u);
    EXPECT_STREQ(other->mTaskDesc->mEventData, "data");

    TaskPtr options =
        ReadBack(std::string(ui) + " 30 2 * * 3 '/opt/x/taskKicker' -nu  7  \"/bin/x\"  \"abcd\"  "
                                   "\"evnt\"  \"clas\"  data\n");
    EXPECT_STREQ(options->mSchedArgs, "nu");
    EXPECT_EQ(options->GetTaskID(), 7u);
}

struct BadEntryCase {
    const char* label;
    std::string entry;
    int32_t err;
};

class BadEntry : public testing::TestWithParam<BadEntryCase> {};

const std::string kGoodUI = "# Enc=1 Name=Backup EvType1=3 EvType2=0 Sched=3 \n";
const std::string kLauncherField = " 0 12 * * * \"/x/taskKicker\" ";

TEST_P(BadEntry, IsRejectedWithTheStreamBackAtTheEntryStart) {
    const BadEntryCase& c = GetParam();
    const std::string before = "MAILTO=me\n";
    InputStream in(before + c.entry + "#NEXT\n");
    ASSERT_EQ(fseek(in.Get(), long(before.size()), SEEK_SET), 0);
    try {
        ZQorScheduledTask task(in.Get());
        FAIL() << "entry accepted";
    } catch (const QorSchedErrBadEntry& bad) {
        EXPECT_EQ(bad.err, c.err);
        EXPECT_EQ(in.Position(), long(before.size()));
        ASSERT_EQ(fsetpos(in.Get(), &bad.pos), 0);
        EXPECT_EQ(in.Position(), long(before.size())); // pos names the entry's start
    }
    EXPECT_EQ(in.Rest(), c.entry + "#NEXT\n");
}

INSTANTIATE_TEST_SUITE_P(
    ReaderFailures, BadEntry,
    testing::Values(
        BadEntryCase{"NotAnEntry", "not an entry\n", kQorSchedErrBadUIDescriptor},
        BadEntryCase{"EmptyName", "# Enc=1 Name=  EvType1=3 EvType2=0 Sched=3 \n",
                     kQorSchedErrBadUIDescriptor},
        BadEntryCase{"MissingKind", "# Enc=1 Name=Backup EvType1=3 Sched=3 \n",
                     kQorSchedErrBadUIDescriptor},
        BadEntryCase{"NoCronLine", kGoodUI, kQorSchedErrBadCronLine},
        BadEntryCase{"TimeFieldsCut", kGoodUI + " 0 12 * *\n", kQorSchedErrBadCronLine},
        BadEntryCase{"NoDescriptor", kGoodUI + kLauncherField + "\n", kQorSchedErrBadCronLine},
        BadEntryCase{"LauncherQuoteOpen", kGoodUI + " 0 12 * * * \"/x/taskKicker  12\n",
                     kQorSchedErrBadCronLine},
        BadEntryCase{"DescriptorCut", kGoodUI + kLauncherField + " 12  \"/usr/bin/sample\"\n",
                     kQorSchedErrBadCronLine}),
    [](const testing::TestParamInfo<BadEntryCase>& info) { return std::string(info.param.label); });

TEST(EntryWriter, RefusesDescriptorTextThatWouldBreakTheLine) {
    TempRoot root;
    TaskPtr task = MakeTask("Scan", 3, {-1, -1, 12, 0}, 1, nullptr);
    ASSERT_EQ(task->SetEvent(QorCode("evnt"), QorCode("clas"), "/home/me/x\n* * * * * rm -rf ~"),
              0);
    EXPECT_THROW(Written(task.get()), QorSchedErrBadFile);
    ASSERT_EQ(task->SetEventLauncher(QorCode("abcd"), "/bin/a\rb"), 0);
    ASSERT_EQ(task->SetEvent(QorCode("evnt"), QorCode("clas"), "ok"), 0);
    EXPECT_THROW(Written(task.get()), QorSchedErrBadFile);
}

TEST(TaskFields, TextsAreCutToTheirFieldsAndBuffers) {
    TaskPtr task(new ZQorScheduledTask());
    std::string long130(130, 'n');
    EXPECT_EQ(task->SetTaskName(long130.c_str(), 130, 1), kQorSchedErrTruncated);
    EXPECT_EQ(task->GetTaskNameLength(), 126);
    std::string exact126(126, 'e');
    EXPECT_EQ(task->SetTaskName(exact126.c_str(), 126, 1), 0);
    EXPECT_EQ(task->GetTaskNameLength(), 126);
    EXPECT_EQ(task->SetTaskName(nullptr, 3, 1), kQorSchedErrNullArgument);

    ASSERT_EQ(task->SetTaskName("abcdefghijklmnopqrst", 20, 7), 0);
    char small[10];
    int16_t length = -1;
    int16_t encoding = 0;
    EXPECT_EQ(task->GetTaskName(small, sizeof small, &length, &encoding), kQorSchedErrTruncated);
    EXPECT_STREQ(small, "abcdefghi");
    EXPECT_EQ(length, 9);
    EXPECT_EQ(encoding, 7);
    EXPECT_EQ(task->GetTaskName(nullptr, 10, &length, nullptr), kQorSchedErrMissingOutput);

    std::string path(300, 'p');
    EXPECT_EQ(task->SetEventLauncher(QorCode("abcd"), path.c_str()), kQorSchedErrTruncated);
    EXPECT_EQ(strlen(task->mTaskDesc->mExecPath), 255u);
    EXPECT_EQ(task->SetEventLauncher(QorCode("abcd"), nullptr), kQorSchedErrNullArgument);

    std::string data(300, 'd');
    EXPECT_EQ(task->SetEvent(1, 2, data.c_str()), kQorSchedErrTruncated);
    EXPECT_EQ(task->GetEventDataLength(), 255);
    EXPECT_EQ(task->SetEvent(3, 4, nullptr), 0);
    EXPECT_EQ(task->GetEventDataLength(), 0);
    EXPECT_EQ(task->mTaskDesc->mEvent, 3u);
}

TEST(TaskFields, LauncherOptionsKeepUpToTwoKnownLetters) {
    struct {
        const char* given;
        const char* kept;
    } cases[] = {{"-nu", "nu"},  {"u", "u"},     {"xyz", ""},
                 {"-unx", "un"}, {"-nnn", "nn"}, {nullptr, ""}};
    for (const auto& c : cases) {
        ZQorScheduledTask task;
        task.SetSchedArgs(c.given);
        EXPECT_STREQ(task.mSchedArgs, c.kept) << (c.given ? c.given : "null");
    }
}

} // namespace
