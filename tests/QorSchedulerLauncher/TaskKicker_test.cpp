// The launcher command's main flow, with a launcher whose steps answer as each test says, the
// console user, the user IDs and the log replaced, and the hand-off working on a temporary
// home folder with a secondary launcher that only notes that it was opened.

#include "ConsoleUser.h"
#include "KickerTestSupport.h"
#include "LoginItems.h"
#include "SystemLog.h"
#include "TaskKicker.h"
#include "UserIDs.h"
#include "ZMachOAppleEventDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <gtest/gtest.h>
#include <syslog.h>

using namespace kicker_test;
using namespace QorTaskKicker;

namespace {

/// What the launcher's steps answer.
struct Script {
    bool plainExecutable = true;
    bool running = false;
    OSStatus launch = 0;
    pid_t newInstance = 4711;
    std::vector<OSStatus> builds = {0}; // one per call; the last one repeats
    OSStatus send = 0;
};

/// What the launcher was asked, in order.
struct Calls {
    std::vector<std::string> steps;
    std::vector<pid_t> buildPids;
    std::vector<uid_t> buildEffectiveIDs;
};

class ScriptedLauncher : public ZQorScheduledTaskLauncher {
public:
    ScriptedLauncher(int argc, char** argv, const Script& script, Calls* calls)
        : ZQorScheduledTaskLauncher(argc, argv), mScript(script), mCalls(calls) {}

    bool IsLaunchable(uint32_t mask) override {
        Note("IsLaunchable");
        return mScript.plainExecutable && (mask & kIsMachoBinary);
    }
    bool IsLaunched() override {
        Note("IsLaunched");
        return mScript.running;
    }
    OSStatus LaunchTheApp() override {
        Note("LaunchTheApp");
        return mScript.launch;
    }
    OSStatus LaunchTheAppAsNewInstance(pid_t* outPid) override {
        Note("LaunchTheAppAsNewInstance");
        *outPid = mScript.newInstance;
        return mScript.launch;
    }
    OSStatus BuildEvent(pid_t pid) override {
        Note("BuildEvent");
        mCalls->buildPids.push_back(pid);
        mCalls->buildEffectiveIDs.push_back(QorCurrentUserIDs().EffectiveUserID());
        size_t call = std::min(mBuilds++, mScript.builds.size() - 1);
        mBuilt = mScript.builds[call] == 0;
        return mScript.builds[call];
    }
    OSStatus DoEvent() override {
        Note("DoEvent");
        return mBuilt ? mScript.send : -1;
    }

private:
    void Note(const char* step) { mCalls->steps.push_back(step); }

    Script mScript;
    Calls* mCalls;
    size_t mBuilds = 0;
    bool mBuilt = false;
};

class TaskKicker : public ::testing::Test {
protected:
    void SetUp() override { mRoot.InstallRecordingSecondaryLauncher(); }

    int32_t Run(std::vector<std::string> args) {
        CommandLine line(std::move(args));
        testing::internal::CaptureStderr();
        int32_t status = RunTaskKicker(line.argc(), line.argv(), [this](int count, char** v) {
            return new ScriptedLauncher(count, v, mScript, &mCalls);
        });
        mStderr = testing::internal::GetCapturedStderr();
        return status;
    }
    int32_t RunTask(std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"taskKicker"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {"5", "/opt/bin/scan", "abcd", "evnt", "clas", "TEXT", "a b"});
        return Run(args);
    }

    void AtTheConsole() { mConsole.SetSession(OwnConsoleSession()); }

    std::vector<std::string> Steps() const { return mCalls.steps; }
    std::vector<std::string> Logged() const { return mLog.Messages(); }
    size_t PendingFiles() const { return mRoot.PendingNames().size(); }
    int32_t LoginItems() const { return GetCountOfLoginItems(kCFPreferencesCurrentUser); }

    static std::string Result(int status) {
        return "launch for id = 5 abcd event = evnt result = " + std::to_string(status) + "\n";
    }
    static std::string HandOffFailed(int status) {
        return "Tried to launch secondary launch err = " + std::to_string(status) + "\n";
    }

    KickerRoot mRoot;
    QorFakeSystemLog mLog;
    QorScopedSystemLog mUseLog{&mLog};
    QorFakeConsoleUser mConsole; // nobody at the console unless a test says so
    QorScopedConsoleUser mUseConsole{&mConsole};
    QorFakeUserIDs mIDs{1000, 1000};
    QorScopedUserIDs mUseIDs{&mIDs};
    Script mScript;
    Calls mCalls;
    std::string mStderr;
};

const char kUsage[] =
    "usage: taskKicker [-n] executablePath creatorCode EventID classID [ type data ]...\n";

TEST_F(TaskKicker, ArgumentsThatAreNoLaunchGetTheUsageLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"taskKicker"},
        {"taskKicker", "5", "/bin/x", "abc", "evnt", "clas"},
        {"taskKicker", "-n", "5", "/bin/x", "abcd", "evnt"},
        {"taskKicker", "5", "/bin/x", "abcd", "evnt", "clas", "TEXT"},
    };
    for (const std::vector<std::string>& args : cases) {
        mCalls = Calls();
        EXPECT_EQ(Run(args), 1) << args.size();
        EXPECT_EQ(mStderr, kUsage);
        EXPECT_TRUE(Steps().empty());
    }
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(PendingFiles(), 0u);
}

TEST_F(TaskKicker, AnUnknownOptionGetsTheUsageLineAndTheLaunchGoesOn) {
    AtTheConsole();
    EXPECT_EQ(RunTask({"-x"}), 0);
    EXPECT_NE(mStderr.find(kUsage), std::string::npos) << mStderr;
    EXPECT_EQ(Logged(), std::vector<std::string>{Result(0)});
}

TEST_F(TaskKicker, EventDataThatLooksLikeAnOptionIsData) {
    AtTheConsole();
    EXPECT_EQ(Run({"taskKicker", "-n", "5", "/bin/x", "abcd", "evnt", "clas", "TEXT", "-v", "exAG",
                   "-u"}),
              0);
    EXPECT_EQ(mStderr, "");
    EXPECT_EQ(Steps(), (std::vector<std::string>{"IsLaunchable", "LaunchTheAppAsNewInstance",
                                                 "BuildEvent", "DoEvent"}))
        << "-u after the positional arguments is no option";
}

TEST_F(TaskKicker, TheLogIdentityIsTheCommandOrItsLastOption) {
    struct Case {
        std::vector<std::string> options;
        std::string identity;
    };
    const Case cases[] = {
        {{}, "/usr/lib/taskKicker"},
        {{"-n"}, "-n"},
        {{"-n", "-u"}, "-u"},
        {{"-nu"}, "-nu"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"/usr/lib/taskKicker"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"5", "/bin/x", "abcd", "evnt", "clas"});
        size_t before = mLog.Lines().size();
        (void)Run(args);
        ASSERT_GT(mLog.Lines().size(), before);
        EXPECT_EQ(mLog.Lines().back().identity, c.identity);
        EXPECT_EQ(mLog.Lines().back().option, LOG_PID);
        EXPECT_EQ(mLog.Lines().back().facility, LOG_USER);
    }
}

TEST_F(TaskKicker, AtTheConsoleTheTargetIsStartedWhenNeededAndGetsTheEvent) {
    AtTheConsole();
    EXPECT_EQ(RunTask(), 0);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"IsLaunchable", "IsLaunched", "LaunchTheApp",
                                                 "BuildEvent", "DoEvent"}));
    EXPECT_EQ(mCalls.buildPids, std::vector<pid_t>{0});
    EXPECT_EQ(Logged(), std::vector<std::string>{Result(0)});

    mCalls = Calls();
    mScript.running = true;
    EXPECT_EQ(RunTask(), 0);
    EXPECT_EQ(Steps(),
              (std::vector<std::string>{"IsLaunchable", "IsLaunched", "BuildEvent", "DoEvent"}));

    // -n: a further instance, addressed by its own process.
    mCalls = Calls();
    EXPECT_EQ(RunTask({"-n"}), 0);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"IsLaunchable", "LaunchTheAppAsNewInstance",
                                                 "BuildEvent", "DoEvent"}));
    EXPECT_EQ(mCalls.buildPids, std::vector<pid_t>{4711});
    EXPECT_EQ(PendingFiles(), 0u);
    EXPECT_EQ(mIDs.Switches(), (std::vector<uid_t>{1000, 1000, 1000}));
}

TEST_F(TaskKicker, AStartThatFailsIsLoggedAndNotHandedOff) {
    AtTheConsole();
    mScript.launch = -1;
    EXPECT_EQ(RunTask(), -1);
    EXPECT_EQ(ExitStatusFor(-1), 255);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"IsLaunchable", "IsLaunched", "LaunchTheApp"}));
    EXPECT_EQ(Logged(), std::vector<std::string>{Result(-1)});
    EXPECT_EQ(PendingFiles(), 0u);
}

TEST_F(TaskKicker, TheEventIsBuiltAgainWithTheStartingEffectiveID) {
    struct Case {
        const char* what;
        bool atConsole;
        std::vector<OSStatus> builds;
        std::vector<uid_t> buildIDs;
        OSStatus status;
    };
    const Case cases[] = {
        {"not at the console", false, {0}, {0}, 0},
        {"at the console, port not registered", true, {1005, 0}, {1000, 0}, 0},
        {"at the console, no task access", true, {1003, 0}, {1000, 0}, 0},
        {"at the console, no bootstrap port", true, {1004, 0}, {1000, 0}, 0},
        // Handed off to the secondary launcher, opened at once; the event this command never
        // built then fails to go.
        {"still out of reach", true, {1005, 1004}, {1000, 0}, -1},
        {"another failure is not retried", true, {1006}, {1000}, 1006},
    };
    for (const Case& c : cases) {
        // Started with the real ID 1000 and the effective ID 0: everything runs as 1000 but
        // the one retry, which may reach what 1000 cannot.
        QorFakeUserIDs ids(1000, 0);
        QorScopedUserIDs useIDs(&ids);
        mConsole.SetSession(c.atConsole ? std::optional(OwnConsoleSession()) : std::nullopt);
        mScript.running = true;
        mScript.builds = c.builds;
        mCalls = Calls();
        EXPECT_EQ(RunTask(), c.status) << c.what;
        EXPECT_EQ(mCalls.buildEffectiveIDs, c.buildIDs) << c.what;
        std::vector<uid_t> expected = {1000};
        if (c.buildIDs.back() == 0)
            expected.insert(expected.end(), {0, 1000});
        EXPECT_EQ(ids.Switches(), expected) << c.what;
        EXPECT_EQ(ids.EffectiveUserID(), 1000u) << c.what;
    }
}

TEST_F(TaskKicker, TheSuperUserIsNotRetriedAndTheLaunchGoesToTheLoginItem) {
    QorFakeUserIDs ids(0, 0);
    QorScopedUserIDs useIDs(&ids);
    mScript.running = true;
    EXPECT_EQ(RunTask(), kQorLaunchNoTaskAccess);
    EXPECT_EQ(ExitStatusFor(kQorLaunchNoTaskAccess), 235);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"IsLaunchable", "IsLaunched"}));
    EXPECT_EQ(ids.Switches(), std::vector<uid_t>{0});
    EXPECT_EQ(Logged(), (std::vector<std::string>{HandOffFailed(1003), Result(1003)}));
    EXPECT_EQ(PendingFiles(), 1u);
    ASSERT_EQ(LoginItems(), 1);
    EXPECT_EQ(std::string(
                  ReturnLoginItemPropertyAtIndex(kCFPreferencesCurrentUser, kLoginItemFullPath, 0)),
              mRoot.Path() + kSecondaryLaunchAppPath);
    EXPECT_STREQ(ReturnLoginItemPropertyAtIndex(kCFPreferencesCurrentUser, kLoginItemHide, 0),
                 "true");
}

TEST_F(TaskKicker, ADeliveryThatFailsIsHandedOffToTheOpenedSecondaryLauncher) {
    AtTheConsole();
    mScript.running = true;
    mScript.send = procNotFound;
    EXPECT_EQ(RunTask(), 0);
    EXPECT_EQ(Logged(), std::vector<std::string>{Result(0)});
    EXPECT_EQ(PendingFiles(), 1u);
    EXPECT_EQ(LoginItems(), 0);
    EXPECT_TRUE(launcher_test::WaitForLine(mRoot.Opened()));
}

TEST_F(TaskKicker, WhatIsNoPlainExecutableOrAsksForTheUserSpaceIsHandedOffSilently) {
    struct Case {
        const char* what;
        bool plainExecutable;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"a bundle", false, {}},
        {"-u", true, {"-u"}},
        {"-n -u", true, {"-n", "-u"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(mRoot.PendingFolder());
        std::filesystem::remove(mRoot.LoginItemsFile());
        mScript.plainExecutable = c.plainExecutable;
        for (int run = 0; run < 2; ++run) {
            mCalls = Calls();
            mLog = QorFakeSystemLog();
            EXPECT_EQ(RunTask(c.options), 0) << c.what;
            EXPECT_EQ(Steps(), std::vector<std::string>{"IsLaunchable"}) << c.what;
            // The hand-off's own line, since nobody is at the console; no result line.
            EXPECT_EQ(Logged(), std::vector<std::string>{HandOffFailed(1003)}) << c.what;
        }
        // Once, however often the same launch is handed off.
        EXPECT_EQ(PendingFiles(), 1u) << c.what;
        EXPECT_EQ(LoginItems(), 1) << c.what;
    }
}

TEST_F(TaskKicker, ALaunchThatCannotBeLeftPendingIsReported) {
    // No home folder: no pending folder.
    std::filesystem::remove_all(mRoot.Home());
    EXPECT_EQ(RunTask({"-u"}), kQorLaunchPendingNotWritten);
    EXPECT_EQ(Logged(), std::vector<std::string>{HandOffFailed(kQorLaunchPendingNotWritten)});
    std::filesystem::create_directories(mRoot.Home());

    // Too long to read back whole: never left to be delivered cut.
    mLog = QorFakeSystemLog();
    const std::string data(300, 'd');
    EXPECT_EQ(Run({"taskKicker", "-u", "5", "/bin/x", "abcd", "evnt", "clas", "TEXT", data}),
              kQorLaunchPendingWouldChange);
    EXPECT_EQ(Logged(), std::vector<std::string>{HandOffFailed(kQorLaunchPendingWouldChange)});
    EXPECT_EQ(PendingFiles(), 0u);
    EXPECT_EQ(LoginItems(), 0);

    // The same from a failed delivery: the result line says so.
    AtTheConsole();
    mLog = QorFakeSystemLog();
    mScript.running = true;
    mScript.send = procNotFound;
    EXPECT_EQ(Run({"taskKicker", "5", "/bin/x", "abcd", "evnt", "clas", "TEXT", data}),
              kQorLaunchPendingWouldChange);
    EXPECT_EQ(Logged(),
              (std::vector<std::string>{HandOffFailed(kQorLaunchPendingWouldChange),
                                        "launch for id = 5 abcd event = evnt result = 1008\n"}));
}

TEST_F(TaskKicker, WithoutTheSecondaryLauncherTheLaunchStaysPending) {
    std::filesystem::remove_all(mRoot.Path() + kSecondaryLaunchAppPath);
    EXPECT_EQ(RunTask({"-u"}), 0);
    EXPECT_EQ(Logged(), std::vector<std::string>{HandOffFailed(kQorFileNotFoundErr)});
    EXPECT_EQ(gSecondaryLaunchRefErr, kQorFileNotFoundErr);
    EXPECT_EQ(PendingFiles(), 1u);
    EXPECT_EQ(LoginItems(), 0);
}

TEST(TaskKickerExitStatus, IsTheLowByteOfTheStatus) {
    const std::pair<int32_t, int> cases[] = {
        {0, 0}, {1, 1}, {1003, 235}, {-600, 168}, {-1, 255}, {1007, 239}, {-43, 213},
    };
    for (auto [status, exit] : cases)
        EXPECT_EQ(ExitStatusFor(status), exit) << status;
}

} // namespace
