#include "InstallRoot.h"
#include "ScopedEnv.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

using qor_test::ScopedEnv;

const char* const kKicker =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker";

TEST(InstallRoot, RootFromEnvironmentHoldsBothKindsOfPath) {
    ScopedEnv root("QORSCHED_ROOT", "/tmp/demo/");
    ScopedEnv system("QORSCHED_SYSTEM_ROOT", std::nullopt);
    EXPECT_EQ(QorPath(kKicker), std::string("/tmp/demo") + kKicker);
    EXPECT_EQ(QorSystemPath("/var/log/wtmp"), "/tmp/demo/var/log/wtmp");
}

TEST(InstallRoot, SystemRootOverridesInstallRootForSystemPaths) {
    ScopedEnv root("QORSCHED_ROOT", "/opt/tavrin");
    ScopedEnv system("QORSCHED_SYSTEM_ROOT", "");
    EXPECT_EQ(QorPath("/Applications"), "/opt/tavrin/Applications");
    EXPECT_EQ(QorSystemPath("/tmp"), "/tmp");
}

TEST(InstallRoot, EmptyEnvironmentRootMeansThePathsAsNamed) {
    ScopedEnv root("QORSCHED_ROOT", "");
    ScopedEnv system("QORSCHED_SYSTEM_ROOT", std::nullopt);
    EXPECT_EQ(QorPath(kKicker), kKicker);
    EXPECT_EQ(QorSystemPath("/tmp"), "/tmp");
}

TEST(InstallRoot, DerivesRootFromTheProgramsOwnLocation) {
    struct Case {
        const char* exe;
        bool ok;
        const char* root;
    } cases[] = {
        {"/opt/tavrin/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker",
         true, "/opt/tavrin"},
        {kKicker, true, ""},
        {"/usr/bin/taskKicker", false, ""},
        {"/x/Scheduler/taskKicker", false, ""},
    };
    for (const Case& c : cases) {
        std::string root = "unchanged";
        EXPECT_EQ(QorDeriveRoot(c.exe, kKicker, &root), c.ok) << c.exe;
        EXPECT_EQ(root, c.ok ? c.root : "unchanged") << c.exe;
    }
}

TEST(InstallRoot, ExportPutsBothRootsIntoTheEnvironment) {
    ScopedEnv root("QORSCHED_ROOT", "/tmp/r");
    ScopedEnv system("QORSCHED_SYSTEM_ROOT", std::nullopt);
    QorExportRoots();
    EXPECT_STREQ(getenv("QORSCHED_ROOT"), "/tmp/r");
    EXPECT_STREQ(getenv("QORSCHED_SYSTEM_ROOT"), "/tmp/r");
}

} // namespace
