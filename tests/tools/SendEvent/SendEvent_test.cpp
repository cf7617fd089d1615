#include "CommandRun.h"
#include "LauncherTestSupport.h"
#include "SendEventCommand.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

using Outcome = qor_test::CommandRun;

Outcome RunCommand(std::vector<std::string> args) {
    return qor_test::RunCommandMain(SendEventMain, "qorsched-send-event", std::move(args));
}

class SendEvent : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(mTool, "#!/bin/sh\nexit 0\n", 0755); }

    TempRoot mRoot;
    FakeServices mServices;
    const std::string mTool = mRoot.Path() + "/opt/bin/tool";
};

TEST_F(SendEvent, SendsToTheRunningProgramAndSaysSo) {
    mServices.AddProcess(mTool, 4711);
    // The data "-v" follows the positional arguments: it is no option of the command.
    Outcome outcome =
        RunCommand({"-s", "3", mTool, "Smpl", "evnt", "clas", "exAG", "-v", "TEXT", "-x"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "target: " + mTool +
                               " (plain executable)\n"
                               "running: process 4711\n"
                               "event class 'clas' id 'evnt' to 'Smpl': delivered (0)\n");
    EXPECT_EQ(mServices.ports.TaskPids(), std::vector<int>{4711});
    EXPECT_EQ(mServices.transport.Events().size(), 1u);
}

TEST_F(SendEvent, FailuresInWords) {
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        const char* lastLine;
    };
    const Case cases[] = {
        {{"3", mTool, "Smpl", "evnt", "clas"},
         1,
         "event class 'clas' id 'evnt' to 'Smpl': the program does not run (-s starts it) "
         "(1006)\n"},
        {{"3", mRoot.Path() + "/opt/missing", "Nope", "evnt", "clas"},
         1,
         "event class 'clas' id 'evnt' to 'Nope': no application with that creator code "
         "(-10814)\n"},
    };
    for (const Case& c : cases) {
        Outcome outcome = RunCommand(c.args);
        EXPECT_EQ(outcome.status, c.exitStatus) << c.args[1];
        EXPECT_TRUE(outcome.out.ends_with(c.lastLine)) << outcome.out;
    }
}

TEST_F(SendEvent, AGivenProcessIsAddressedByItsPort) {
    Outcome outcome = RunCommand({"-p", "815", "3", mTool, "Smpl", "evnt", "clas"});
    EXPECT_EQ(outcome.status, 0) << outcome.out;
    EXPECT_EQ(mServices.ports.TaskPids(), std::vector<int>{815});
}

TEST_F(SendEvent, UsageErrors) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"3", mTool, "Smp", "evnt", "clas"},
             {"-p", "x", "3", mTool, "Smpl", "evnt", "clas"},
             {"-q", "3", mTool, "Smpl", "evnt", "clas"},
             {"3", mTool, "Smpl", "evnt", "clas", "TEXT"},
         }) {
        Outcome outcome = RunCommand(args);
        EXPECT_EQ(outcome.status, 2) << args[0];
        EXPECT_TRUE(outcome.err.ends_with("usage: qorsched-send-event [-s] [-p pid] taskID "
                                          "executablePath creatorCode eventID classID [type "
                                          "data]... [kydo keyword type data...]\n"))
            << outcome.err;
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_TRUE(mServices.transport.Events().empty());
}

} // namespace
