#include "BackgroundProgram.h"
#include "ConsoleUser.h"
#include "ConsoleUserEnvironment.h"
#include "SystemBus.h"
#include "SystemBusMock.h"
#include "SystemTestSupport.h"

#include <gtest/gtest.h>

using namespace system_test;

namespace {

using qor_test::BackgroundProgram;
using qor_test::MockLogind;
using qor_test::PrivateSystemBus;

// Sets a property of the mock's session: a string (type "s") or a boolean (type "b", an int).
bool SetSessionProperty(MockLogind& logind, const char* name, const char* type, const void* value) {
    if (type[0] == 's')
        return logind.SetSessionProperty(name, "s", static_cast<const char*>(value));
    return logind.SetSessionProperty(name, "b", *static_cast<const int*>(value));
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
    MockLogind logind;
    ASSERT_TRUE(logind.Ready());

    QorConsoleSession session;
    EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1) << "no seat0 yet";

    const std::string name = OwnName();
    ASSERT_TRUE(logind.AddSession(geteuid(), name));
    EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1)
        << "the mock's session type is no display";

    const int yes = 1, no = 0;
    ASSERT_TRUE(logind.SetSessionProperty("Type", "s", "x11"));
    ASSERT_TRUE(logind.SetSessionProperty("Display", "s", ":7"));
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
        ASSERT_TRUE(SetSessionProperty(logind, change.property, change.type, change.value));
        EXPECT_EQ(QorAskLogindForConsoleSession(&session), 1);
        EXPECT_FALSE(SCDynamicStoreCopyConsoleUser(nullptr, nullptr, nullptr));
        ASSERT_TRUE(SetSessionProperty(logind, change.property, change.type, change.restore));
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
    BackgroundProgram member({"/bin/sleep", "30"},
                             {"XDG_SESSION_ID=" + id, "WAYLAND_DISPLAY=wayland-9",
                              "XDG_RUNTIME_DIR=/run/user/99",
                              "DBUS_SESSION_BUS_ADDRESS=unix:path=/x\x01y"});
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
