// The secondary launcher's walk of the pending folder, with the platform's process table, event
// ports, transport, clock and log replaced: targets "run" when the test says so, and the events
// sent are kept.

#include "FourCharCode.h"
#include "KickerTestSupport.h"
#include "SecondaryLaunch.h"

#include <gtest/gtest.h>

using namespace kicker_test;

namespace {

/// Writes a pending file into the folder at the first delivery, as a launcher command handing
/// off while the walk goes on; otherwise like the fake transport.
class TransportThatQueuesMore : public QorEventTransport {
public:
    TransportThatQueuesMore(QorEventTransport& inner, std::string path, std::string line)
        : mInner(inner), mPath(std::move(path)), mLine(std::move(line)) {}
    OSStatus Deliver(const AppleEvent& event) override {
        if (!mPath.empty()) {
            WriteFile(mPath, mLine, 0600);
            mPath.clear();
        }
        return mInner.Deliver(event);
    }

private:
    QorEventTransport& mInner;
    std::string mPath, mLine;
};

class SecondaryLaunch : public ::testing::Test {
protected:
    // A plain executable target; running ones are in the fake process table.
    std::string Target(const std::string& name, bool running, pid_t pid = 0) {
        const std::string path = mRoot.Path() + "/opt/bin/" + name;
        WriteFile(path, "#!/bin/sh\necho started > \"$0.out\"\n", 0755);
        if (running)
            mServices.AddProcess(path, pid);
        return path;
    }

    static std::string Line(const std::string& path, const char* eventClass) {
        return " 3  \"" + path + "\"  \"Smpl\"  \"evnt\"  \"" + eventClass + "\" \"TEXT\" \"a b\" ";
    }

    void Pending(const std::string& name, const std::string& content) {
        WriteFile(mRoot.PendingFolder() + "/" + name, content, 0600);
    }

    // The classes of the events sent, in order.
    std::vector<std::string> SentClasses() const {
        std::vector<std::string> classes;
        for (const AppleEvent& event : mServices.transport.Events()) {
            OSType code = 0;
            (void)AEGetAttributePtr(&event, keyEventClassAttr, typeType, nullptr, &code, 4,
                                    nullptr);
            char text[5];
            QorCodeToChars(code, text);
            classes.emplace_back(text);
        }
        return classes;
    }

    std::vector<std::string> Logged() const { return mServices.log.Messages(); }

    KickerRoot mRoot;
    launcher_test::FakeServices mServices;
};

TEST_F(SecondaryLaunch, NothingToDoWithoutPendingLaunches) {
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_FALSE(std::filesystem::exists(mRoot.PendingFolder()));
    std::filesystem::create_directories(mRoot.PendingFolder());
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(mRoot.PendingFolder()));
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(mServices.transport.Events().empty());
}

TEST_F(SecondaryLaunch, EveryPendingLaunchIsSentAndRemoved) {
    Pending("qorschedroot00000100.000", Line(Target("scan", true, 4711), "cla1"));
    Pending("qorschedroot00000100.001", Line(Target("update", true, 4712), "cla2"));
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);

    std::vector<std::string> classes = SentClasses();
    std::sort(classes.begin(), classes.end());
    EXPECT_EQ(classes, (std::vector<std::string>{"cla1", "cla2"}));
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
    const std::vector<std::string> expected = {
        "Try #0, for Smpl, result = 0\n", "launch for id = 3 Smpl event = evnt result = 0\n",
        "Try #0, for Smpl, result = 0\n", "launch for id = 3 Smpl event = evnt result = 0\n"};
    EXPECT_EQ(Logged(), expected);
    for (const QorFakeSystemLog::Line& line : mServices.log.Lines())
        EXPECT_EQ(line.identity, "QorSecondaryLaunch");
}

TEST_F(SecondaryLaunch, ATargetThatDoesNotRunIsStartedAndAFailureIsLogged) {
    // Started, but never found running by name here: no process to send to.
    const std::string target = Target("scan", false);
    Pending("qorschedroot00000100.000", Line(target, "clas"));
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_TRUE(launcher_test::WaitForLine(target + ".out"));
    EXPECT_EQ(Logged(), std::vector<std::string>{"launch for id = 3 Smpl event = evnt result = " +
                                                 std::to_string(kQorLaunchNoProcess) + "\n"});
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
}

TEST_F(SecondaryLaunch, WhatCannotBeLaunchedIsRemovedWithoutAWord) {
    WriteFile(mRoot.Path() + "/opt/notes.txt", "not a program\n");
    Pending("qorschedroot00000100.000", Line(mRoot.Path() + "/opt/notes.txt", "clas"));
    Pending("qorschedroot00000100.001", Line(mRoot.Path() + "/opt/missing", "clas"));
    // Cut short after the creator: never launched with half its fields.
    Pending("qorschedroot00000100.002", " 3  \"" + Target("scan", true, 4711) + "\"  \"Smpl\"");
    Pending("qorschedroot00000100.003", "");
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(mServices.transport.Events().empty());
}

TEST_F(SecondaryLaunch, OnlyFilesDirectlyInTheFolderAreWorkedOff) {
    const std::string line = Line(Target("scan", true, 4711), "clas");
    Pending(".qorschedroot00000100.000", line); // still being written
    Pending("full/qorschedroot00000100.000", line);
    std::filesystem::create_directories(mRoot.PendingFolder() + "/empty/inner");
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    // An empty subfolder goes (one level deep); the rest is left as it is.
    EXPECT_EQ(mRoot.PendingNames(),
              (std::vector<std::string>{".qorschedroot00000100.000", "empty", "full"}));
    EXPECT_TRUE(std::filesystem::exists(mRoot.PendingFolder() + "/full/qorschedroot00000100.000"));
    EXPECT_TRUE(mServices.transport.Events().empty());

    std::filesystem::remove(mRoot.PendingFolder() + "/empty/inner");
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_FALSE(std::filesystem::exists(mRoot.PendingFolder() + "/empty"));
}

TEST_F(SecondaryLaunch, ALaunchLeftWhileTheFolderIsWorkedOffIsNotMissed) {
    Pending("qorschedroot00000100.000", Line(Target("scan", true, 4711), "cla1"));
    TransportThatQueuesMore queuing(mServices.transport,
                                    mRoot.PendingFolder() + "/qorschedroot00000200.000",
                                    Line(Target("update", true, 4712), "cla2"));
    QorScopedEventTransport useQueuing(&queuing);
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_EQ(SentClasses(), (std::vector<std::string>{"cla1", "cla2"}));
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
}

TEST_F(SecondaryLaunch, AFailedDeliveryIsNotTriedAgain) {
    Pending("qorschedroot00000100.000", Line(Target("scan", true, 4711), "clas"));
    mServices.transport.SetResults(std::vector<OSStatus>(15, procNotFound));
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    ASSERT_FALSE(Logged().empty());
    EXPECT_EQ(Logged().back(), "launch for id = 3 Smpl event = evnt result = -600\n");
    EXPECT_EQ(mRoot.PendingNames(), std::vector<std::string>{});
    EXPECT_EQ(QorSecondaryLaunch::SecondaryLaunchMain(), 0);
    EXPECT_EQ(mServices.transport.Events().size(), 15u);
}

} // namespace
