#include "LauncherTestSupport.h"
#include "QorProducts.h"

#include <climits>
#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? resolved : "<missing>";
}

TEST(QorProducts, IsModuleInstalledByPathUnderTheRoot) {
    TempRoot root;
    char found[kModulePathSize] = "untouched";
    EXPECT_FALSE(IsModuleInstalled(0, kDensorPath, found));
    EXPECT_STREQ(found, "untouched");

    WriteFile(root.Path() + kDensorPath, "densor", 0755);
    EXPECT_TRUE(IsModuleInstalled(0, kDensorPath, nullptr));
    EXPECT_TRUE(IsModuleInstalled(0, kDensorPath, found));
    EXPECT_EQ(std::string(found), Resolved(root.Path() + kDensorPath));
    EXPECT_FALSE(IsModuleInstalled(0, kDiskmatePath, nullptr));

    // Asking for nothing finds nothing.
    EXPECT_FALSE(IsModuleInstalled(0, nullptr, found));
}

TEST(QorProducts, IsModuleInstalledByCreatorCode) {
    TempRoot root;
    const std::string palisade = root.Path() + "/Applications/Tavrin Palisade.app";
    MakeBundle(palisade, "Tavrin Palisade", "TpaX");
    char found[kModulePathSize] = "";
    EXPECT_TRUE(IsModuleInstalled(kPalisadeCreatorCode, nullptr, found));
    EXPECT_EQ(std::string(found), Resolved(palisade));
    EXPECT_FALSE(IsModuleInstalled(kVeilguardCreatorCode, nullptr, found));

    // An unknown creator code falls back to the path, when one is given.
    WriteFile(root.Path() + kRenovixPath, "renovix", 0755);
    EXPECT_TRUE(IsModuleInstalled(kRenovixCreatorCode, kRenovixPath, found));
    EXPECT_EQ(std::string(found), Resolved(root.Path() + kRenovixPath));
    EXPECT_FALSE(IsModuleInstalled(kVeilguardCreatorCode, kDiskmatePath, nullptr));
}

TEST(QorProducts, TheScanPathIsChosenOnceAndKept) {
    TempRoot root;
    gCalculatedScheduledScanPath = nullptr;
    EXPECT_STREQ(GetScheduledScanPath(), kWardlinePath);
    WriteFile(root.Path() + kTimedSweeperPath, "scanner", 0755);
    EXPECT_STREQ(GetScheduledScanPath(), kWardlinePath);

    gCalculatedScheduledScanPath = nullptr; // as in a new process
    EXPECT_STREQ(GetScheduledScanPath(), kTimedSweeperPath);
    gCalculatedScheduledScanPath = nullptr;
}

TEST(QorProducts, CheckVersion) {
    struct Case {
        uint32_t version;
        const char* name;
        uint32_t creator;
        bool accepted;
    };
    const Case cases[] = {
        {2047, kWardlinePath, 0, false},
        {2048, kWardlinePath, 0, true},
        {1791, kDiskmatePath, 0, false},
        {1792, kDiskmatePath, 0, true},
        {0xFFFFFFFF, kDensorPath, 0, false},
        {0xFFFFFFFF, nullptr, 0, false},
        {353, nullptr, kRenovixCreatorCode, false},
        {354, kWardlinePath, kRenovixCreatorCode, true},
        {0x80000000, nullptr, kRenovixCreatorCode, true}, // compared unsigned
        {400, kWardlinePath, kPalisadeCreatorCode, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckVersion(c.version, c.name, c.creator), c.accepted)
            << c.version << " " << (c.name ? c.name : "null");
}

} // namespace
