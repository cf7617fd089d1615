#include "DescriptorTestSupport.h"
#include "FourCharCode.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// A descriptor as a task record holds it: its own 256-byte path and event data buffers.
struct TaskDescriptor {
    ZQorScheduledTaskDescriptor desc{nullptr, 256, nullptr, 256};

    TaskDescriptor(uint32_t id, const char* path, uint32_t creator, uint32_t event,
                   uint32_t eventClass, const char* data) {
        desc.mID = id;
        strcpy(desc.mExecPath, path);
        desc.mCreator = creator;
        desc.mEvent = event;
        desc.mClass = eventClass;
        strcpy(desc.mEventData, data);
        desc.mEventDataLen = int16_t(strlen(data));
    }
};

// ---- writing ----

TEST(WriteTest, TaskRecordDescriptorIsOneCompleteLine) {
    TaskDescriptor task(12, "/Applications/Sample.app/Contents/MacOS/Sample", QorCode("abcd"),
                        QorCode("evnt"), QorCode("clas"), "\"exAG\" \"-x 1\"");
    EXPECT_EQ(WrittenText(task.desc), " 12  \"/Applications/Sample.app/Contents/MacOS/Sample\"  "
                                      "\"abcd\"  \"evnt\"  \"clas\"  \"exAG\" \"-x 1\"\n");
}

TEST(WriteTest, ArgumentDescriptorQuotesEachParameterAndEndsNoLine) {
    TestArgs args({"12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-x 1", "TEXT", "'q'"});
    ZQorScheduledTaskDescriptor desc(nullptr, 0, nullptr, -1);
    ASSERT_EQ(desc.InitFromArgs(args.argc(), args.argv()), 9);
    // A parameter that begins with a quote is written between blanks.
    EXPECT_EQ(WrittenText(desc),
              " 12  \"/bin/x\"  \"abcd\"  \"evnt\"  \"clas\" \"exAG\" \"-x 1\" \"TEXT\"  'q'  ");

    TestArgs bare({"7", "/bin/x", "abcd", "evnt", "clas"});
    ZQorScheduledTaskDescriptor noData(nullptr, 0, nullptr, -1);
    (void)noData.InitFromArgs(bare.argc(), bare.argv());
    EXPECT_EQ(WrittenText(noData), " 7  \"/bin/x\"  \"abcd\"  \"evnt\"  \"clas\" ");
}

TEST(WriteTest, FieldsWithUnusualContent) {
    const struct {
        const char* name;
        const char* path;
        uint32_t event;
        const char* data;
        const char* text;
    } cases[] = {
        {"path beginning with a quote", "\"odd", QorCode("evnt"), "",
         " 1   \"odd   \"abcd\"  \"evnt\"  \"clas\"  \n"},
        {"path with blanks", "/opt/My Apps/x", QorCode("evnt"), "d",
         " 1  \"/opt/My Apps/x\"  \"abcd\"  \"evnt\"  \"clas\"  d\n"},
        {"zero event ID", "/x", 0, "d", " 1  \"/x\"  \"abcd\"  \"    \"  \"clas\"  d\n"},
        {"code ending in zero bytes", "/x", 0x61620000u, "d",
         " 1  \"/x\"  \"abcd\"  \"  ab\"  \"clas\"  d\n"},
        {"code with a zero byte inside", "/x", 0x61006263u, "d",
         " 1  \"/x\"  \"abcd\"  \"   a\"  \"clas\"  d\n"},
    };
    for (const auto& c : cases) {
        TaskDescriptor task(1, c.path, QorCode("abcd"), c.event, QorCode("clas"), c.data);
        EXPECT_EQ(WrittenText(task.desc), c.text) << c.name;
    }
}

TEST(WriteTest, NeverReadsPastABorrowedBuffer) {
    char path[4] = {'/', 'a', 'b', 'c'}; // no terminator
    char data[3] = {'x', 'y', 'z'};
    ZQorScheduledTaskDescriptor desc(path, sizeof path, data, sizeof data);
    EXPECT_EQ(WrittenText(desc), " 0  \"/abc\"  \"    \"  \"    \"  \"    \"  xyz\n");
}

TEST(WriteTest, ReportsAStreamThatRefusesOutput) {
    FILE* full = fopen("/dev/full", "w");
    if (full == nullptr)
        GTEST_SKIP() << "no /dev/full";
    setvbuf(full, nullptr, _IONBF, 0);
    TaskDescriptor task(1, "/x", QorCode("abcd"), QorCode("evnt"), QorCode("clas"), "d");
    EXPECT_EQ(task.desc.Write(full), -1);
    fclose(full);
}

TEST(WriteTest, BufferFormsAreNotSupported) {
    TaskDescriptor task(1, "/x", QorCode("abcd"), QorCode("evnt"), QorCode("clas"), "d");
    char buffer[64] = "untouched";
    EXPECT_EQ(task.desc.Write(buffer), -1);
    EXPECT_EQ(task.desc.Read(buffer), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(task.desc.mID, 1u);
}

// ---- reading ----

TEST(ReadTest, ReadsAWholeLineAndStopsAtItsEnd) {
    ZQorScheduledTaskDescriptor desc(nullptr, 256, nullptr, 256);
    ReadOutcome out = ReadText(
        desc, " 12  \"/opt/My Apps/x\"  \"abcd\"  \"evnt\"  \"clas\"  \"exAG\" \"-x 1\"\nNEXT\n");
    EXPECT_EQ(out.result, 6);
    EXPECT_EQ(out.rest, "NEXT\n");
    EXPECT_EQ(desc.mID, 12u);
    EXPECT_STREQ(desc.mExecPath, "/opt/My Apps/x");
    EXPECT_EQ(desc.mCreator, QorCode("abcd"));
    EXPECT_EQ(desc.mEvent, QorCode("evnt"));
    EXPECT_EQ(desc.mClass, QorCode("clas"));
    EXPECT_STREQ(desc.mEventData, "\"exAG\" \"-x 1\"");
    EXPECT_EQ(desc.mEventDataLen, 13);
}

TEST(ReadTest, QuotingIsOptional) {
    const char* lines[] = {
        " 3  \"/bin/x\"  \"abcd\"  \"evnt\"  \"clas\"  data\n",
        "3 /bin/x abcd evnt clas data\n",
        "\t3\t'/bin/x'\t'abcd' 'evnt' 'clas'\tdata\n",
        " 3 /bin/x abcd \"evnt\" clas data",
    };
    for (const char* line : lines) {
        ZQorScheduledTaskDescriptor desc(nullptr, 256, nullptr, 256);
        EXPECT_EQ(ReadText(desc, line).result, 6) << line;
        EXPECT_EQ(desc.mID, 3u) << line;
        EXPECT_STREQ(desc.mExecPath, "/bin/x") << line;
        EXPECT_EQ(desc.mCreator, QorCode("abcd")) << line;
        EXPECT_EQ(desc.mEvent, QorCode("evnt")) << line;
        EXPECT_EQ(desc.mClass, QorCode("clas")) << line;
        EXPECT_STREQ(desc.mEventData, "data") << line;
    }
}

TEST(ReadTest, FieldContent) {
    const struct {
        const char* line;
        uint32_t id;
        const char* path;
        uint32_t event;
    } cases[] = {
        {" 1  \"/x\"  \"abcd\"  \"    \"  \"clas\"\n", 1, "/x", 0x20202020u}, // event ID 0
        {" -1  \"/x\"  \"abcd\"  \"evnt\"  \"clas\"\n", 0xFFFFFFFFu, "/x", QorCode("evnt")},
        {" 1  \"/a\\\\b\\c\"  abcd evnt clas\n", 1, "/a\\bc", QorCode("evnt")}, // escapes
        {" 1  \"\\x\"  abcd evnt clas\n", 1, "\\x", QorCode("evnt")}, // a leading one is kept
        {" 1  \"/a\\\"  abcd evnt clas\n", 1, "/a", QorCode("evnt")}, // an escaped quote ends it
    };
    for (const auto& c : cases) {
        ZQorScheduledTaskDescriptor desc(nullptr, 256, nullptr, 256);
        ReadOutcome out = ReadText(desc, c.line);
        EXPECT_EQ(desc.mID, c.id) << c.line;
        EXPECT_STREQ(desc.mExecPath, c.path) << c.line;
        EXPECT_EQ(desc.mEvent, c.event) << c.line;
        EXPECT_EQ(out.rest, "") << c.line;
    }
}

// Lines that end early or are malformed: the reader reports how far it got, leaves the
// fields it did not reach alone and never touches the next line.
struct IncompleteCase {
    const char* name;
    const char* line;
    int result;
    const char* path;
    uint32_t creator;
    uint32_t event;
    uint32_t eventClass;
};

constexpr uint32_t kOldCreator = QorCode("OLDr");
constexpr uint32_t kOldEvent = QorCode("OLDe");
constexpr uint32_t kOldClass = QorCode("OLDc");

const IncompleteCase kIncompleteCases[] = {
    {"empty line", "\n", 2, "/old", kOldCreator, kOldEvent, kOldClass},
    {"ID only", " 12\n", 2, "/old", kOldCreator, kOldEvent, kOldClass},
    {"ends after the path", " 12  \"/bin/x\"\n", 3, "/bin/x", kOldCreator, kOldEvent, kOldClass},
    {"ends after an unquoted path", " 12 /bin/x\n", 3, "/bin/x", kOldCreator, kOldEvent, kOldClass},
    {"ends after the creator", " 12 \"/bin/x\" \"abcd\"\n", 4, "/bin/x", QorCode("abcd"), kOldEvent,
     kOldClass},
    {"ends after the event ID", " 12 \"/bin/x\" abcd \"evnt\"\n", 5, "/bin/x", QorCode("abcd"),
     QorCode("evnt"), kOldClass},
    {"ends after the class", " 12 \"/bin/x\" abcd evnt \"clas\"  \n", 6, "/bin/x", QorCode("abcd"),
     QorCode("evnt"), QorCode("clas")},
    {"quote left open in the path", " 12  \"/bin/x abcd\n", 3, "/bin/x abcd", kOldCreator,
     kOldEvent, kOldClass},
    {"path longer than its buffer", " 12  \"/usr/local/bin/x\"  abcd evnt clas data\n", 3,
     "/usr/local/bin/", kOldCreator, kOldEvent, kOldClass},
    {"unquoted path longer than its buffer", " 12 /usr/local/bin/x abcd evnt clas data\n", 3,
     "/usr/local/bin/", kOldCreator, kOldEvent, kOldClass},
    {"line ends inside the creator", " 12 \"/bin/x\" \"ab\n", 3, "/bin/x", kOldCreator, kOldEvent,
     kOldClass},
    {"line ends inside the class", " 12 \"/bin/x\" abcd evnt cl\n", 5, "/bin/x", QorCode("abcd"),
     QorCode("evnt"), kOldClass},
    {"quoted five-character creator", " 12 \"/bin/x\" \"abcde\" \"evnt\" \"clas\" data\n", 4,
     "/bin/x", QorCode("abcd"), kOldEvent, kOldClass},
    {"quoted five-character class", " 12 \"/bin/x\" abcd evnt \"class\" data\n", 6, "/bin/x",
     QorCode("abcd"), QorCode("evnt"), QorCode("clas")},
    {"quote left open in a code", " 12 \"/bin/x\" \"abcd\n", 4, "/bin/x", QorCode("abcd"),
     kOldEvent, kOldClass},
};

void PrintTo(const IncompleteCase& c, std::ostream* os) {
    *os << c.name;
}

class IncompleteLineTest : public testing::TestWithParam<IncompleteCase> {};

TEST_P(IncompleteLineTest, StopsAtTheLineEnd) {
    const IncompleteCase& c = GetParam();
    char path[16]; // room for 15 characters
    ZQorScheduledTaskDescriptor desc(path, sizeof path, nullptr, 256);
    strcpy(desc.mExecPath, "/old");
    strcpy(desc.mEventData, "old data");
    desc.mEventDataLen = 8;
    desc.mCreator = kOldCreator;
    desc.mEvent = kOldEvent;
    desc.mClass = kOldClass;

    ReadOutcome out = ReadText(desc, std::string(c.line) + " 13 /bin/y abcd evnt clas more\n");
    EXPECT_EQ(out.result, c.result);
    EXPECT_STREQ(desc.mExecPath, c.path);
    EXPECT_EQ(desc.mCreator, c.creator);
    EXPECT_EQ(desc.mEvent, c.event);
    EXPECT_EQ(desc.mClass, c.eventClass);
    EXPECT_STREQ(desc.mEventData, "");
    EXPECT_EQ(desc.mEventDataLen, 0);
    EXPECT_EQ(out.rest, " 13 /bin/y abcd evnt clas more\n");
}

INSTANTIATE_TEST_SUITE_P(Lines, IncompleteLineTest, testing::ValuesIn(kIncompleteCases),
                         [](const testing::TestParamInfo<IncompleteCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(uint8_t(*p)) ? *p : '_';
                             return name;
                         });

TEST(ReadEventDataTest, CutsLongDataAndSkipsTheRestOfItsLine) {
    char data[8];
    ZQorScheduledTaskDescriptor desc(nullptr, 256, data, sizeof data);
    ReadOutcome out = ReadText(desc, " 1 /x abcd evnt clas abcdefghijk\nNEXT\n");
    EXPECT_EQ(out.result, 6);
    EXPECT_STREQ(data, "abcdefg");
    EXPECT_EQ(desc.mEventDataLen, 7);
    EXPECT_EQ(out.rest, "NEXT\n");
}

TEST(ReadEventDataTest, LengthStaysWithinSixteenBits) {
    std::vector<char> data(40000, '#');
    ZQorScheduledTaskDescriptor desc(nullptr, 256, data.data(), int(data.size()));
    ReadOutcome out =
        ReadText(desc, " 1 /x abcd evnt clas " + std::string(39000, 'd') + "\nNEXT\n");
    EXPECT_EQ(out.result, 6);
    EXPECT_EQ(desc.mEventDataLen, 32767);
    EXPECT_EQ(strlen(data.data()), 32767u);
    EXPECT_EQ(out.rest, "NEXT\n");
}

TEST(ReadEventDataTest, WithoutABufferTheDataIsSkipped) {
    ZQorScheduledTaskDescriptor desc(nullptr, 256, nullptr, -1);
    ReadOutcome out = ReadText(desc, " 1 /x abcd evnt clas some data\nNEXT\n");
    EXPECT_EQ(out.result, 6);
    EXPECT_EQ(desc.mEventDataLen, 0);
    EXPECT_EQ(out.rest, "NEXT\n");
}

TEST(ReadFromFdTest, ReadsThroughItsOwnStreamAndClosesIt) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const char line[] = " 4 /bin/x abcd evnt clas data\n";
    ASSERT_EQ(write(fds[1], line, sizeof line - 1), ssize_t(sizeof line - 1));
    close(fds[1]);

    ZQorScheduledTaskDescriptor desc(nullptr, 256, nullptr, 256);
    EXPECT_EQ(desc.Read(fds[0]), 6);
    EXPECT_EQ(desc.mID, 4u);
    errno = 0;
    EXPECT_EQ(fcntl(fds[0], F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);

    EXPECT_EQ(desc.Read(-1), 0);
}

// ---- writing and reading back ----

// Every descriptor Write produces reads back into equal fields; parameters come back as one
// event data text that splits into the same parameters.
struct RoundTripCase {
    const char* name;
    Strings positional; // argument form, or empty to use the fields below
    uint32_t id;
    const char* path;
    uint32_t creator, event, eventClass;
    const char* data;
};

std::vector<RoundTripCase> RoundTripCases() {
    Strings manyParams = {"48", "/bin/x", "abcd", "evnt", "clas"};
    for (int i = 0; i < 24; ++i) {
        manyParams.push_back("TEXT");
        manyParams.push_back(std::string(1, char('a' + i)));
    }
    return {
        {"task record",
         {},
         12,
         "/usr/lib/sample/Sample",
         QorCode("abcd"),
         QorCode("evnt"),
         QorCode("clas"),
         "\"exAG\" \"-x 1\""},
        {"path with blanks",
         {},
         1,
         "/opt/My Apps/x",
         QorCode("abcd"),
         QorCode("evnt"),
         QorCode("clas"),
         "\"path\" \"/home/u/My Documents\""},
        {"empty data", {}, 0, "/x", QorCode("abcd"), QorCode("evnt"), QorCode("clas"), ""},
        {"largest ID",
         {},
         0xFFFFFFFFu,
         "/x",
         QorCode("abcd"),
         QorCode("evnt"),
         QorCode("clas"),
         "d"},
        {"codes with blanks, quotes and high bytes",
         {},
         2,
         "/x",
         QorCode("a b "),
         QorCode("\"abc"),
         0xA9C3B6FFu,
         "d"},
        {"single-quoted data",
         {},
         3,
         "/x",
         QorCode("abcd"),
         QorCode("evnt"),
         QorCode("clas"),
         "'a b' c"},
        {"arguments", {"12", "/bin/x", "abcd", "evnt", "clas", "exAG", "-x 1"}, 0, "", 0, 0, 0, ""},
        {"arguments with marker",
         {"5", "/opt/My Apps/x", "abcd", "evnt", "clas", "path", "/tmp", "kydo", "kwrd", "TEXT",
          "hello world"},
         0,
         "",
         0,
         0,
         0,
         ""},
        {"arguments with an empty parameter",
         {"6", "/bin/x", "abcd", "evnt", "clas", "exAG", "", "path", "/x"},
         0,
         "",
         0,
         0,
         0,
         ""},
        {"arguments, 48 parameters", manyParams, 0, "", 0, 0, 0, ""},
    };
}

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, ReadsBackWhatWasWritten) {
    const RoundTripCase& c = GetParam();
    ZQorScheduledTaskDescriptor written(nullptr, 256, nullptr, 256);
    TestArgs args(c.positional);
    if (!c.positional.empty()) {
        ASSERT_NE(written.InitFromArgs(args.argc(), args.argv()), 0);
    } else {
        written.mID = c.id;
        strcpy(written.mExecPath, c.path);
        written.mCreator = c.creator;
        written.mEvent = c.event;
        written.mClass = c.eventClass;
        strcpy(written.mEventData, c.data);
    }

    // Parameters are written without a line end (a pending-launch file holds just that one
    // descriptor); a task record's line is followed by the next line.
    bool fromArgs = !c.positional.empty();
    char data[1024]; // room for 48 parameters
    ZQorScheduledTaskDescriptor read(nullptr, 256, data, sizeof data);
    ReadOutcome out = ReadText(read, WrittenText(written) + (fromArgs ? "" : "NEXT\n"));
    EXPECT_EQ(out.result, 6);
    EXPECT_EQ(read.mID, written.mID);
    EXPECT_STREQ(read.mExecPath, written.mExecPath);
    EXPECT_EQ(read.mCreator, written.mCreator);
    EXPECT_EQ(read.mEvent, written.mEvent);
    EXPECT_EQ(read.mClass, written.mClass);
    EXPECT_EQ(read.mEventDataLen, int16_t(strlen(read.mEventData)));
    if (fromArgs) {
        (void)read.SplitEventDataToSeparateParams();
        EXPECT_EQ(Params(read), Params(written));
    } else {
        EXPECT_STREQ(read.mEventData, written.mEventData);
        EXPECT_EQ(out.rest, "NEXT\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Descriptors, RoundTripTest, testing::ValuesIn(RoundTripCases()),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(uint8_t(*p)) ? *p : '_';
                             return name;
                         });

} // namespace
