// The task block through the system's real crontab command, for the dedicated account
// "qorschedtest" (created when missing; never root's own crontab). Needs root; each step that
// the account does runs in a child that has become that account completely.

#include "Crontab.h"
#include "CrontabTasks.h"
#include "ForkedStep.h"
#include "FourCharCode.h"
#include "QorScheduleErr.h"
#include "RunProgram.h"
#include "ScopedEnv.h"
#include "TempRoot.h"
#include "TestAccount.h"
#include "TestFiles.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <unistd.h>

namespace {

constexpr char kAccount[] = "qorschedtest";
constexpr char kSpoolFile[] = "/var/spool/cron/crontabs/qorschedtest";
constexpr char kSystemPath[] = "/usr/sbin:/usr/bin:/sbin:/bin";

using qor_test::ReadFile;
using qor_test::RunProgram;

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Counts the crontab commands run while forwarding them to the real command.
class CountingCrontab : public QorCrontab {
public:
    explicit CountingCrontab(QorCrontab& real) : mReal(real) {}
    bool EffectiveUserName(std::string* outName) override {
        return mReal.EffectiveUserName(outName);
    }
    QorCrontabResult List(const char* userName, int outFd, uint64_t maxBytes) override {
        ++mCommands;
        return mReal.List(userName, outFd, maxBytes);
    }
    QorCrontabResult Install(const char* path) override {
        ++mCommands;
        return mReal.Install(path);
    }
    int mCommands = 0;

private:
    QorCrontab& mReal;
};

class RealCrontab : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root: it creates the account " << kAccount
                         << " and works on that account's crontab";
        mPath.emplace("PATH", kSystemPath); // the real crontab, never a stand-in
        if (access("/usr/bin/crontab", X_OK) != 0)
            GTEST_SKIP() << "the cron package is not installed";

        mTempRoot.emplace(qor_test::TempRootOptions{.openToOthers = true});
        mRoot = mTempRoot->Path();
        std::optional<qor_test::TestAccount> account =
            qor_test::EnsureTestAccount(kAccount, mRoot + "/home");
        ASSERT_TRUE(account) << "cannot make the account " << kAccount;
        mUid = account->uid;
        mGid = account->gid;
        (void)RunProgram({"crontab", "-r", "-u", kAccount}); // start without a crontab
    }

    void TearDown() override {
        if (mTempRoot)
            (void)RunProgram({"crontab", "-r", "-u", kAccount});
    }

    // Runs step in a child that has become the test account (groups included); returns what
    // the step reported, "" for success.
    std::string AsTestAccount(const std::function<std::string()>& step) {
        return qor_test::InChild([&] {
            return qor_test::BecomeAccount(mUid, mGid) ? step() : "cannot become the test account";
        });
    }

    // The account's crontab as root lists it, the way the missed-task daemon reads it.
    std::string Listing() {
        std::string path = mRoot + "/listing";
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        QorCrontabResult result = QorCurrentCrontab().List(kAccount, fd, 1 << 20);
        close(fd);
        EXPECT_EQ(result.status, QorCrontabStatus::kDone) << result.message;
        return ReadFile(path);
    }

    void InstallAsRoot(const std::string& text) {
        std::string path = mRoot + "/install";
        std::ofstream(path, std::ios::binary) << text;
        ASSERT_EQ(RunProgram({"crontab", "-u", kAccount, path}), 0);
    }

    std::optional<qor_test::ScopedEnv> mPath;
    std::optional<qor_test::TempRoot> mTempRoot;
    std::string mRoot;
    uid_t mUid = 0;
    gid_t mGid = 0;
};

std::string AddTaskAndSave() {
    int32_t err = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
    if (!block)
        return "open failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
    ZQorScheduledTask* task = NewScheduledTask(&err);
    SetTaskEnabled(task, 1);
    SetTaskEventType(task, ZQorScheduledTask::kSnapshot);
    (void)SetTaskName(task, "Round trip", 10, 1);
    (void)SetEvent(task, QorCode("evnt"), QorCode("clas"), "\"exAG\" \"-x\"");
    (void)SetEventLauncher(task, QorCode("abcd"), "/usr/bin/true");
    int16_t every = -1, hour = 3, minute = 17;
    SetTaskScheduleTime(task, &every, &every, &hour, &minute);
    SetTaskScheduleType(task, ZQorScheduledTask::kDaily);
    if ((err = AddScheduledTask(block, task, 1)) != 0)
        return "add failed: " + std::to_string(err);
    err = CloseCrontabTasks(block);
    return err == 0 ? "" : "save failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
}

// Saving an unchanged block a second time must run no command at all.
std::string DisableTaskSavingTwice() {
    CountingCrontab counting(QorCurrentCrontab());
    QorScopedCrontab use(&counting);
    int32_t err = 0;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
    if (!block)
        return "open failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
    if (block->GetNumItems() != 1)
        return "expected one task, read " + std::to_string(block->GetNumItems());
    SetTaskEnabled(block->NthValue(0), 0);
    if ((err = SaveCrontabTasks(block)) != 0)
        return "save failed: " + std::to_string(err) + " " + QorLastCrontabMessage();
    int before = counting.mCommands;
    err = SaveCrontabTasks(block);
    int commands = counting.mCommands - before;
    delete block;
    if (err != 0)
        return "second save failed: " + std::to_string(err);
    return commands == 0 ? "" : "the second save ran " + std::to_string(commands) + " commands";
}

TEST_F(RealCrontab, TheBlockRoundTripsAroundTheUsersOwnLines) {
    const std::string before = "# DO NOT EDIT my notes: this comment is mine\nMAILTO=\"\"\n"
                               "0 1 * * * true first\n";
    const std::string after = "30 4 * * 1 true after\n";

    // No crontab yet: the block alone.
    ASSERT_EQ(AsTestAccount(AddTaskAndSave), "");
    std::string listing = Listing();
    EXPECT_EQ(listing.rfind("#ZovE\tVERSION = 1.0.0\n", 0), 0u) << listing;
    EXPECT_NE(listing.find("# Enc=1 Name=\"Round trip\"  EvType1=3 EvType2=0 Sched=3 \n"
                           " 17 3 * * * \""),
              std::string::npos)
        << listing;

    // The user's lines before and after the block survive a change, byte for byte; crontab's
    // own header stays in the spool file once and never reaches the listing.
    InstallAsRoot(before + listing + after);
    ASSERT_EQ(AsTestAccount(DisableTaskSavingTwice), "");
    listing = Listing();
    EXPECT_EQ(listing.substr(0, before.size()), before) << listing;
    EXPECT_EQ(listing.substr(listing.size() - after.size()), after) << listing;
    EXPECT_NE(listing.find("\n#17 3 * * * \""), std::string::npos) << listing; // disabled
    EXPECT_EQ(Count(listing, "#ZovE"), 2u) << listing;
    EXPECT_EQ(Count(listing, "# DO NOT EDIT THIS FILE"), 0u) << listing;
    std::string spool = ReadFile(kSpoolFile);
    EXPECT_EQ(Count(spool, "# DO NOT EDIT THIS FILE"), 1u) << spool;
    EXPECT_EQ(spool.substr(spool.size() - listing.size()), listing);

    // The temporary listings of every step are gone.
    EXPECT_TRUE(std::filesystem::is_empty(mRoot + "/tmp"));
}

} // namespace
