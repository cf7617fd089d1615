// The command-line arguments of a started plain executable, taken from the "exAG" parameter.

#include "LauncherTestSupport.h"

#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

std::vector<std::string> Strings(char** array) {
    std::vector<std::string> strings;
    for (; array != nullptr && *array != nullptr; ++array)
        strings.emplace_back(*array);
    return strings;
}

TEST(LauncherExecArgs, WordsAndEscapedBlanks) {
    struct Case {
        const char* text;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"-a\\ b c", {"-a b", "c"}},
        {"a\\ b\\ c d", {"a b c", "d"}}, // several escaped blanks join several words
        {"a\\\tb", {"a b"}},             // a tab is a blank too
        {"a\\  b", {"a\\", "b"}},        // blank after the separator: no join
        {"a\\", {"a\\"}},                // nothing after it: no join
        {"  x \t y  ", {"x", "y"}},      // empty words are skipped
        {"", {}},                        // no words: the path alone
        {"1 2 3 4 5 6 7 8 9 10 11", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"a\\ b 2 3 4 5 6 7 8 9\\ x 10", {"a b", "2", "3", "4", "5", "6", "7", "8", "9 x"}},
    };
    for (const Case& c : cases) {
        LauncherFor<> launcher({"1", "/opt/tool", "Smpl", "evnt", "clas", "exAG", c.text});
        std::vector<std::string> expected = {"/opt/tool"};
        expected.insert(expected.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Strings(launcher->FillExecArgsArray("/opt/tool")), expected) << c.text;
        EXPECT_TRUE(launcher->mExecArgsAlreadyFilled);
    }
}

TEST(LauncherExecArgs, TheTextIsCutAtEightyCharacters) {
    std::string text = std::string(78, 'a') + " bcdef";
    LauncherFor<> launcher({"1", "/opt/tool", "Smpl", "evnt", "clas", "exAG", text});
    EXPECT_EQ(launcher->GetExecArgs(), std::string(78, 'a') + " b");
    EXPECT_EQ(Strings(launcher->FillExecArgsArray("/opt/tool")),
              (std::vector<std::string>{"/opt/tool", std::string(78, 'a'), "b"}));
}

TEST(LauncherExecArgs, OnlyTheFirstPairBeforeTheMarkerCounts) {
    struct Case {
        std::vector<std::string> params;
        const char* text; // null: none
    };
    const Case cases[] = {
        {{}, nullptr},
        {{"TEXT", "x"}, nullptr},
        {{"TEXT", "x", "exAG", "-v", "exAG", "-w"}, "-v"},
        {{"kydo", "exAG", "TEXT", "-v"}, nullptr}, // a keyword after the marker
        {{"TEXT", "exAG"}, nullptr},               // data, not a type
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"1", "/opt/tool", "Smpl", "evnt", "clas"};
        args.insert(args.end(), c.params.begin(), c.params.end());
        LauncherFor<> launcher(args);
        char* text = launcher->GetExecArgs();
        if (c.text == nullptr) {
            EXPECT_EQ(text, nullptr) << c.params.size();
            EXPECT_EQ(launcher->FillExecArgsArray("/opt/tool"), nullptr);
            EXPECT_FALSE(launcher->mExecArgsAlreadyFilled);
        } else {
            EXPECT_STREQ(text, c.text);
        }
    }
}

TEST(LauncherExecArgs, ASecondFillKeepsTheWords) {
    LauncherFor<> launcher({"1", "/opt/tool", "Smpl", "evnt", "clas", "exAG", "-a b\\ c"});
    const std::vector<std::string> expected = {"/opt/tool", "-a", "b c"};
    EXPECT_EQ(Strings(launcher->FillExecArgsArray("/opt/tool")), expected);
    EXPECT_EQ(Strings(launcher->FillExecArgsArray("/opt/tool")), expected);
}

} // namespace
