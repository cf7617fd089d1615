#include "SysVersion.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/utsname.h>

namespace {

TEST(SysVersion, ReleaseTextGivesMajorTimesHundredPlusMinor) {
    struct Case {
        const char* release;
        int version;
    };
    const Case cases[] = {
        {"6.1.0-13-amd64", 601}, {"7.9.0", 709}, {"10.4.11", 1004}, {"6", 600},
        {"5.99-rc1", 599},       {"", 0},        {"linux", 0},      {"123456.1", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QorSysVersionFromRelease(c.release), c.version) << c.release;
    EXPECT_EQ(QorSysVersionFromRelease(nullptr), 0);
}

TEST(SysVersion, MagicNameFollowsTheRunningKernel) {
    utsname names;
    ASSERT_EQ(uname(&names), 0);
    EXPECT_EQ(GetSysVersion(), QorSysVersionFromRelease(names.release));
    char magic[kQorMagicNameSize];
    GetMagicName(magic);
    EXPECT_STREQ(magic, GetSysVersion() > 599 ? "AE2000-" : "AppleEvents-");
}

} // namespace
