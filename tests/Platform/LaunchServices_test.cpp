#include "ConsoleUser.h"
#include "LaunchServices.h"
#include "LaunchServicesRegistry.h"
#include "SystemTestSupport.h"

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/file.h>
#include <sys/wait.h>

using namespace system_test;

namespace {

constexpr OSType kTrvX = 0x54727658; // 'TrvX'
constexpr OSType kTscX = 0x54736358; // 'TscX'

// The application folders of a temporary root, with bundles in each.
class LaunchServices : public ::testing::Test {
protected:
    LaunchServices() {
        const std::string r = mRoot.Path();
        mRenovix = r + "/Applications/Tavrin Solutions/Renovix.app";
        mSecondary = r + "/Library/Application Support/Tavrin Solutions Support/Scheduler/"
                         "QorSecondaryLaunch.app";
        mMine = mRoot.Home() + "/Applications/Mine.app";
        MakeBundle(mRenovix, InfoPlist("Renovix", "TrvX", "com.tavrin.Renovix"));
        MakeBundle(mSecondary, InfoPlist("QorSecondaryLaunch", "TscX", "com.tavrin.secondary"));
        MakeBundle(mMine, InfoPlist("Mine", "TrvX", "org.example.mine")); // same creator, later
        std::filesystem::create_directories(r + "/Applications/Folder.app/Contents");
        std::string deep = r + "/Applications";
        for (int i = 0; i < QorAppRegistry::kMaxDepth; ++i)
            deep += "/d";
        MakeBundle(deep + "/Deep.app", InfoPlist("Deep", "Deep"));
    }
    ~LaunchServices() override { LSTerm(); }

    static std::string PathOf(const FSRef& ref) { return ref.path; }

    TempRoot mRoot;
    std::string mRenovix, mSecondary, mMine;
};

// A bundle whose executable writes what it sees into record and, with sleepSeconds, stays.
void MakeRecordingBundle(const std::string& path, const std::string& record, int sleepSeconds = 0) {
    std::string script =
        "i=$(readlink /proc/$$/fd/0); o=$(readlink /proc/$$/fd/1); e=$(readlink /proc/$$/fd/2)\n"
        "{ echo pid=$$; echo sid=$(cut -d' ' -f6 /proc/$$/stat);"
        " echo in=$i; echo out=$o; echo err=$e; echo root=$QORSCHED_ROOT;"
        " echo display=$DISPLAY; echo wayland=$WAYLAND_DISPLAY; echo runtime=$XDG_RUNTIME_DIR;"
        " echo bus=$DBUS_SESSION_BUS_ADDRESS; echo args=\"$*\"; } > '" +
        record + ".tmp' && mv '" + record + ".tmp' '" + record + "'\n";
    if (sleepSeconds > 0)
        script += "sleep " + std::to_string(sleepSeconds) + "\n";
    MakeBundle(path, InfoPlist("Launchable", "LnCh"), false, script);
}

// Started instances of a "#!" script: session leaders (as every started program is; its own
// forks are not) whose command line is the interpreter, then the script.
std::vector<pid_t> ProcessesRunning(const std::string& script) {
    std::vector<pid_t> pids;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        pid_t pid = atoi(entry->d_name);
        if (pid <= 0)
            continue;
        std::string folder = "/proc/" + std::string(entry->d_name);
        std::string cmdline = ReadFile(folder + "/cmdline");
        std::string stat = ReadFile(folder + "/stat");
        size_t close = stat.rfind(')');
        if (cmdline.find(std::string(1, '\0') + script + '\0') == std::string::npos ||
            close == std::string::npos)
            continue;
        char state;
        int parent, group, session = 0;
        if (sscanf(stat.c_str() + close + 1, " %c %d %d %d", &state, &parent, &group, &session) ==
                4 &&
            session == pid)
            pids.push_back(pid);
    }
    closedir(proc);
    return pids;
}

// Each started program leads a process group of its own: ends it with its children.
void Kill(const std::vector<pid_t>& pids) {
    for (pid_t pid : pids)
        kill(-pid, SIGKILL);
}

} // namespace

TEST_F(LaunchServices, RegistryFindsBundlesByCreatorPathIdentifierAndName) {
    QorAppRegistry registry;
    registry.Scan();
    ASSERT_EQ(registry.Apps().size(), 3u); // neither the plist-less folder nor the deep one
    EXPECT_EQ(registry.FindByCreator(kTrvX)->path, mRenovix); // the first folder wins
    EXPECT_EQ(registry.FindByCreator(kTscX)->path, mSecondary);
    EXPECT_EQ(registry.FindByPath(mMine)->identifier, "org.example.mine");
    EXPECT_EQ(registry.FindByPath(mRoot.Path() + "/Applications/Folder.app"), nullptr);
    EXPECT_EQ(registry.FindByBundleID("COM.TAVRIN.RENOVIX")->path, mRenovix);
    EXPECT_EQ(registry.FindByName("Mine")->path, mMine);
    EXPECT_EQ(registry.FindByName("Mine.app")->path, mMine);
    EXPECT_EQ(registry.FindByCreator(0), nullptr);
}

TEST_F(LaunchServices, LookUpsAnswerWithReferencesOrNotFound) {
    FSRef ref;
    ASSERT_EQ(LSGetApplicationForInfo(0, kTscX, nullptr, kLSRolesAll, &ref), 0);
    EXPECT_EQ(PathOf(ref), mSecondary);
    EXPECT_EQ(LSGetApplicationForInfo(0, 0x4e6f6e65 /* 'None' */, nullptr, kLSRolesAll, &ref),
              kLSApplicationNotFoundErr);
    EXPECT_EQ(LSGetApplicationForInfo(0, 0, nullptr, kLSRolesAll, &ref), kQorParamErr);

    struct Case {
        OSType creator;
        const char* identifier;
        const char* name;
        OSStatus status;
        std::string path;
    };
    const Case cases[] = {
        {kTrvX, nullptr, nullptr, 0, mRenovix},
        {0, "org.example.mine", nullptr, 0, mMine},
        {0, nullptr, "Renovix", 0, mRenovix},
        {kTrvX, nullptr, "Mine.app", 0, mMine}, // every criterion must match
        {kTscX, "org.example.mine", nullptr, kLSApplicationNotFoundErr, ""},
        {0, nullptr, "Nothing", kLSApplicationNotFoundErr, ""},
        {0, nullptr, nullptr, kQorParamErr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_EQ(LSFindApplicationForInfo(c.creator, c.identifier, c.name, &ref), c.status);
        if (c.status == 0) {
            EXPECT_EQ(PathOf(ref), c.path);
        }
    }
}

TEST_F(LaunchServices, InitKeepsTheRegistryUntilTerm) {
    ASSERT_EQ(LSInit(kLSInitializeDefaults), 0);
    std::string later = mRoot.Path() + "/Applications/Later.app";
    MakeBundle(later, InfoPlist("Later", "Latr"));
    FSRef ref;
    EXPECT_EQ(LSGetApplicationForInfo(0, 0x4c617472, nullptr, kLSRolesAll, &ref),
              kLSApplicationNotFoundErr);
    ASSERT_EQ(LSTerm(), 0);
    EXPECT_EQ(LSGetApplicationForInfo(0, 0x4c617472, nullptr, kLSRolesAll, &ref), 0);
}

TEST_F(LaunchServices, ItemFlagsTellApplicationsFromOtherItems) {
    const std::string r = mRoot.Path();
    const std::string elf = ElfHead(), appImage = ElfHead(true);
    WriteFile(r + "/bin/tool", elf, 0755);
    WriteFile(r + "/bin/App.AppImage", appImage, 0755);
    WriteFile(r + "/bin/script", "#!/bin/sh\n", 0755);
    WriteFile(r + "/bin/.hidden", "x");
    MakeBundle(r + "/Frameworks/Kit.framework", InfoPlist("Kit", ""));
    struct Case {
        std::string path;
        uint32_t flags;
        OSType creator;
    };
    const Case cases[] = {
        {mRenovix, 0x2 | 0x4 | 0x8 | 0x80, kTrvX},
        {r + "/Frameworks/Kit.framework", 0x2 | 0x8, 0},
        {r + "/Applications/Folder.app", 0x8, 0},
        {r + "/bin", 0x8, 0},
        {r + "/bin/tool", 0x1, 0}, // a plain executable is told by its contents, not here
        {r + "/bin/script", 0x1, 0},
        {r + "/bin/App.AppImage", 0x1 | 0x4 | 0x80, 0},
        {r + "/bin/.hidden", 0x1 | 0x40, 0},
    };
    for (const Case& c : cases) {
        FSRef ref;
        ASSERT_EQ(FSPathMakeRef(c.path.c_str(), &ref), 0) << c.path;
        LSItemInfoRecord info = {0xffffffff, 1, 1};
        ASSERT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestAllFlags, &info), 0) << c.path;
        EXPECT_EQ(info.flags, c.flags) << c.path;
        EXPECT_EQ(info.creator, c.creator) << c.path;
        EXPECT_EQ(info.filetype, 0u);
    }
    FSRef gone;
    ASSERT_EQ(FSPathMakeRef((r + "/bin/.hidden").c_str(), &gone), 0);
    unlink((r + "/bin/.hidden").c_str());
    LSItemInfoRecord info;
    EXPECT_EQ(LSCopyItemInfoForRef(&gone, kLSRequestAllFlags, &info), kQorFileNotFoundErr);
}

// Started from cron the program has no display: it gets the console session's variables.
TEST_F(LaunchServices, OpenStartsTheBundleDetachedInTheUsersGraphicalSession) {
    std::string app = mRoot.Path() + "/Applications/Launchable.app";
    std::string record = mRoot.Path() + "/record";
    MakeRecordingBundle(app, record);

    // The session leader: a process of ours with the session's environment.
    pid_t leader = fork();
    if (leader == 0) {
        const char* env[] = {"DISPLAY=:42", "XDG_RUNTIME_DIR=/run/user/4242",
                             "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/4242/bus",
                             "XDG_SESSION_ID=7", nullptr};
        const char* argv[] = {"sleep", "30", nullptr};
        execve("/bin/sleep", const_cast<char**>(argv), const_cast<char**>(env));
        _exit(127);
    }
    QorConsoleSession session;
    session.userName = "me";
    session.uid = geteuid();
    session.sessionId = "7";
    session.type = "x11";
    session.leader = leader;
    QorFakeConsoleUser console(session);
    QorScopedConsoleUser useConsole(&console);
    ScopedEnv display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt),
        runtime("XDG_RUNTIME_DIR", std::nullopt), bus("DBUS_SESSION_BUS_ADDRESS", "mine");
    // Give the leader time to exec: its environment is only there once it has.
    for (int i = 0;
         i < 1000 && ReadFile("/proc/" + std::to_string(leader) + "/environ").find("DISPLAY=:42") ==
                         std::string::npos;
         ++i)
        usleep(1000);

    FSRef ref, launched;
    ASSERT_EQ(FSPathMakeRef(app.c_str(), &ref), 0);
    FSRef document;
    ASSERT_EQ(FSPathMakeRef(mRenovix.c_str(), &document), 0);
    LSLaunchFSRefSpec launchSpec = {&ref, 1, &document, nullptr, kLSLaunchDefaults, nullptr};
    ASSERT_EQ(LSOpenFromRefSpec(&launchSpec, &launched), 0);
    EXPECT_EQ(PathOf(launched), app);
    ASSERT_TRUE(WaitForFile(record));
    kill(leader, SIGKILL);
    waitpid(leader, nullptr, 0);

    auto fields = Record(ReadFile(record));
    EXPECT_EQ(fields["sid"], fields["pid"]);
    EXPECT_EQ(fields["in"], "/dev/null");
    EXPECT_EQ(fields["out"], "/dev/null");
    EXPECT_EQ(fields["err"], "/dev/null");
    EXPECT_EQ(fields["root"], mRoot.Path());
    EXPECT_EQ(fields["display"], ":42");
    EXPECT_EQ(fields["wayland"], "");
    EXPECT_EQ(fields["runtime"], "/run/user/4242");
    EXPECT_EQ(fields["bus"], "unix:path=/run/user/4242/bus");
    EXPECT_EQ(fields["args"], mRenovix);
}

TEST_F(LaunchServices, InsideTheSessionTheProgramKeepsTheCallersDisplay) {
    std::string app = mRoot.Path() + "/Applications/Launchable.app";
    std::string record = mRoot.Path() + "/record";
    MakeRecordingBundle(app, record);
    QorConsoleSession session;
    session.uid = geteuid();
    session.display = ":42";
    QorFakeConsoleUser console(session);
    QorScopedConsoleUser useConsole(&console);
    ScopedEnv display("DISPLAY", ":1");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(app.c_str(), &ref), 0);
    ASSERT_EQ(LSOpenFSRef(&ref, nullptr), 0);
    ASSERT_TRUE(WaitForFile(record));
    EXPECT_EQ(Record(ReadFile(record))["display"], ":1");
}

TEST_F(LaunchServices, ALaunchInProgressOrARunningApplicationIsNotStartedAgain) {
    std::string app = mRoot.Path() + "/Applications/Launchable.app";
    std::string script = app + "/Contents/MacOS/Launchable";
    std::string record = mRoot.Path() + "/record";
    MakeRecordingBundle(app, record, 30);
    QorFakeConsoleUser nobody;
    QorScopedConsoleUser useConsole(&nobody);
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(app.c_str(), &ref), 0);

    // Another process is launching it right now.
    std::string lockPath = QorLaunchLockPath(ref.path);
    ASSERT_FALSE(lockPath.empty());
    pid_t holder = fork();
    if (holder == 0) {
        flock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600), LOCK_EX);
        pause();
        _exit(0);
    }
    int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    while (flock(lock, LOCK_EX | LOCK_NB) == 0) { // until the holder has it
        flock(lock, LOCK_UN);
        usleep(1000);
    }
    EXPECT_EQ(LSOpenFSRef(&ref, nullptr), kLSLaunchInProgressErr);
    EXPECT_TRUE(ProcessesRunning(script).empty());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(lock);

    ASSERT_EQ(LSOpenFSRef(&ref, nullptr), 0);
    std::vector<pid_t> first = ProcessesRunning(script);
    if (first.size() != 1u) {
        Kill(first);
        FAIL() << first.size() << " instances";
    }
    // Running already: left as it is. A new instance is started only when asked for.
    EXPECT_EQ(LSOpenFSRef(&ref, nullptr), 0);
    EXPECT_EQ(ProcessesRunning(script), first);
    LSLaunchFSRefSpec launchSpec = {&ref, 0, nullptr, nullptr, kLSLaunchNewInstance, nullptr};
    EXPECT_EQ(LSOpenFromRefSpec(&launchSpec, nullptr), 0);
    std::vector<pid_t> both = ProcessesRunning(script);
    Kill(both);
    EXPECT_EQ(both.size(), 2u);
}

TEST_F(LaunchServices, WhatCannotBeOpenedSaysWhy) {
    const std::string r = mRoot.Path();
    WriteFile(r + "/Applications/Broken.app/Contents/Info.plist", InfoPlist("", "Brkn").ToXML());
    MakeBundle(r + "/Applications/NoFile.app", InfoPlist("Missing", "NoFl"));
    MakeBundle(r + "/Applications/NoExec.app", InfoPlist("Tool", "NoEx"));
    WriteFile(r + "/Applications/NoExec.app/Contents/MacOS/Tool", "#!/bin/sh\n", 0644);
    WriteFile(r + "/notes.txt", "text");
    struct Case {
        std::string path;
        OSStatus status;
    };
    const Case cases[] = {
        {r + "/Applications/Broken.app", kLSNoExecutableErr},
        {r + "/Applications/NoFile.app", kLSNoExecutableErr},
        {r + "/Applications/NoExec.app", kLSNoLaunchPermissionErr},
        {r + "/Applications/Folder.app", kLSNotAnApplicationErr},
        {r + "/notes.txt", kLSNotAnApplicationErr},
    };
    QorFakeConsoleUser nobody;
    QorScopedConsoleUser useConsole(&nobody);
    for (const Case& c : cases) {
        FSRef ref;
        ASSERT_EQ(FSPathMakeRef(c.path.c_str(), &ref), 0) << c.path;
        EXPECT_EQ(LSOpenFSRef(&ref, nullptr), c.status) << c.path;
    }
    FSRef gone;
    ASSERT_EQ(FSPathMakeRef((r + "/notes.txt").c_str(), &gone), 0);
    unlink(gone.path);
    EXPECT_EQ(LSOpenFSRef(&gone, nullptr), kQorFileNotFoundErr);
}
