#include "EventWire.h"
#include "EventsTestSupport.h"
#include "FileRefsAlias.h"
#include "MachPortFolder.h"
#include "MachPorts.h"
#include "SampleProductFormat.h"
#include "SampleProductOptions.h"
#include "SampleProductRecord.h"
#include "TestFiles.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using events_test::Desc;
using events_test::MakeEvent;
using events_test::TempRoot;
using qor_test::ReadFile;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> AliasFor(const std::string& path) {
    FSRef ref;
    std::vector<uint8_t> alias;
    EXPECT_EQ(FSPathMakeRef(path.c_str(), &ref), 0);
    EXPECT_EQ(FSNewAlias(nullptr, &ref, &alias), 0);
    return alias;
}

TEST(SampleProduct, ValuesAreWrittenReadably) {
    TempRoot root;
    std::vector<uint8_t> alias = AliasFor(root.Path());
    Desc list, record, text, number, small, magnitude, aliasDesc, badAlias;
    int32_t minusTwelve = -12;
    int16_t three = 3;
    uint32_t big = 4000000000u;
    ASSERT_EQ(AECreateDesc(typeChar, "a \"b\"\\\n\x01", 8, &text), noErr);
    ASSERT_EQ(AECreateDesc(typeSInt32, &minusTwelve, 4, &number), noErr);
    ASSERT_EQ(AECreateDesc(typeSInt16, &three, 2, &small), noErr);
    ASSERT_EQ(AECreateDesc(typeMagnitude, &big, 4, &magnitude), noErr);
    ASSERT_EQ(AECreateDesc(typeAlias, alias.data(), long(alias.size()), &aliasDesc), noErr);
    ASSERT_EQ(AECreateDesc(typeAlias, "QALS", 4, &badAlias), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    ASSERT_EQ(AEPutDesc(&list, 0, &*aliasDesc), noErr);
    ASSERT_EQ(AEPutDesc(&list, 0, &*small), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, true, &record), noErr);
    ASSERT_EQ(AEPutKeyDesc(&record, QorCode("it's"), &*magnitude), noErr);

    struct Case {
        const AEDesc& value;
        std::string text;
    };
    const Case cases[] = {
        {*text, R"('TEXT':"a \"b\"\\\n\x01")"},
        {*number, "'long':-12"},
        {*magnitude, "'magn':4000000000"},
        {*aliasDesc, "'alis':\"" + root.Path() + "\""},
        {*badAlias, R"('alis':"QALS")"},
        {*list, "list['alis':\"" + root.Path() + "\", 'shor':3]"},
        {*record, R"(reco{'it\'s'='magn':4000000000})"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleProductValue(c.value), c.text);
    EXPECT_EQ(SampleProductCode(0x41000A42), R"('A\x00\nB')");
}

TEST(SampleProduct, RecordIsNeverWrittenThroughALinkOrIntoAStrangersFile) {
    TempRoot root;
    passwd* account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    std::string home = root.Path() + account->pw_dir;
    fs::create_directories(home);
    std::string exe = root.Path() + "/Applications/Densor";
    fs::create_directories(fs::path(exe).parent_path());
    fs::create_symlink(root.Path() + "/elsewhere", exe + ".record");

    std::vector<std::string> candidates = SampleProductRecordCandidates("", exe);
    EXPECT_EQ(candidates, (std::vector<std::string>{exe + ".record", home + "/Densor.record"}));
    {
        SampleProductRecord record;
        ASSERT_TRUE(record.Open(candidates));
        EXPECT_EQ(record.Path(), home + "/Densor.record");
        record.Write("start", "x=1");
    }
    EXPECT_FALSE(fs::exists(root.Path() + "/elsewhere"));
    EXPECT_EQ(ReadFile(home + "/Densor.record"),
              "start pid=" + std::to_string(getpid()) + " x=1\n");
    EXPECT_EQ(SampleProductRecordCandidates("/x/y", exe), std::vector<std::string>{"/x/y"});

    if (geteuid() == 0) { // another user's file where the record would go
        std::string stranger = root.Path() + "/Applications/Custorix";
        std::ofstream(stranger + ".record") << "theirs\n";
        ASSERT_EQ(chown((stranger + ".record").c_str(), events_test::kNobody, -1), 0);
        SampleProductRecord record;
        ASSERT_TRUE(record.Open(SampleProductRecordCandidates("", stranger)));
        EXPECT_EQ(record.Path(), home + "/Custorix.record");
        EXPECT_EQ(ReadFile(stranger + ".record"), "theirs\n");
    }
}

TEST(SampleProduct, OptionsAndTheBundlesCreator) {
    TempRoot root;
    std::string bundle = root.Path() + "/Applications/Renovix.app";
    fs::create_directories(bundle + "/Contents/MacOS");
    std::ofstream(bundle + "/Contents/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
           "<key>CFBundleExecutable</key><string>Renovix</string>"
           "<key>CFBundleSignature</key><string>uTGM</string></dict></plist>";
    std::string exe = bundle + "/Contents/MacOS/Renovix";
    std::vector<std::string> args = {exe, "--sample-idle=7", "-x", "--sample-record=/r"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    SampleProductOptions options = SampleProductReadOptions(int(argv.size()), argv.data(), "");
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.executable, exe);
    EXPECT_EQ(options.creator, QorCode("uTGM"));
    EXPECT_EQ(options.idleSeconds, 7u);
    EXPECT_EQ(options.recordFile, "/r");
    EXPECT_EQ(options.arguments, args);

    for (const char* bad : {"--sample-idle=-1", "--sample-idle=soon", "--sample-creator=abc"}) {
        char* badArgv[] = {args[0].data(), const_cast<char*>(bad)};
        EXPECT_NE(SampleProductReadOptions(2, badArgv, "").error, "") << bad;
    }
    EXPECT_EQ(SampleProductBundleCreator(root.Path() + "/Applications/Renovix"), 0u);
}

// Waits (bounded) until the record file holds text.
bool AwaitRecord(const std::string& path, const std::string& text) {
    for (int i = 0; i < 500; ++i) {
        if (ReadFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The built program installed in a bundle under a temporary root: it registers both ports,
// records every event it is sent (and a malformed message it drops), and stops on SIGTERM.
TEST(SampleProduct, InstalledProgramRecordsEventsItReceives) {
    TempRoot root;
    std::string bundle = root.Path() + "/Applications/Ombrix.app";
    fs::create_directories(bundle + "/Contents/MacOS");
    std::ofstream(bundle + "/Contents/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
           "<key>CFBundleExecutable</key><string>Ombrix</string>"
           "<key>CFBundleSignature</key><string>OMBx</string></dict></plist>";
    std::string exe = bundle + "/Contents/MacOS/Ombrix";
    fs::copy_file(QORSCHED_SAMPLE_PRODUCT, exe);
    std::string recordPath = exe + ".record";

    pid_t product = fork();
    ASSERT_GE(product, 0);
    if (product == 0) {
        if (chdir(root.Path().c_str()) != 0)
            _exit(126);
        execl(exe.c_str(), exe.c_str(), "--sample-idle=30", "two words", nullptr);
        _exit(127);
    }
    ASSERT_TRUE(AwaitRecord(recordPath, "ready pid="));

    task_t task;
    mach_port_t bootstrap, port;
    ASSERT_EQ(task_for_pid(mach_task_self(), product, &task), KERN_SUCCESS);
    ASSERT_EQ(task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap), KERN_SUCCESS);
    ASSERT_EQ(bootstrap_look_up(bootstrap, QorProcessPortName(product).c_str(), &port),
              KERN_SUCCESS);
    Desc byPort, bySignature, list;
    std::vector<uint8_t> alias = AliasFor(root.Path());
    ASSERT_EQ(MakeEvent(QorCode("SCae"), QorCode("SCob"), typeMachPort, port, &byPort), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    ASSERT_EQ(AEPutPtr(&list, 0, typeAlias, alias.data(), long(alias.size())), noErr);
    ASSERT_EQ(AEPutParamDesc(&byPort, keyDirectObject, &*list), noErr);
    ASSERT_EQ(AEPutParamPtr(&byPort, QorCode("pthK"), QorCode("path"), root.Path().c_str(),
                            long(root.Path().size() + 1)),
              noErr);
    ASSERT_EQ(AESendMessage(&*byPort, nullptr, kAENoReply, 0), noErr);
    ASSERT_TRUE(AwaitRecord(recordPath, "event pid="));
    ASSERT_EQ(MakeEvent(QorCode("SCae"), QorCode("SCdn"), typeApplSignature, QorCode("OMBx"),
                        &bySignature),
              noErr);
    ASSERT_EQ(AESendMessage(&*bySignature, nullptr, kAENoReply, 0), noErr);
    ASSERT_TRUE(AwaitRecord(recordPath, "id='SCdn'"));

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = QorPortPath(geteuid(), "sign-OMBx");
    strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    int raw = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(write(raw, "QoAE\0\7\0\0\0\0\0\0", 12), 12);
    close(raw);
    ASSERT_TRUE(AwaitRecord(recordPath, "dropped pid="));

    kill(product, SIGTERM);
    int status = -1;
    waitpid(product, &status, 0);
    EXPECT_EQ(status, 0);

    std::string pid = "pid=" + std::to_string(product);
    std::string folder = QorPortFolderPath(geteuid());
    std::string expected =
        "start " + pid + " uid=" + std::to_string(getuid()) + " euid=" + std::to_string(geteuid()) +
        " cwd=\"" + root.Path() + "\" exe=\"" + exe + "\" creator='OMBx' root=\"" + root.Path() +
        "\"\n" + "args " + pid + " argc=3 \"" + exe + "\" \"--sample-idle=30\" \"two words\"\n" +
        "ports " + pid + " status=0 \"" + folder + "/AE2000-" + std::to_string(product) + "\" \"" +
        folder + "/sign-OMBx\"\n" + "ready " + pid + "\n" + "event " + pid +
        " class='SCae' id='SCob' '----'=list['alis':\"" + root.Path() + "\"], 'pthK'='path':\"" +
        root.Path() + "\\x00\"\n" + "event " + pid + " class='SCae' id='SCdn'\n" + "dropped " +
        pid + " status=-1702 what=\"event dropped: unsupported version\"\n" + "exit " + pid +
        " events=2 reason=signal\n";
    EXPECT_EQ(ReadFile(recordPath), expected);
    EXPECT_FALSE(fs::exists(socketPath)); // its ports went with it
}

TEST(SampleProduct, PlainExecutableExitsWhenIdle) {
    TempRoot root;
    std::string exe = root.Path() + "/Applications/Densor";
    fs::create_directories(fs::path(exe).parent_path());
    fs::copy_file(QORSCHED_SAMPLE_PRODUCT, exe);
    pid_t product = fork();
    ASSERT_GE(product, 0);
    if (product == 0) {
        execl(exe.c_str(), exe.c_str(), "--sample-idle=0", nullptr);
        _exit(127);
    }
    int status = -1;
    waitpid(product, &status, 0);
    EXPECT_EQ(status, 0);
    std::string record = ReadFile(exe + ".record");
    EXPECT_NE(record.find("creator=none"), std::string::npos) << record;
    EXPECT_NE(record.find("exit pid=" + std::to_string(product) + " events=0 reason=idle\n"),
              std::string::npos)
        << record;
}

} // namespace
