// The handle layer over the real crontab service, with the stand-in crontab command first on
// PATH and its crontabs inside a temporary root.

#include "CrontabTasks.h"
#include "QorScheduleErr.h"
#include "ScheduleTestSupport.h"
#include "TaskBlockText.h"
#include "ZQorScheduledTaskArray.h"

#include <gtest/gtest.h>

#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace {

class FakeCrontabProgram : public testing::Test {
protected:
    void SetUp() override {
        mOldPath = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (std::string(QORSCHED_FAKE_CRONTAB_DIR) + ":" + mOldPath).c_str(), 1);
        unsetenv("QORSCHED_FAKE_CRONTAB_FAIL");
        mSpool = mRoot.Path() + "/var/spool/cron/crontabs/" + getpwuid(geteuid())->pw_name;
    }
    void TearDown() override {
        setenv("PATH", mOldPath.c_str(), 1);
        unsetenv("QORSCHED_FAKE_CRONTAB_FAIL");
        EXPECT_TRUE(mRoot.TempFiles().empty());
    }
    std::string Spool() const {
        std::ifstream in(mSpool, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void SetSpool(const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(mSpool).parent_path());
        std::ofstream(mSpool, std::ios::binary) << text;
    }

    TempRoot mRoot;
    std::string mOldPath;
    std::string mSpool;
};

TEST_F(FakeCrontabProgram, RoundTripsTheBlockThroughTheCommand) {
    int32_t err = -1;
    ZQorScheduledTaskArray* block = OpenCrontabTasks(&err);
    ASSERT_NE(block, nullptr) << QorLastCrontabMessage();
    EXPECT_EQ(block->GetNumItems(), 0u);
    delete block;

    const std::string user = "# mine\r\n0 1 * * * backup\n";
    SetSpool(user + kBanner + Entry("First", 1) + kTrailer + user);
    block = OpenCrontabTasks(&err);
    ASSERT_NE(block, nullptr) << QorLastCrontabMessage();
    ASSERT_EQ(block->GetNumItems(), 1u);
    SetTaskEnabled(block->NthValue(0), 0);
    ASSERT_EQ(CloseCrontabTasks(block), 0) << QorLastCrontabMessage();

    std::string tab = Spool();
    EXPECT_EQ(tab.substr(0, user.size() + kBanner.size()), user + kBanner);
    EXPECT_EQ(tab.substr(tab.size() - kTrailer.size() - user.size()), kTrailer + user);
    EXPECT_NE(tab.find("\n#0 12 * * * \""), std::string::npos); // disabled now
}

TEST_F(FakeCrontabProgram, ARefusedListingLeavesTheCrontabAlone) {
    const std::string original = "0 1 * * * backup\n";
    SetSpool(original);
    ZQorScheduledTaskArray block(nullptr, 4, 0);
    block.SetDirtyFlag(true);
    for (const char* failure : {"deny", "kill"}) {
        setenv("QORSCHED_FAKE_CRONTAB_FAIL", failure, 1);
        int32_t err = 0;
        EXPECT_EQ(OpenCrontabTasks(&err), nullptr);
        EXPECT_EQ(err, kQorSchedErrCrontabList) << failure;
        EXPECT_EQ(SaveCrontabTasks(&block), kQorSchedErrCrontabList) << failure;
        EXPECT_EQ(Spool(), original);
    }
}

} // namespace
