// Finding the event port, building the event and sending it, on fake ports, transport, clock
// and log.

#include "FileRefsAlias.h"
#include "LaunchServices.h"
#include "LauncherTestSupport.h"
#include "SysVersion.h"
#include "ZMachOAppleEventDescriptor.h"

#include <gtest/gtest.h>
#include <syslog.h>

using namespace launcher_test;

namespace {

class LauncherEvent : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(mTool, "#!/bin/sh\nexit 0\n", 0755);
        WriteFile(mDocument, "scan me\n");
        MakeBundle(mApp, "Sample", "Smpl");
    }

    std::string Path(const std::string& inRoot) const { return mRoot.Path() + inRoot; }

    // A launcher for the running plain executable, with the given parameters.
    std::unique_ptr<LauncherFor<>> RunningTool(std::vector<std::string> params) {
        mServices.AddProcess(mTool, 4711);
        std::vector<std::string> args = {"12", mTool, "Smpl", "evnt", "clas"};
        args.insert(args.end(), params.begin(), params.end());
        auto launcher = std::make_unique<LauncherFor<>>(args);
        EXPECT_TRUE((*launcher)->IsLaunched());
        return launcher;
    }

    const AppleEvent& SentEvent() const { return mServices.transport.Events().back(); }

    TempRoot mRoot;
    FakeServices mServices;
    const std::string mTool = Path("/opt/bin/tool");
    const std::string mDocument = Path("/home/user/report.txt");
    const std::string mApp = Path("/Applications/Sample.app");
};

TEST_F(LauncherEvent, PortLookUpStatusesAndWaits) {
    struct Case {
        kern_return_t task, special;
        int misses; // -1: the port never appears
        OSStatus status;
        size_t lookUps;
    };
    const Case cases[] = {
        {KERN_SUCCESS, KERN_SUCCESS, 0, 0, 1},
        {KERN_SUCCESS, KERN_SUCCESS, 3, 0, 4},
        {KERN_SUCCESS, KERN_SUCCESS, 29, 0, 30},
        {KERN_SUCCESS, KERN_SUCCESS, -1, kQorLaunchPortNotRegistered, 30},
        {KERN_FAILURE, KERN_SUCCESS, 0, kQorLaunchNoTaskAccess, 0},
        {KERN_SUCCESS, KERN_FAILURE, 0, kQorLaunchNoBootstrapPort, 0},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.ports.SetTaskResult(c.task);
        services.ports.SetSpecialPortResult(c.special);
        services.ports.SetLookUpMisses(c.misses);
        OSStatus status = 12345;
        mach_port_t port = ZMachOAppleEventLauncher::GetMachPortForPID(4711, &status);
        EXPECT_EQ(status, c.status) << c.misses;
        EXPECT_EQ(port, c.status == 0 ? services.ports.Port() : 0u) << c.misses;
        EXPECT_EQ(services.ports.LookedUpNames().size(), c.lookUps) << c.misses;
        // One second after each miss, on the fake clock.
        size_t misses = c.status == 0 ? c.lookUps - 1 : c.lookUps;
        EXPECT_EQ(services.clock.Sleeps(), std::vector<unsigned>(misses, 1u)) << c.misses;
    }
    char magic[kQorMagicNameSize];
    GetMagicName(magic);
    FakeServices services;
    (void)ZMachOAppleEventLauncher::GetMachPortForPID(4711, nullptr);
    EXPECT_EQ(services.ports.LookedUpNames(),
              std::vector<std::string>{magic + std::string("4711")});
}

TEST_F(LauncherEvent, TargetBySignatureOrByPort) {
    // A bundle without a process ID: addressed by its creator code, no port looked for.
    LauncherFor<> bundle({"12", mApp, "Smpl", "evnt", "clas"});
    EXPECT_EQ(bundle->BuildEvent(0), 0);
    EXPECT_EQ(TargetOf(bundle->mAppleEvent),
              std::make_pair(typeApplSignature, uint32_t(QorCode("Smpl"))));
    EXPECT_TRUE(mServices.ports.TaskPids().empty());

    // With a process ID (a new instance), by that process's port.
    LauncherFor<> instance({"12", mApp, "Smpl", "evnt", "clas"});
    EXPECT_EQ(instance->BuildEvent(815), 0);
    EXPECT_EQ(TargetOf(instance->mAppleEvent),
              std::make_pair(typeMachPort, mServices.ports.Port()));
    EXPECT_EQ(mServices.ports.TaskPids(), std::vector<int>{815});

    // A plain executable: by the port of its running process, found by name.
    auto tool = RunningTool({});
    EXPECT_EQ((*tool)->BuildEvent(0), 0);
    EXPECT_EQ(TargetOf((*tool)->mAppleEvent), std::make_pair(typeMachPort, mServices.ports.Port()));
    EXPECT_EQ(mServices.ports.TaskPids(), (std::vector<int>{815, 4711}));
    // The port found is kept: a second build looks nothing up.
    EXPECT_EQ((*tool)->BuildEvent(0), 0);
    EXPECT_EQ(mServices.ports.TaskPids().size(), 2u);
}

TEST_F(LauncherEvent, TargetFailures) {
    // A plain executable that does not run.
    LauncherFor<> idle({"12", mTool, "Smpl", "evnt", "clas"});
    EXPECT_EQ(idle->BuildEvent(0), kQorLaunchNoProcess);
    EXPECT_FALSE(idle->mEventBuilt);

    // Something that is not classified: only a process ID can address it.
    WriteFile(Path("/opt/notes.txt"), "text\n");
    LauncherFor<> text({"12", Path("/opt/notes.txt"), "Smpl", "evnt", "clas"});
    EXPECT_EQ(text->BuildEvent(0), -1);

    // Nothing found at all: the look-up's status.
    LauncherFor<> missing({"12", Path("/opt/missing"), "Nope", "evnt", "clas"});
    EXPECT_EQ(missing->BuildEvent(0), kLSApplicationNotFoundErr);

    // The port statuses pass through.
    mServices.ports.SetTaskResult(KERN_FAILURE);
    auto tool = RunningTool({});
    EXPECT_EQ((*tool)->BuildEvent(0), kQorLaunchNoTaskAccess);
    EXPECT_FALSE((*tool)->mEventBuilt);
    EXPECT_EQ((*tool)->DoEvent(), -1);
}

TEST_F(LauncherEvent, ParametersBecomeTheDirectObjectAndKeyedValues) {
    auto launcher =
        RunningTool({"path", mDocument, "exAG", "-v", "long", "12x", "shor", "70000", "magn", "-1",
                     "TEXT", "hello", "kydo", "kwd1", "long", "7", "kwd2", "TEXT", "abc"});
    ASSERT_EQ((*launcher)->BuildEvent(0), 0);
    const AppleEvent& event = (*launcher)->mAppleEvent;

    Desc list;
    ASSERT_EQ(AEGetParamDesc(&event, keyDirectObject, typeWildCard, list.get()), noErr);
    long count = 0;
    ASSERT_EQ(AECountItems(list.get(), &count), noErr);
    ASSERT_EQ(count, 5); // exAG stays out
    struct Item {
        DescType type;
        std::string data;
    };
    int32_t twelve = 12, minusOne = -1;
    int16_t wrapped = int16_t(70000 - 65536);
    const Item expected[] = {
        {typeAlias, ""}, // checked below
        {typeSInt32, std::string(reinterpret_cast<char*>(&twelve), 4)},
        {typeSInt16, std::string(reinterpret_cast<char*>(&wrapped), 2)},
        {typeMagnitude, std::string(reinterpret_cast<char*>(&minusOne), 4)},
        {QorCode("TEXT"), "hello"}, // no NUL
    };
    for (long i = 1; i <= count; ++i) {
        Desc item;
        ASSERT_EQ(AEGetNthDesc(list.get(), i, typeWildCard, nullptr, item.get()), noErr);
        EXPECT_EQ((*item).descriptorType, expected[i - 1].type) << i;
        if (i == 1) {
            QorAliasInfo alias;
            std::string bytes = DataOf(*item);
            ASSERT_TRUE(QorAliasRead(bytes.data(), bytes.size(), &alias));
            char resolved[PATH_MAX];
            EXPECT_EQ(alias.path, realpath(mDocument.c_str(), resolved));
        } else {
            EXPECT_EQ(DataOf(*item), expected[i - 1].data) << i;
        }
    }

    // The path's text, with its NUL.
    Desc pathText;
    ASSERT_EQ(AEGetParamDesc(&event, QorCode("pthK"), typeWildCard, pathText.get()), noErr);
    EXPECT_EQ((*pathText).descriptorType, QorCode("path"));
    EXPECT_EQ(DataOf(*pathText), mDocument + std::string(1, '\0'));

    // The keyed parameters after the marker.
    int32_t seven = 7;
    Desc keyed;
    ASSERT_EQ(AEGetParamDesc(&event, QorCode("kwd1"), typeWildCard, keyed.get()), noErr);
    EXPECT_EQ((*keyed).descriptorType, typeSInt32);
    EXPECT_EQ(DataOf(*keyed), std::string(reinterpret_cast<char*>(&seven), 4));
    Desc text;
    ASSERT_EQ(AEGetParamDesc(&event, QorCode("kwd2"), typeWildCard, text.get()), noErr);
    EXPECT_EQ(DataOf(*text), "abc");

    long params = 0;
    ASSERT_EQ(AECountItems(&event, &params), noErr);
    EXPECT_EQ(params, 4); // ----, pthK, kwd1, kwd2
}

TEST_F(LauncherEvent, AMissingPathStillSendsItsText) {
    const std::string gone = Path("/home/user/gone.txt");
    auto launcher = RunningTool({"path", gone});
    ASSERT_EQ((*launcher)->BuildEvent(0), 0);
    const AppleEvent& event = (*launcher)->mAppleEvent;
    Desc list;
    EXPECT_EQ(AEGetParamDesc(&event, keyDirectObject, typeWildCard, list.get()), errAEDescNotFound);
    Desc pathText;
    ASSERT_EQ(AEGetParamDesc(&event, QorCode("pthK"), typeWildCard, pathText.get()), noErr);
    EXPECT_EQ(DataOf(*pathText), gone + std::string(1, '\0'));

    // A keyed path, though, must exist.
    auto keyed = RunningTool({"kydo", "file", "path", gone});
    EXPECT_EQ((*keyed)->BuildEvent(0), kQorFileNotFoundErr);
    EXPECT_FALSE((*keyed)->mEventBuilt);
}

TEST_F(LauncherEvent, OpenOnlyEventsAreNeitherBuiltNorSent) {
    for (const char* event : {"oapp", "none", "    "}) {
        FakeServices services;
        LauncherFor<> launcher({"12", mApp, "Smpl", event, "aevt"});
        EXPECT_EQ(launcher->BuildEvent(0), 0) << event;
        EXPECT_TRUE(launcher->mEventBuilt) << event;
        EXPECT_EQ(launcher->mAppleEvent.descriptorType, typeNull) << event;
        launcher->mAppIsLaunched = true;
        EXPECT_EQ(launcher->DoEvent(), 0) << event;
        EXPECT_TRUE(services.transport.Events().empty()) << event;
    }
}

// The text form of a pending launch is not checked like the arguments; its parameters are.
TEST_F(LauncherEvent, MalformedParametersFromTheTextFormAreRefused) {
    mServices.AddProcess(mTool, 4711);
    const char* cases[] = {
        "TEXT",                           // a type without data
        "\"TEXT\" \"a\" \"long\"",        // ... after a good pair
        "TXT \"a\"",                      // a type of three characters
        "\"kydo\" \"kwd1\" \"TEXT\"",     // a triple without data
        "\"kydo\" \"kw\" \"TEXT\" \"a\"", // a keyword of two characters
    };
    for (const char* data : cases) {
        ZMachOAppleEventLauncher launcher;
        launcher.mTaskDesc = new ZMachOAppleEventDescriptor(nullptr, 0, nullptr, 0);
        ZMachOAppleEventDescriptor& desc = *launcher.mTaskDesc;
        snprintf(desc.mExecPath, size_t(desc.mExecPathSize), "%s", mTool.c_str());
        desc.mCreator = QorCode("Smpl");
        desc.mEvent = QorCode("evnt");
        desc.mClass = QorCode("clas");
        snprintf(desc.mEventData, size_t(desc.mEventDataSize), "%s", data);
        desc.SplitEventDataToSeparateParams();
        EXPECT_EQ(launcher.BuildEvent(0), paramErr) << data;
        EXPECT_FALSE(launcher.mEventBuilt) << data;
    }
}

TEST_F(LauncherEvent, ARepeatedMarkerIsSkippedAsTheCheckerSkipsIt) {
    auto launcher = RunningTool({"kydo", "kwd1", "TEXT", "a", "kydo", "kwd2", "TEXT", "b"});
    ASSERT_EQ((*launcher)->BuildEvent(0), 0);
    Desc second;
    ASSERT_EQ(
        AEGetParamDesc(&(*launcher)->mAppleEvent, QorCode("kwd2"), typeWildCard, second.get()),
        noErr);
    EXPECT_EQ(DataOf(*second), "b");
}

TEST_F(LauncherEvent, DeliveryIsRetriedWhileTheTargetCannotBeReached) {
    auto launcher = RunningTool({"TEXT", "hello"});
    (*launcher)->OpenLogFile("taskKicker");
    ASSERT_EQ((*launcher)->BuildEvent(0), 0);
    mServices.transport.SetResults({-600, -600, -600, -600, -600, 0});
    EXPECT_EQ((*launcher)->DoEvent(), 0);

    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i)
        expected.push_back("Try #" + std::to_string(i) + ", for Smpl, result = -600\n");
    expected.push_back("Try #5, for Smpl, result = 0\n");
    EXPECT_EQ(mServices.log.Messages(), expected);
    EXPECT_EQ(mServices.clock.Sleeps(), std::vector<unsigned>(5, 2u));
    EXPECT_EQ(mServices.transport.Events().size(), 6u);
    for (const auto& line : mServices.log.Lines()) {
        EXPECT_EQ(line.identity, "taskKicker");
        EXPECT_EQ(line.option, LOG_PID);
        EXPECT_EQ(line.facility, LOG_USER);
        EXPECT_EQ(line.priority, LOG_INFO);
    }
}

TEST_F(LauncherEvent, DeliveryGivesUpAfterFifteenTriesOrAtAnotherError) {
    auto launcher = RunningTool({});
    ASSERT_EQ((*launcher)->BuildEvent(0), 0);
    mServices.transport.SetResults(std::vector<OSStatus>(20, procNotFound));
    EXPECT_EQ((*launcher)->DoEvent(), procNotFound);
    EXPECT_EQ(mServices.transport.Events().size(), 15u);
    EXPECT_EQ(mServices.clock.Sleeps(), std::vector<unsigned>(15, 2u));
    EXPECT_TRUE(mServices.log.Lines().empty()); // the log was never opened

    FakeServices other;
    other.transport.SetResults({errAETimeout});
    EXPECT_EQ((*launcher)->DoEvent(), errAETimeout);
    EXPECT_TRUE(other.clock.Sleeps().empty());
}

TEST_F(LauncherEvent, NothingIsSentBeforeTheEventIsBuiltAndTheTargetRuns) {
    LauncherFor<> launcher({"12", mApp, "Smpl", "evnt", "clas"});
    EXPECT_EQ(launcher->DoEvent(), -1);
    ASSERT_EQ(launcher->BuildEvent(0), 0);
    EXPECT_EQ(launcher->DoEvent(), -1); // a bundle is not known to run until launched
    launcher->mAppIsLaunched = true;
    EXPECT_EQ(launcher->DoEvent(), 0);
    EXPECT_EQ(mServices.transport.Events().size(), 1u);
}

TEST_F(LauncherEvent, ResultLinesGoToTheLogOnlyWhileItIsOpen) {
    LauncherFor<> sample({"12", mApp, "Smpl", "evnt", "clas"});
    sample->Logit(0L);
    sample->OpenLogFile("QorSecondaryLaunch");
    sample->Logit(-600L);
    sample->Logit("Tried to launch secondary launch err = -43");
    sample->CloseLogFile();
    sample->Logit(1L);
    EXPECT_EQ(mServices.log.Messages(),
              (std::vector<std::string>{"launch for id = 12 Smpl event = evnt result = -600\n",
                                        "Tried to launch secondary launch err = -43\n"}));
    EXPECT_FALSE(mServices.log.IsOpen());
    EXPECT_EQ(mServices.log.Lines()[0].identity, "QorSecondaryLaunch");
}

} // namespace
