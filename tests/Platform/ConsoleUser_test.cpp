#include "ConsoleUser.h"
#include "ConsoleUserEnvironment.h"
#include "SystemBus.h"
#include "SystemTestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>

using namespace system_test;

namespace {

extern "C" char** environ;

/// A child process started with argv and extra environment entries; ended (SIGTERM, then
/// waited for) with the object. stdoutPipe, when given, receives the child's standard output.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
          int* stdoutPipe = nullptr) {
        int out[2] = {-1, -1};
        if (stdoutPipe && pipe2(out, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> args, envp;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        mPid = fork();
        if (mPid == 0) {
            if (stdoutPipe)
                dup2(out[1], 1);
            int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, 0);
            if (!stdoutPipe)
                dup2(devNull, 1);
            dup2(devNull, 2);
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
        if (stdoutPipe) {
            close(out[1]);
            *stdoutPipe = out[0];
        }
    }
    ~Child() { Stop(); }
    void Stop() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGTERM);
        int status;
        waitpid(mPid, &status, 0);
        mPid = -1;
    }
    pid_t Pid() const { return mPid; }

private:
    pid_t mPid = -1;
};

/// A system dbus-daemon listening at the standard socket under root.
class PrivateSystemBus {
public:
    explicit PrivateSystemBus(const std::string& root) {
        std::filesystem::create_directories(root + "/run/dbus");
        std::string config = root + "/system-bus.conf";
        WriteFile(config,
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                  "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig><type>system</type>"
                  "<listen>unix:path=" +
                      root +
                      "/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>"
                      "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                      "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                      "</policy></busconfig>\n");
        int out = -1;
        mDaemon = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork",
                                     "--nosyslog", "--print-address=1"},
            std::vector<std::string>{}, &out);
        // The address is printed once the bus listens.
        char c;
        while (out >= 0 && read(out, &c, 1) == 1 && c != '\n')
            mAddress += c;
        if (out >= 0)
            close(out);
    }
    bool Ready() const { return !mAddress.empty(); }

private:
    std::unique_ptr<Child> mDaemon;
    std::string mAddress;
};

struct BusDeleter {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusDeleter>;

Bus OpenBus() {
    sd_bus* bus = nullptr;
    return Bus(QorSystemBusOpen(&bus) == 0 ? bus : nullptr);
}

bool WaitForName(sd_bus* bus, const char* name) {
    for (int i = 0; i < 1000; ++i) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int has = 0;
        if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                               name) >= 0)
            sd_bus_message_read(reply, "b", &has);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        if (has)
            return true;
        usleep(10000);
    }
    return false;
}

template <class... Args>
int Call(sd_bus* bus, const char* path, const char* interface, const char* method,
         const char* types, Args... args) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int result = sd_bus_call_method(bus, "org.freedesktop.login1", path, interface, method, &error,
                                    &reply, types, args...);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return result;
}

int SetSessionProperty(sd_bus* bus, const char* name, const char* type, const void* value) {
    const char* path = "/org/freedesktop/login1/session/c1";
    const char* iface = "org.freedesktop.login1.Session";
    if (type[0] == 's')
        return Call(bus, path, "org.freedesktop.DBus.Properties", "Set", "ssv", iface, name, "s",
                    static_cast<const char*>(value));
    return Call(bus, path, "org.freedesktop.DBus.Properties", "Set", "ssv", iface, name, "b",
                *static_cast<const int*>(value));
}

std::string OwnName() {
    std::string name;
    QorAccountHome(geteuid(), nullptr, &name);
    return name;
}

} // namespace

TEST(ConsoleUser, LogindOnThePrivateSystemBusNamesTheActiveGraphicalSession) {
    TempRoot root;
    PrivateSystemBus bus(root.Path());
    ASSERT_TRUE(bus.Ready());
    Child logind({"/usr/bin/python3", "-m", "dbusmock", "--template", "logind"},
                 {"DBUS_SYSTEM_BUS_ADDRESS=" + QorSystemBusAddress()});
    Bus client = OpenBus();
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForName(client.get(), "org.freedesktop.login1"));

    QorConsoleSession session;
    EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1) << "no seat0 yet";

    const std::string name = OwnName();
    ASSERT_GE(Call(client.get(), "/org/freedesktop/login1", "org.freedesktop.DBus.Mock",
                   "AddSession", "ssusb", "c1", "seat0", uint32_t(geteuid()), name.c_str(), 1),
              0);
    EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1)
        << "the mock's session type is no display";

    const int yes = 1, no = 0;
    ASSERT_GE(SetSessionProperty(client.get(), "Type", "s", "x11"), 0);
    ASSERT_GE(SetSessionProperty(client.get(), "Display", "s", ":7"), 0);
    ASSERT_EQ(QorAskLogindForConsoleSession(&session), 0);
    EXPECT_EQ(session.userName, name);
    EXPECT_EQ(session.uid, geteuid());
    EXPECT_EQ(session.sessionId, "c1");
    EXPECT_EQ(session.type, "x11");
    EXPECT_EQ(session.display, ":7");
    EXPECT_EQ(session.leader, 1);

    std::string consoleName;
    uid_t uid = 1;
    gid_t gid = 1;
    ASSERT_TRUE(SCDynamicStoreCopyConsoleUser(&consoleName, &uid, &gid));
    EXPECT_EQ(consoleName, name);
    EXPECT_EQ(uid, geteuid());
    EXPECT_EQ(gid, getegid());

    // Sessions that are not an active graphical user session have nobody at the console.
    struct Change {
        const char* property;
        const char* type;
        const void* value;
        const void* restore;
    };
    const Change changes[] = {
        {"Active", "b", &no, &yes},
        {"Class", "s", "greeter", "user"},
        {"Type", "s", "tty", "wayland"},
        {"Name", "s", "bad/name", name.c_str()},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.property);
        ASSERT_GE(SetSessionProperty(client.get(), change.property, change.type, change.value), 0);
        EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1);
        EXPECT_FALSE(SCDynamicStoreCopyConsoleUser(nullptr, nullptr, nullptr));
        ASSERT_GE(SetSessionProperty(client.get(), change.property, change.type, change.restore),
                  0);
    }
    EXPECT_EQ(QorAskLogindForConsoleSession(&session), 0);
    EXPECT_EQ(session.type, "wayland");

    // logind gone from the bus: nobody, and an error the caller can tell apart.
    logind.Stop();
    EXPECT_LT(QorAskLogindForConsoleSession(&session), 0);
    EXPECT_FALSE(SCDynamicStoreCopyConsoleUser(nullptr, nullptr, nullptr));
}

TEST(ConsoleUser, NoSystemBusMeansNobodyEvenWithABusAddressInTheEnvironment) {
    TempRoot busRoot;
    PrivateSystemBus bus(busRoot.Path());
    ASSERT_TRUE(bus.Ready());
    std::string address = QorSystemBusAddress();
    TempRoot empty; // now the root in use has no bus socket
    ScopedEnv variable("DBUS_SYSTEM_BUS_ADDRESS", address);
    QorConsoleSession session;
    EXPECT_LT(QorAskLogindForConsoleSession(&session), 0);
    EXPECT_FALSE(SCDynamicStoreCopyConsoleUser(nullptr, nullptr, nullptr));
}

TEST(ConsoleUser, FakeStandsInForLogind) {
    QorConsoleSession alice;
    alice.userName = "alice";
    alice.uid = 1000;
    QorFakeConsoleUser fake(alice);
    QorScopedConsoleUser use(&fake);
    std::string name;
    uid_t uid = 0;
    ASSERT_TRUE(SCDynamicStoreCopyConsoleUser(&name, &uid, nullptr));
    EXPECT_EQ(name, "alice");
    EXPECT_EQ(uid, 1000u);
    fake.SetSession(std::nullopt);
    EXPECT_FALSE(SCDynamicStoreCopyConsoleUser(&name, &uid, nullptr));
}

// Started from cron, a program gets the session's variables from a process of the session;
// here the leader is not the user's (as when a root-owned worker leads it), so another
// process of the session tells them.
TEST(ConsoleUserEnvironment, SessionVariablesComeFromTheSessionsProcesses) {
    TempRoot root;
    ScopedEnv display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt);
    const std::string id = "qorsched-test-" + std::to_string(getpid());
    Child member({"/bin/sleep", "30"},
                 {"XDG_SESSION_ID=" + id, "WAYLAND_DISPLAY=wayland-9",
                  "XDG_RUNTIME_DIR=/run/user/99", "DBUS_SESSION_BUS_ADDRESS=unix:path=/x\x01y"});
    const std::string environ = "/proc/" + std::to_string(member.Pid()) + "/environ";
    for (int i = 0; i < 1000 && ReadFile(environ).find(id) == std::string::npos; ++i)
        usleep(1000); // until it has exec'd with its own environment

    QorConsoleSession session;
    session.uid = geteuid();
    session.sessionId = id;
    session.display = ":5";
    QorFakeConsoleUser console(session);
    QorScopedConsoleUser use(&console);

    std::vector<std::string> variables = QorGraphicalSessionVariables(geteuid());
    std::sort(variables.begin(), variables.end());
    // The bus address with a control character is not taken; logind's display fills in.
    EXPECT_EQ(variables, (std::vector<std::string>{"DISPLAY=:5", "WAYLAND_DISPLAY=wayland-9",
                                                   "XDG_RUNTIME_DIR=/run/user/99"}));
    EXPECT_TRUE(QorGraphicalSessionVariables(geteuid() + 1).empty()) << "not the console user";

    const std::vector<std::string> inSession = {"DISPLAY=:1", "XDG_RUNTIME_DIR=/mine"};
    EXPECT_EQ(QorEnvironmentForGraphicalProgram(inSession, geteuid()), inSession);
    std::vector<std::string> fromCron =
        QorEnvironmentForGraphicalProgram({"XDG_RUNTIME_DIR=/mine", "HOME=/h"}, geteuid());
    std::sort(fromCron.begin(), fromCron.end());
    EXPECT_EQ(fromCron,
              (std::vector<std::string>{"DISPLAY=:5", "HOME=/h", "WAYLAND_DISPLAY=wayland-9",
                                        "XDG_RUNTIME_DIR=/run/user/99"}));
}
