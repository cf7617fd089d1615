#include "Clock.h"
#include "SystemLog.h"
#include "SystemTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <syslog.h>

using namespace system_test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(SystemLog, EveryMessageIsMirroredAsOneLine) {
    TempRoot root;
    std::string file = root.Path() + "/log/qorsched.log";
    std::filesystem::create_directories(root.Path() + "/log");
    ScopedEnv mirror("QORSCHED_LOG_FILE", file);
    ScopedEnv tz("TZ", "UTC");
    tzset();
    QorFakeClock clock(1700000000); // 2023-11-14 22:13:20 UTC
    QorScopedClock useClock(&clock);

    std::string pid = std::to_string(getpid());
    QorOpenLog("taskKicker", LOG_PID, LOG_USER);
    QorSyslog(LOG_INFO, "launch for id = %ld %.4s event = %.4s result = %d\n", 12L, "TrvXjunk",
              "oapp", -600);
    QorSyslog(LOG_INFO, "sleep request recorded: %s\n", "Tue Nov 14 22:13:20 2023\n");
    QorSyslog(LOG_INFO, "%s", "a\nb\x01 100% done");
    QorCloseLog();
    // Several processes append to the same file.
    pid_t child = fork();
    if (child == 0) {
        QorOpenLog("QorSecondaryLaunch", LOG_PID, LOG_USER);
        QorSyslog(LOG_INFO, "child line");
        _exit(0);
    }
    int status;
    waitpid(child, &status, 0);

    const std::string stamp = "2023-11-14 22:13:20 ";
    EXPECT_EQ(
        Lines(ReadFile(file)),
        (std::vector<std::string>{
            stamp + "taskKicker[" + pid + "]: launch for id = 12 TrvX event = oapp result = -600",
            stamp + "taskKicker[" + pid + "]: sleep request recorded: Tue Nov 14 22:13:20 2023",
            stamp + "taskKicker[" + pid + "]: a#012b#001 100% done",
            stamp + "QorSecondaryLaunch[" + std::to_string(child) + "]: child line",
        }));
}

TEST(SystemLog, MirrorIsNotFollowedThroughASymbolicLink) {
    TempRoot root;
    std::string target = root.Path() + "/target";
    WriteFile(target, "precious\n");
    std::filesystem::create_symlink(target, root.Path() + "/log");
    ScopedEnv mirror("QORSCHED_LOG_FILE", root.Path() + "/log");
    QorSyslog(LOG_INFO, "should not land anywhere");
    EXPECT_EQ(ReadFile(target), "precious\n");
}

TEST(SystemLog, FakeCollectsMessagesWithTheirIdentity) {
    QorFakeSystemLog fake;
    QorScopedSystemLog use(&fake);
    QorOpenLog("QorMissedTask - parent", LOG_PID, LOG_USER);
    QorSyslog(LOG_DEBUG, "Try #%d, for %.4s, result = %d\n", 0, "TrvX", 0);
    QorCloseLog();
    EXPECT_FALSE(fake.IsOpen());
    ASSERT_EQ(fake.Lines().size(), 1u);
    EXPECT_EQ(fake.Lines()[0].identity, "QorMissedTask - parent");
    EXPECT_EQ(fake.Lines()[0].option, LOG_PID);
    EXPECT_EQ(fake.Lines()[0].facility, LOG_USER);
    EXPECT_EQ(fake.Lines()[0].priority, LOG_DEBUG);
    EXPECT_EQ(fake.Messages(), std::vector<std::string>{"Try #0, for TrvX, result = 0\n"});
}
