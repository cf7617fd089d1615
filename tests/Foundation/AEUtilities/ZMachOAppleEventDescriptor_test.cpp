#include "DescriptorTestSupport.h"
#include "FourCharCode.h"
#include "ZMachOAppleEventDescriptor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// ---- argument vectors ----

struct ArgsCase {
    const char* name;
    Strings positional;
    bool valid;
};

const ArgsCase kArgsCases[] = {
    {"no parameters", {"7", "/bin/x", "abcd", "evnt", "clas"}, true},
    {"one argument short", {"7", "/bin/x", "abcd", "evnt"}, false},
    {"type and data pairs",
     {"7", "/bin/x", "abcd", "evnt", "clas", "exAG", "-x 1", "path", "/"},
     true},
    {"type without data", {"7", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v", "path"}, false},
    {"data of any length",
     {"7", "/bin/x", "abcd", "evnt", "clas", "exAG", "", "TEXT", "longer"},
     true},
    {"three-character type", {"7", "/bin/x", "abcd", "evnt", "clas", "exA", "data"}, false},
    {"five-character type", {"7", "/bin/x", "abcd", "evnt", "clas", "exAGx", "data"}, false},
    {"three-character creator", {"5", "/bin/x", "abc", "evnt", "clas"}, false},
    {"five-character creator", {"5", "/bin/x", "abcde", "evnt", "clas"}, false},
    {"three-character event ID", {"5", "/bin/x", "abcd", "evn", "clas"}, false},
    {"five-character class", {"5", "/bin/x", "abcd", "evnt", "class"}, false},
    {"marker then a triple",
     {"7", "/bin/x", "abcd", "evnt", "clas", "kydo", "kwrd", "TEXT", "hello world"},
     true},
    {"pairs, marker, triples",
     {"7", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v", "kydo", "kwd1", "TEXT", "a", "kwd2",
      "long", "5"},
     true},
    {"marker then a pair", {"7", "/bin/x", "abcd", "evnt", "clas", "kydo", "kwrd", "hello"}, false},
    {"marker alone at the end", {"7", "/bin/x", "abcd", "evnt", "clas", "kydo"}, false},
    {"short keyword after marker",
     {"7", "/bin/x", "abcd", "evnt", "clas", "kydo", "kwr", "TEXT", "a"},
     false},
    {"short type after marker",
     {"7", "/bin/x", "abcd", "evnt", "clas", "kydo", "kwrd", "TEX", "a"},
     false},
    {"a longer word beginning with the marker is the marker",
     {"7", "/bin/x", "abcd", "evnt", "clas", "kydoX", "kwrd", "TEXT", "a"},
     true},
    {"the marker as data is data", {"7", "/bin/x", "abcd", "evnt", "clas", "TEXT", "kydo"}, true},
    {"a triple needs all three",
     {"7", "/bin/x", "abcd", "evnt", "clas", "kydo", "kwrd", "TEXT", "a", "kwd2"},
     false},
};

void PrintTo(const ArgsCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckArgsTest : public testing::TestWithParam<ArgsCase> {};

TEST_P(CheckArgsTest, AcceptsOnlyWellFormedVectors) {
    TestArgs args(GetParam().positional);
    EXPECT_EQ(ZMachOAppleEventDescriptor::CheckArgs(args.argc(), args.argv()), GetParam().valid);

    // A rejected vector leaves the descriptor as it was.
    ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, -1);
    desc.mID = 99;
    desc.mCreator = QorCode("OLDc");
    strcpy(desc.mExecPath, "/old");
    int result = desc.InitFromArgs(args.argc(), args.argv());
    if (GetParam().valid) {
        EXPECT_EQ(result, args.argc() - 1);
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(desc.mID, 99u);
        EXPECT_EQ(desc.mCreator, QorCode("OLDc"));
        EXPECT_STREQ(desc.mExecPath, "/old");
        EXPECT_EQ(desc.mEventParams, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Vectors, CheckArgsTest, testing::ValuesIn(kArgsCases),
                         [](const testing::TestParamInfo<ArgsCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(uint8_t(*p)) ? *p : '_';
                             return name;
                         });

TEST(CheckArgsTest, RejectsMissingOrShortVectors) {
    EXPECT_FALSE(ZMachOAppleEventDescriptor::CheckArgs(6, nullptr));
    char name[] = "taskKicker", id[] = "7", path[] = "/bin/x", code[] = "abcd";
    char* withHole[] = {name, id, path, code, nullptr, code, nullptr};
    EXPECT_FALSE(ZMachOAppleEventDescriptor::CheckArgs(6, withHole));
}

TEST(Is4ByteCodeTest, MeansExactlyFourCharacters) {
    EXPECT_TRUE(ZMachOAppleEventDescriptor::Is4ByteCode("abcd"));
    EXPECT_TRUE(ZMachOAppleEventDescriptor::Is4ByteCode("    "));
    EXPECT_FALSE(ZMachOAppleEventDescriptor::Is4ByteCode("abc"));
    EXPECT_FALSE(ZMachOAppleEventDescriptor::Is4ByteCode("abcde"));
    EXPECT_FALSE(ZMachOAppleEventDescriptor::Is4ByteCode(""));
    EXPECT_FALSE(ZMachOAppleEventDescriptor::Is4ByteCode(nullptr));
}

// ---- taking over an argument vector ----

TEST(InitFromArgsTest, TakesOverFieldsAndBorrowsTheParameters) {
    TestArgs args({"12", "/usr/bin/sample", "abcd", "evnt", "clas", "exAG", "-x 1"});
    ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, -1);
    EXPECT_EQ(desc.InitFromArgs(args.argc(), args.argv()), 7);

    EXPECT_EQ(desc.mID, 12u);
    EXPECT_STREQ(desc.mExecPath, "/usr/bin/sample");
    EXPECT_EQ(desc.mCreator, 0x61626364u); // first character most significant
    EXPECT_EQ(desc.mEvent, QorCode("evnt"));
    EXPECT_EQ(desc.mClass, QorCode("clas"));
    EXPECT_EQ(desc.mNumEventParams, 2);
    EXPECT_EQ(desc.mEventParams, args.argv() + 6);
    EXPECT_FALSE(desc.mOwnsEventParams);
    EXPECT_EQ(desc.mEventData, nullptr);
}

TEST(InitFromArgsTest, WithoutParametersHasNoParameterArray) {
    TestArgs args({"7", "/bin/x", "abcd", "evnt", "clas"});
    ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, -1);
    EXPECT_EQ(desc.InitFromArgs(args.argc(), args.argv()), 5);
    EXPECT_EQ(desc.mNumEventParams, 0);
    EXPECT_EQ(desc.mEventParams, nullptr);
}

TEST(InitFromArgsTest, ConvertsTheIDLikeAtoi) {
    const struct {
        const char* text;
        uint32_t id;
    } cases[] = {
        {"12", 12}, {"  7", 7}, {"+5", 5}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-1", 0xFFFFFFFFu},
    };
    for (const auto& c : cases) {
        TestArgs args({c.text, "/bin/x", "abcd", "evnt", "clas"});
        ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, -1);
        desc.mID = 99;
        (void)desc.InitFromArgs(args.argc(), args.argv());
        EXPECT_EQ(desc.mID, c.id) << "ID text \"" << c.text << "\"";
    }
}

TEST(InitFromArgsTest, CutsTheExecPathToItsBuffer) {
    char buffer[12];
    memset(buffer, '#', sizeof buffer);
    ZMachOAppleEventDescriptor desc(buffer, 8, nullptr, -1);
    TestArgs args({"1", "/usr/local/bin/sample", "abcd", "evnt", "clas"});
    (void)desc.InitFromArgs(args.argc(), args.argv());
    EXPECT_STREQ(buffer, "/usr/lo");
    EXPECT_EQ(std::string(buffer + 8, 4), "####"); // nothing past the capacity
}

// ---- buffer ownership ----

TEST(DescriptorBuffersTest, OwnsWhatItAllocatesAndBorrowsWhatItIsGiven) {
    {
        ZMachOAppleEventDescriptor desc(nullptr, 10, nullptr, 10);
        EXPECT_TRUE(desc.mOwnsExecPath);
        EXPECT_TRUE(desc.mOwnsEventData);
        EXPECT_EQ(desc.mExecPathSize, 256); // whatever size was asked
        EXPECT_EQ(desc.mEventDataSize, 256);
        EXPECT_STREQ(desc.mExecPath, "");
        EXPECT_STREQ(desc.mEventData, "");
        EXPECT_EQ(desc.mID | desc.mCreator | desc.mEvent | desc.mClass, 0u);
        EXPECT_EQ(desc.mEventDataLen, 0);
        EXPECT_EQ(desc.mNumEventParams, 0);
        EXPECT_EQ(desc.mEventParams, nullptr);
    }
    {
        ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, -1);
        EXPECT_EQ(desc.mEventData, nullptr);
        EXPECT_EQ(desc.mEventDataSize, 0);
        EXPECT_FALSE(desc.mOwnsEventData);
    }
    {
        // Borrowed buffers keep their content and are never freed (the sanitizer build would
        // report freeing these stack buffers).
        char path[64] = "/kept/path";
        char data[32] = "kept data";
        ZMachOAppleEventDescriptor desc(path, sizeof path, data, sizeof data);
        EXPECT_EQ(desc.mExecPath, path);
        EXPECT_EQ(desc.mEventData, data);
        EXPECT_FALSE(desc.mOwnsExecPath);
        EXPECT_FALSE(desc.mOwnsEventData);
        EXPECT_EQ(desc.mExecPathSize, 64);
        EXPECT_EQ(desc.mEventDataSize, 32);
        EXPECT_STREQ(path, "/kept/path");
        EXPECT_STREQ(data, "kept data");
    }
}

TEST(DescriptorBuffersTest, ReplacingSplitParametersWithArgumentsFreesTheArray) {
    ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, 0);
    strcpy(desc.mEventData, "exAG -v");
    ASSERT_EQ(desc.SplitEventDataToSeparateParams(), 2);
    ASSERT_TRUE(desc.mOwnsEventParams);

    TestArgs args({"7", "/bin/x", "abcd", "evnt", "clas", "TEXT", "hi"});
    (void)desc.InitFromArgs(args.argc(), args.argv());
    EXPECT_FALSE(desc.mOwnsEventParams); // the owned array is gone (no leak), argv is borrowed
    EXPECT_EQ(Params(desc), (Strings{"TEXT", "hi"}));
}

// Out of line, as in a task record that releases the descriptor it holds. (Inlined next to the
// `new`, g++ 12 warns about a speculative delete through the second base's address.)
[[gnu::noinline]] void ReleaseHeldReference(ZSharedObject* object) {
    object->Release();
}

TEST(DescriptorBuffersTest, TaskDescriptorIsASharedObjectWithOneReference) {
    auto* desc = new ZQorScheduledTaskDescriptor(nullptr, 256, nullptr, 256);
    EXPECT_EQ(desc->GetReferenceCount(), 1);
    desc->Attach();
    ReleaseHeldReference(desc);
    EXPECT_EQ(desc->GetReferenceCount(), 1);
    ReleaseHeldReference(desc); // destroyed with its buffers; the sanitizer build reports leaks
}

// ---- splitting event data ----

struct SplitCase {
    const char* name;
    const char* data;
    Strings params;
};

const SplitCase kSplitCases[] = {
    {"quoted type and text", "\"TEXT\" \"hello world\"", {"TEXT", "hello world"}},
    {"single and double blanks", "a b  c", {"a", "b", "c"}},
    {"tabs and outer blanks", "  a\tb\t ", {"a", "b"}},
    {"single quotes", "'single quoted' x", {"single quoted", "x"}},
    {"a quote ends at either kind", "\"it's\"", {"it", "s\""}},
    {"quote left open", "\"open quote", {"open quote"}},
    {"text right after a closing quote", "\"a\"b", {"a", "b"}},
    {"a quote inside a word", "a\"b c", {"a\"b", "c"}},
    {"empty quoted parameter keeps the pairs in step",
     "\"exAG\" \"\" \"path\" \"/x\"",
     {"exAG", "", "path", "/x"}},
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SeparatesParameters) {
    ZMachOAppleEventDescriptor desc(nullptr, 0, nullptr, 0);
    strcpy(desc.mEventData, GetParam().data);
    EXPECT_EQ(desc.SplitEventDataToSeparateParams(), int(GetParam().params.size()));
    EXPECT_EQ(Params(desc), GetParam().params);
    EXPECT_TRUE(desc.mOwnsEventParams);
    for (int32_t i = 0; i < desc.mNumEventParams; ++i) {
        // The strings live inside the event data buffer, which stays the owner.
        EXPECT_GE(desc.mEventParams[i], desc.mEventData);
        EXPECT_LT(desc.mEventParams[i], desc.mEventData + desc.mEventDataSize);
    }
}

INSTANTIATE_TEST_SUITE_P(EventData, SplitTest, testing::ValuesIn(kSplitCases),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += isalnum(uint8_t(*p)) ? *p : '_';
                             return name;
                         });

TEST(SplitLimitTest, KeepsAtMost48Parameters) {
    std::string data;
    for (int i = 0; i < 50; ++i)
        data += "p" + std::to_string(i) + " ";
    std::vector<char> buffer(data.begin(), data.end());
    buffer.push_back('\0');
    ZMachOAppleEventDescriptor desc(nullptr, 0, buffer.data(), int(buffer.size()));

    EXPECT_EQ(desc.SplitEventDataToSeparateParams(), 48);
    EXPECT_STREQ(desc.mEventParams[0], "p0");
    EXPECT_STREQ(desc.mEventParams[47], "p47");
}

TEST(SplitLimitTest, DoesNothingWithoutDataOrWhenAlreadySplit) {
    ZMachOAppleEventDescriptor noBuffer(nullptr, 0, nullptr, -1);
    EXPECT_EQ(noBuffer.SplitEventDataToSeparateParams(), 0);
    EXPECT_EQ(noBuffer.mEventParams, nullptr);

    ZMachOAppleEventDescriptor empty(nullptr, 0, nullptr, 0);
    EXPECT_EQ(empty.SplitEventDataToSeparateParams(), 0);
    EXPECT_EQ(empty.mEventParams, nullptr);

    ZMachOAppleEventDescriptor twice(nullptr, 0, nullptr, 0);
    strcpy(twice.mEventData, "a b c");
    ASSERT_EQ(twice.SplitEventDataToSeparateParams(), 3);
    char** first = twice.mEventParams;
    EXPECT_EQ(twice.SplitEventDataToSeparateParams(), 3);
    EXPECT_EQ(twice.mEventParams, first);

    TestArgs args({"7", "/bin/x", "abcd", "evnt", "clas", "exAG", "-v"});
    ZMachOAppleEventDescriptor fromArgs(nullptr, 0, nullptr, 0);
    strcpy(fromArgs.mEventData, "x y z");
    (void)fromArgs.InitFromArgs(args.argc(), args.argv());
    EXPECT_EQ(fromArgs.SplitEventDataToSeparateParams(), 2);
    EXPECT_EQ(Params(fromArgs), (Strings{"exAG", "-v"}));
}

TEST(SplitLimitTest, StaysInsideABorrowedBufferWithoutTerminator) {
    char buffer[6] = {'a', 'b', ' ', 'c', 'd', 'e'}; // full, no NUL
    ZMachOAppleEventDescriptor desc(nullptr, 0, buffer, sizeof buffer);
    EXPECT_EQ(desc.SplitEventDataToSeparateParams(), 2);
    EXPECT_EQ(Params(desc), (Strings{"ab", "cd"}));
}

} // namespace
