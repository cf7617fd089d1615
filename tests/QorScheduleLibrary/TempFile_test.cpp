#include "Crontab.h"
#include "CrontabFake.h"
#include "QorScheduleErr.h"
#include "ScheduleTestSupport.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Expected(const std::string& folder, const char* namePart, int index) {
    char expected[128];
    snprintf(expected, sizeof expected, "%s/qorsched%s%08d.%03d", folder.c_str(), namePart,
             int(getpid()), index);
    return expected;
}

TEST(TempFileName, CarriesAtMostFiveCharactersOfTheUserName) {
    struct {
        const char* user;
        const char* namePart;
    } cases[] = {{"al", "al"}, {"alexander", "alexa"}, {"bobby", "bobby"}, {"x", "x"}};
    for (const auto& c : cases) {
        QorFakeCrontab crontab(std::string(c.user));
        QorScopedCrontab use(&crontab);
        {
            // Names under the real "/tmp" always fit the 64-byte buffer callers use.
            setenv("QORSCHED_ROOT", "", 1);
            char path[kQorTempFilePathSize];
            ASSERT_TRUE(getTempFilePath(path, 3));
            EXPECT_EQ(std::string(path), Expected("/tmp", c.namePart, 3)) << c.user;
            unsetenv("QORSCHED_ROOT");
        }
        TempRoot root;
        char path[PATH_MAX];
        ASSERT_TRUE(getTempFilePath(path, 1234, sizeof path));
        EXPECT_EQ(std::string(path), Expected(root.TempFolder(), c.namePart, 1234)) << c.user;
    }
}

TEST(TempFileName, IsNeverCutAndNeedsAnAccount) {
    TempRoot root;
    QorFakeCrontab crontab(std::string("alexander"));
    QorScopedCrontab use(&crontab);
    char small[20];
    memset(small, 'z', sizeof small);
    EXPECT_FALSE(getTempFilePath(small, 1, sizeof small));
    EXPECT_EQ(small[0], 'z');
    EXPECT_FALSE(getTempFilePath(nullptr, 1));

    QorFakeCrontab noAccount(std::nullopt);
    QorScopedCrontab useNoAccount(&noAccount);
    char path[PATH_MAX] = "untouched";
    EXPECT_FALSE(getTempFilePath(path, 1, sizeof path));
    EXPECT_STREQ(path, "untouched");
    QorTempFile file;
    EXPECT_EQ(file.Create(), kQorSchedErrNoAccount);
}

TEST(TempFile, IsCreatedNewPassingOverNamesInUseAndRemovedAfterwards) {
    TempRoot root;
    QorFakeCrontab crontab(std::string("tester"));
    QorScopedCrontab use(&crontab);

    // Someone put a file and a link at the next two names; the link points at a file of theirs.
    char taken[PATH_MAX];
    char link[PATH_MAX];
    ASSERT_TRUE(getTempFilePath(taken, gTempFileIndex, sizeof taken));
    ASSERT_TRUE(getTempFilePath(link, gTempFileIndex + 1, sizeof link));
    std::string victim = root.Path() + "/victim";
    int fd = open(victim.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(write(fd, "keep", 4), 4);
    close(fd);
    fd = open(taken, O_WRONLY | O_CREAT, 0644);
    close(fd);
    ASSERT_EQ(symlink(victim.c_str(), link), 0);
    int32_t firstIndex = gTempFileIndex;

    std::string created;
    {
        QorTempFile file;
        ASSERT_EQ(file.Create(), 0);
        created = file.Path();
        EXPECT_EQ(created, Expected(root.TempFolder(), "teste", firstIndex + 2));
        EXPECT_EQ(gTempFileIndex, firstIndex + 3);
        struct stat info;
        ASSERT_EQ(lstat(created.c_str(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        ASSERT_EQ(write(file.Fd(), "mine", 4), 4);
    }
    EXPECT_NE(access(created.c_str(), F_OK), 0);
    char content[5] = {};
    fd = open(victim.c_str(), O_RDONLY);
    ASSERT_EQ(read(fd, content, 4), 4);
    close(fd);
    EXPECT_STREQ(content, "keep");
}

} // namespace
