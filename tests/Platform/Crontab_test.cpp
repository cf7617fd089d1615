// The real crontab service, run against the stand-in crontab command (tools/FakeCrontab) first
// on PATH inside a temporary root.

#include "Crontab.h"
#include "ScopedEnv.h"
#include "TempRoot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

using qor_test::ScopedEnv;

std::string FakeCrontabFolder() {
    const char* build = getenv("QORSCHED_BUILD_DIR");
    return build ? std::string(build) + "/tools/FakeCrontab/bin" : std::string();
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(n));
    return text;
}

class CrontabCommand : public testing::Test {
protected:
    void SetUp() override {
        if (FakeCrontabFolder().empty())
            GTEST_SKIP() << "QORSCHED_BUILD_DIR is not set: run through ctest";
        mTempRoot.emplace();
        mRoot = mTempRoot->Path();
        mPath.emplace("PATH", FakeCrontabFolder() + ":" + (getenv("PATH") ? getenv("PATH") : ""));
        mFail.emplace("QORSCHED_FAKE_CRONTAB_FAIL", std::nullopt);
        ASSERT_TRUE(QorCurrentCrontab().EffectiveUserName(&mUser));
        mSink = open((mRoot + "/listing").c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    }
    void TearDown() override {
        if (mSink >= 0)
            close(mSink);
    }

    std::string WriteFile(const std::string& name, const std::string& text) {
        std::string path = mRoot + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string SpoolFile(const std::string& user) const {
        return mRoot + "/var/spool/cron/crontabs/" + user;
    }

    std::optional<qor_test::TempRoot> mTempRoot; // made only when the test runs
    std::optional<ScopedEnv> mPath, mFail;
    std::string mRoot;
    std::string mUser;
    int mSink = -1;
};

TEST_F(CrontabCommand, TheEffectiveUserIsTheAccountOfTheEffectiveUid) {
    passwd* entry = getpwuid(geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(mUser, entry->pw_name);
}

TEST_F(CrontabCommand, InstallsAndListsAnyBytes) {
    QorCrontabResult listed = QorCurrentCrontab().List(nullptr, mSink, 1 << 20);
    EXPECT_EQ(listed.status, QorCrontabStatus::kNoCrontab);
    EXPECT_EQ(listed.message, "no crontab for " + mUser);

    static const char kBytes[] = "MAILTO=\"\"\r\n0 1 * * * a\0b \xff\xfe\n# end\n";
    const std::string text(kBytes, sizeof kBytes - 1);
    QorCrontabResult installed = QorCurrentCrontab().Install(WriteFile("new", text).c_str());
    ASSERT_EQ(installed.status, QorCrontabStatus::kDone) << installed.message;

    listed = QorCurrentCrontab().List(nullptr, mSink, 1 << 20);
    ASSERT_EQ(listed.status, QorCrontabStatus::kDone) << listed.message;
    EXPECT_EQ(ReadAll(mSink), text);

    EXPECT_EQ(QorCurrentCrontab().List(nullptr, mSink, text.size() - 1).status,
              QorCrontabStatus::kTooLarge);
}

TEST_F(CrontabCommand, ListsAnotherUsersCrontabForTheSuperUserOnly) {
    std::filesystem::create_directories(mRoot + "/var/spool/cron/crontabs");
    std::ofstream(SpoolFile("someone"), std::ios::binary) << "0 2 * * * x\n";
    QorCrontabResult listed = QorCurrentCrontab().List("someone", mSink, 1 << 20);
    if (geteuid() == 0) {
        ASSERT_EQ(listed.status, QorCrontabStatus::kDone) << listed.message;
        EXPECT_EQ(ReadAll(mSink), "0 2 * * * x\n");
    } else {
        EXPECT_EQ(listed.status, QorCrontabStatus::kFailed);
    }
    // A name is never taken for an option.
    EXPECT_EQ(QorCurrentCrontab().List("-r", mSink, 1 << 20).status, QorCrontabStatus::kFailed);
    EXPECT_EQ(QorCurrentCrontab().List("", mSink, 1 << 20).status, QorCrontabStatus::kFailed);
}

TEST_F(CrontabCommand, FailuresAreNeverMistakenForAMissingCrontab) {
    struct {
        const char* mode;
        const char* messagePart;
    } cases[] = {{"deny", "not allowed to use this program"},
                 {"kill", "killed by signal 9"},
                 {"list", "simulated failure"}};
    for (const auto& c : cases) {
        ScopedEnv fail("QORSCHED_FAKE_CRONTAB_FAIL", c.mode);
        QorCrontabResult listed = QorCurrentCrontab().List(nullptr, mSink, 1 << 20);
        EXPECT_EQ(listed.status, QorCrontabStatus::kFailed) << c.mode;
        EXPECT_NE(listed.message.find(c.messagePart), std::string::npos) << listed.message;
    }
}

TEST_F(CrontabCommand, AListingThatCannotBeStoredWholeFails) {
    ASSERT_EQ(QorCurrentCrontab().Install(WriteFile("new", "0 1 * * * a\n").c_str()).status,
              QorCrontabStatus::kDone);
    int readOnly = open("/dev/null", O_RDONLY);
    QorCrontabResult listed = QorCurrentCrontab().List(nullptr, readOnly, 1 << 20);
    close(readOnly);
    EXPECT_EQ(listed.status, QorCrontabStatus::kFailed);
}

TEST_F(CrontabCommand, InstallFailuresAreReported) {
    QorCrontabResult unterminated =
        QorCurrentCrontab().Install(WriteFile("new", "0 1 * * * a").c_str());
    EXPECT_EQ(unterminated.status, QorCrontabStatus::kFailed);
    EXPECT_EQ(unterminated.message,
              "new crontab file is missing newline before EOF, can't install.");
    EXPECT_FALSE(std::filesystem::exists(SpoolFile(mUser)));

    EXPECT_EQ(QorCurrentCrontab().Install("relative/path").status, QorCrontabStatus::kFailed);

    ScopedEnv fail("QORSCHED_FAKE_CRONTAB_FAIL", "install");
    EXPECT_EQ(QorCurrentCrontab().Install(WriteFile("ok", "0 1 * * * a\n").c_str()).status,
              QorCrontabStatus::kFailed);
}

TEST_F(CrontabCommand, AMissingCommandIsAFailure) {
    ScopedEnv path("PATH", mRoot + "/nowhere");
    QorCrontabResult listed = QorCurrentCrontab().List(nullptr, mSink, 1 << 20);
    EXPECT_EQ(listed.status, QorCrontabStatus::kFailed);
    EXPECT_NE(listed.message.find("cannot run crontab"), std::string::npos) << listed.message;
}

} // namespace
