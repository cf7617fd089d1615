#include "EventReceiver.h"
#include "EventsTestSupport.h"
#include "MachPortFolder.h"
#include "MachPorts.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using events_test::BecomeNobody;
using events_test::Desc;
using events_test::kNobody;
using events_test::MakeEvent;
using events_test::TempRoot;

namespace {

// The three steps by which a launch finds a process's event port.
kern_return_t LookUpPort(pid_t pid, mach_port_t* port, std::string name = "") {
    task_t task;
    mach_port_t bootstrap;
    if (kern_return_t result = task_for_pid(mach_task_self(), pid, &task))
        return result;
    if (kern_return_t result = task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap))
        return result;
    if (name.empty())
        name = QorProcessPortName(pid);
    return bootstrap_look_up(bootstrap, name.c_str(), port);
}

OSStatus SendTo(mach_port_t port) {
    Desc event;
    EXPECT_EQ(MakeEvent(QorCode("test"), QorCode("ping"), typeMachPort, port, &event), noErr);
    return AESendMessage(&*event, nullptr, kAENoReply, 0);
}

TEST(MachPorts, PortIsFoundOnceRegisteredAndGoneWithItsReceiver) {
    TempRoot root;
    mach_port_t port = 1;
    EXPECT_EQ(LookUpPort(getpid(), &port), BOOTSTRAP_UNKNOWN_SERVICE); // no folder yet
    EXPECT_EQ(port, MACH_PORT_NULL);
    {
        QorEventReceiver receiver;
        ASSERT_EQ(receiver.Register(QorCode("TscX")), noErr);
        EXPECT_EQ(QorCheckPortFolder(geteuid()), QorPortFolderState::kReady);
        ASSERT_EQ(LookUpPort(getpid(), &port), KERN_SUCCESS);
        uid_t uid = 1;
        std::string name;
        ASSERT_TRUE(QorPortTarget(port, &uid, &name));
        EXPECT_EQ(uid, geteuid());
        EXPECT_EQ(name, "AE2000-" + std::to_string(getpid()));
        mach_port_t signature;
        EXPECT_EQ(LookUpPort(getpid(), &signature, "sign-TscX"), KERN_SUCCESS);
        EXPECT_EQ(LookUpPort(getpid(), &signature, "../sign-TscX"), KERN_INVALID_ARGUMENT);
        EXPECT_EQ(SendTo(port), noErr);
    }
    EXPECT_EQ(LookUpPort(getpid(), &port), BOOTSTRAP_UNKNOWN_SERVICE);
    EXPECT_EQ(task_for_pid(mach_task_self(), 0, &port), KERN_INVALID_ARGUMENT);
    EXPECT_EQ(task_for_pid(mach_task_self(), 0x3fffffff, &port), KERN_FAILURE); // no such pid
}

// Whatever stands at the folder's path, only a real 0700 directory of its user is used: the
// receiver refuses to bind, look-ups miss and sends never connect.
TEST(MachPorts, UnsafePortFolderIsNeverReached) {
    struct Case {
        const char* name;
        void (*spoil)(const std::string& folder);
    };
    const Case cases[] = {
        {"mode 0755", [](const std::string& folder) { chmod(folder.c_str(), 0755); }},
        {"mode 0701", [](const std::string& folder) { chmod(folder.c_str(), 0701); }},
        {"symbolic link",
         [](const std::string& folder) {
             std::filesystem::rename(folder, folder + ".real");
             std::filesystem::create_directory_symlink(folder + ".real", folder);
         }},
        {"other owner",
         [](const std::string& folder) { ASSERT_EQ(chown(folder.c_str(), kNobody, -1), 0); }},
        {"regular file",
         [](const std::string& folder) {
             std::filesystem::remove_all(folder);
             close(open(folder.c_str(), O_CREAT | O_WRONLY, 0700));
         }},
    };
    for (const Case& c : cases) {
        if (geteuid() != 0 && strcmp(c.name, "other owner") == 0)
            continue; // only root can give a folder away
        SCOPED_TRACE(c.name);
        TempRoot root;
        std::string folder = QorPortFolderPath(geteuid());
        mach_port_t port = MACH_PORT_NULL;
        {
            QorEventReceiver receiver;
            ASSERT_EQ(receiver.Register(QorCode("TscX")), noErr);
            ASSERT_EQ(LookUpPort(getpid(), &port), KERN_SUCCESS);
            c.spoil(folder);
            EXPECT_EQ(QorCheckPortFolder(geteuid()), QorPortFolderState::kUnsafe);
            task_t task;
            mach_port_t bootstrap, again;
            ASSERT_EQ(task_for_pid(mach_task_self(), getpid(), &task), KERN_SUCCESS);
            EXPECT_EQ(task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap), KERN_FAILURE);
            EXPECT_NE(LookUpPort(getpid(), &again), KERN_SUCCESS);
            // A port name found before the folder went bad is not used either.
            EXPECT_EQ(SendTo(port), procNotFound);
            Desc event;
            ASSERT_EQ(MakeEvent(1, 2, typeApplSignature, QorCode("TscX"), &event), noErr);
            EXPECT_EQ(AESendMessage(&*event, nullptr, kAENoReply, 0), procNotFound);
        }
        QorEventReceiver late;
        EXPECT_EQ(late.Register(), permErr);
    }
}

// Root against an unprivileged account: nobody cannot take root's task nor reach its sockets;
// root reaches nobody's process through nobody's own folder.
TEST(MachPorts, OnlyTheSameUserOrRootReachesAProcess) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a child as nobody";
    TempRoot root;
    QorEventReceiver receiver;
    ASSERT_EQ(receiver.Register(), noErr);
    std::string rootSocket = receiver.PortPaths().at(0);

    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    pid_t parent = getpid();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Report: 'T' took root's task, 'C' connected to root's socket, 'R' registered, then
        // 'E' once an event from root arrived.
        std::string report;
        if (!BecomeNobody())
            _exit(2);
        task_t task;
        if (task_for_pid(mach_task_self(), parent, &task) == KERN_SUCCESS)
            report += 'T';
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        strncpy(address.sun_path, rootSocket.c_str(), sizeof address.sun_path - 1);
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            report += 'C';
        QorEventReceiver own;
        bool got = false;
        own.InstallHandler(typeWildCard, typeWildCard, [&](const AppleEvent&) { got = true; });
        if (own.Register() == noErr)
            report += 'R';
        report += '.';
        (void)!write(toParent[1], report.data(), report.size());
        pollfd watch{own.FileDescriptor(), POLLIN, 0};
        while (!got && poll(&watch, 1, 10000) > 0)
            own.Dispatch();
        (void)!write(toParent[1], got ? "E" : "-", 1);
        _exit(0);
    }
    char report[8] = {};
    ASSERT_GT(read(toParent[0], report, 4), 0);
    EXPECT_STREQ(report, "R.");
    mach_port_t port = MACH_PORT_NULL;
    ASSERT_EQ(LookUpPort(child, &port), KERN_SUCCESS);
    uid_t uid = 0;
    ASSERT_TRUE(QorPortTarget(port, &uid, nullptr));
    EXPECT_EQ(uid, kNobody);
    EXPECT_EQ(SendTo(port), noErr);
    char delivered = 0;
    ASSERT_EQ(read(toParent[0], &delivered, 1), 1);
    EXPECT_EQ(delivered, 'E');
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

TEST(MachPorts, PortNamesAreSafeFileNames) {
    EXPECT_EQ(QorSignaturePortName(QorCode("TscX")), "sign-TscX");
    EXPECT_EQ(QorSignaturePortName(QorCode("a/%b")), "sign-a%2F%25b");
    EXPECT_EQ(QorSignaturePortName(0x20000a7f), "sign-%20%00%0A%7F");
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_FALSE(QorIsValidPortName(bad)) << bad;
    EXPECT_FALSE(QorIsValidPortName(std::string(65, 'a')));
    EXPECT_TRUE(QorIsValidPortName("sign-a%2F%25b"));
}

TEST(MachPorts, FakeServiceScriptsTheLookUps) {
    QorFakePortService fake;
    QorScopedPortService use(&fake);
    fake.SetLookUpMisses(2);
    mach_port_t port = 0;
    EXPECT_EQ(LookUpPort(4711, &port), BOOTSTRAP_UNKNOWN_SERVICE);
    EXPECT_EQ(LookUpPort(4711, &port), BOOTSTRAP_UNKNOWN_SERVICE);
    EXPECT_EQ(LookUpPort(4711, &port), KERN_SUCCESS);
    EXPECT_EQ(port, fake.Port());
    fake.SetTaskResult(KERN_FAILURE);
    EXPECT_EQ(LookUpPort(4711, &port), KERN_FAILURE);
    EXPECT_EQ(fake.TaskPids(), (std::vector<int>{4711, 4711, 4711, 4711}));
    EXPECT_EQ(fake.LookedUpNames().at(0), "AE2000-4711");
}

} // namespace

namespace {

// The wait between two look-ups ends when the port it waits for is registered, and only then:
// a port registered under another name does not end it.
TEST(MachPorts, WaitForRegistrationEndsWhenThePortAppears) {
    TempRoot root;
    QorEventReceiver self; // makes the folder, so the wait can watch it
    ASSERT_EQ(self.Register(0), noErr);
    task_t task;
    mach_port_t bootstrap;
    ASSERT_EQ(task_for_pid(mach_task_self(), getpid(), &task), KERN_SUCCESS);
    ASSERT_EQ(task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap), KERN_SUCCESS);

    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t child = fork();
    if (child == 0) {
        char byte;
        close(go[1]);
        if (read(go[0], &byte, 1) != 1)
            _exit(1);
        QorEventReceiver receiver;
        if (receiver.Register(QorCode("Wait")) != noErr)
            _exit(1);
        pause(); // until the test ends it
        _exit(0);
    }
    close(go[0]);
    const std::string name = QorProcessPortName(child);
    EXPECT_FALSE(QorWaitForPortRegistration(bootstrap, "sign-None", 1)); // nobody registers it
    ASSERT_EQ(write(go[1], "g", 1), 1);
    EXPECT_TRUE(QorWaitForPortRegistration(bootstrap, name.c_str(), 30));
    mach_port_t port;
    EXPECT_EQ(bootstrap_look_up(bootstrap, name.c_str(), &port), KERN_SUCCESS);
    EXPECT_EQ(SendTo(port), noErr); // a registered name is already listening
    close(go[1]);
    kill(child, SIGTERM);
    int status;
    waitpid(child, &status, 0);
}

} // namespace
