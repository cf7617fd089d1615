#include "EventsTestSupport.h"
#include "ProcessTable.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using events_test::TempRoot;

namespace {

QorProcessInfo Process(pid_t pid, uid_t uid, std::string command, std::string exe = "",
                       std::vector<std::string> args = {}, bool zombie = false) {
    QorProcessInfo info;
    info.pid = pid;
    info.uid = uid;
    info.commandName = std::move(command);
    info.exePath = std::move(exe);
    info.args = std::move(args);
    info.zombie = zombie;
    return info;
}

TEST(ProcessTable, NameMatchesExactlyAndPrefersTheCallersProcesses) {
    const uid_t me = 1000, other = 1001;
    QorFakeProcessTable table;
    table.Add(Process(10, other, "bash", "/usr/bin/bash"));
    table.Add(Process(11, other, "sleep", "/usr/bin/sleep"));
    table.Add(Process(12, me, "sleep", "/usr/bin/sleep"));
    table.Add(Process(13, me, "sleep", "/usr/bin/sleep"));
    table.Add(Process(20, me, "Ombrix Scanner ", "/opt/x/Ombrix Scanner Helper"));
    table.Add(Process(21, other, "Ombrix Scanner ", "", {"/opt/x/Ombrix Scanner Daemon"}));
    table.Add(Process(30, me, "nightly.sh", "/usr/bin/bash", {"/bin/sh", "/home/u/nightly.sh"}));
    table.Add(Process(40, me, "gone", "/usr/bin/gone", {}, true));
    table.Add(Process(50, me, "renovix-updater", "/opt/renovix-updater-helper"));

    struct Case {
        const char* path;
        pid_t pid;
    };
    const Case cases[] = {
        {"/bin/sleep", 12},                   // own before another user's lower pid
        {"sleep", 12},                        // a bare name works too
        {"/bin/slee", -1},                    // a prefix is not the name
        {"/bin/sh", -1},                      // nor a part of "bash"
        {"/bin/bash", 10},                    // another user's when the caller has none
        {"/opt/x/Ombrix Scanner Daemon", 21}, // cut command name confirmed by an argument
        {"/opt/x/Ombrix Scanner Helper", 20}, // ... or by the executable
        {"/opt/x/Ombrix Scanner Server", -1}, // same first 15 bytes, another program
        {"/home/u/nightly.sh", 30},           // a script shows its own name
        {"/usr/bin/gone", -1},                // zombies do not run
        {"/opt/renovix-updater", -1},         // 15 bytes: may be cut, must be confirmed
        {"/opt/", -1},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        std::string name = path.substr(path.rfind('/') + 1);
        std::string command = name.substr(0, std::min(name.size(), kQorCommandNameMax));
        EXPECT_EQ(QorChooseProcess(table.WithCommandName(command), name, me), c.pid) << c.path;
    }
    QorScopedProcessTable use(&table);
    EXPECT_NE(QorFindPIDForName("/usr/bin/sleep"), -1); // through the installed table
    EXPECT_EQ(QorFindPIDForName(nullptr), -1);
}

pid_t Start(const std::string& program, const std::vector<std::string>& args) {
    pid_t child = fork();
    if (child == 0) {
        // Its own group, so that Stop also ends what a script started (a sleep left running
        // would hold the test runner's output open).
        setpgid(0, 0);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

// Waits (bounded) until the child has replaced its image, so /proc shows the new name.
void AwaitCommandName(pid_t pid, const std::string& name) {
    for (int i = 0; i < 500; ++i) {
        QorProcessInfo info;
        if (QorReadProcessInfo(pid, &info) && info.commandName == name)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Stop(pid_t pid) {
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST(ProcessTable, RealProcessesAreFoundByTheirOwnName) {
    TempRoot root;
    std::string sleep = std::filesystem::exists("/usr/bin/sleep") ? "/usr/bin/sleep" : "/bin/sleep";
    std::string longCopy = root.Path() + "/qorsched-sleeper-with-a-long-name";
    std::filesystem::copy_file(sleep, longCopy);
    std::string script = root.Path() + "/qs-script-test";
    std::ofstream(script) << "#!/bin/sh\nsleep 30\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    pid_t plain = Start(sleep, {"30"});
    pid_t copied = Start(longCopy, {"30"});
    pid_t scripted = Start(script, {});
    AwaitCommandName(plain, "sleep");
    AwaitCommandName(copied, "qorsched-sleepe");
    AwaitCommandName(scripted, "qs-script-test");

    std::vector<QorProcessInfo> sleeps = QorCurrentProcessTable().WithCommandName("sleep");
    auto mine = std::find_if(sleeps.begin(), sleeps.end(),
                             [&](const QorProcessInfo& p) { return p.pid == plain; });
    ASSERT_NE(mine, sleeps.end());
    EXPECT_EQ(mine->uid, geteuid());
    EXPECT_EQ(std::filesystem::path(mine->exePath).filename(), "sleep");
    EXPECT_NE(QorFindPIDForName(sleep.c_str()), -1);
    EXPECT_EQ(QorFindPIDForName("/usr/bin/slee"), -1);
    EXPECT_EQ(QorFindPIDForName(longCopy.c_str()), copied);
    EXPECT_EQ(QorFindPIDForName((longCopy + "s").c_str()), -1);
    EXPECT_EQ(QorFindPIDForName((root.Path() + "/qorsched-sleepe").c_str()), -1);
    EXPECT_EQ(QorFindPIDForName(script.c_str()), scripted);

    Stop(copied);
    EXPECT_EQ(QorFindPIDForName(longCopy.c_str()), -1);
    Stop(plain);
    Stop(scripted);
}

} // namespace
