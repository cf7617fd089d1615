// The pending-launch folder and its files, in a temporary home folder.

#include "DescriptorTestSupport.h"
#include "KickerTestSupport.h"
#include "PendingLaunch.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace kicker_test;
using namespace QorTaskKicker;

namespace {

/// A descriptor taken over from a launcher command's positional arguments, as taskKicker
/// has it.
class ArgsDescriptor {
public:
    explicit ArgsDescriptor(std::vector<std::string> positional)
        : mArgs(std::move(positional)), mDesc(nullptr, 0, nullptr, -1) {
        mValid = mDesc.InitFromArgs(mArgs.argc(), mArgs.argv()) != 0;
    }
    ZQorScheduledTaskDescriptor* get() { return &mDesc; }
    bool Valid() const { return mValid; }

private:
    TestArgs mArgs;
    ZQorScheduledTaskDescriptor mDesc;
    bool mValid = false;
};

/// Sets the process's file-creation mask for the object's lifetime.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : mOld(umask(mask)) {}
    ~ScopedUmask() { umask(mOld); }

private:
    mode_t mOld;
};

class PendingLaunch : public ::testing::Test {
protected:
    // Hands the launch to the folder as the launcher command does: folder, look-up, file.
    bool Leave(ArgsDescriptor& desc) {
        gTempQorSchedUserDir = GetQorSchedTempFilePath();
        bool existed = false;
        if (!PreparePendingFolder(gTempQorSchedUserDir, &existed))
            return false;
        if (existed && DoesFileExist(desc.get()))
            return true;
        char path[kQorPendingPathSize];
        return WritePendingLaunchFile(desc.get(), path, sizeof path);
    }

    std::string FileName(int32_t index) const {
        char path[kQorPendingPathSize];
        return getTempFilePath(path, index) ? std::filesystem::path(path).filename().string()
                                            : "<none>";
    }

    KickerRoot mRoot;
};

TEST(PendingFileName, FollowsThePattern) {
    struct Case {
        const char* user;
        int pid;
        int32_t index;
        const char* expected;
    };
    const Case cases[] = {
        {"alexander", 4711, 0, "/f/qorschedalexa00004711.000"},
        {"bob", 1, 7, "/f/qorschedbob00000001.007"},
        {"alexa", 99999999, 1234, "/f/qorschedalexa99999999.1234"},
        {"", 12, 3, "/f/qorsched00000012.003"},
    };
    for (const Case& c : cases) {
        char buf[64] = "";
        EXPECT_TRUE(FormatPendingFilePath(buf, sizeof buf, "/f", c.user, c.pid, c.index));
        EXPECT_STREQ(buf, c.expected);
    }
    // Never cut: a name that does not fit is not made at all.
    char small[27] = "unchanged";
    EXPECT_FALSE(FormatPendingFilePath(small, sizeof small, "/f", "alexander", 4711, 0));
    EXPECT_STREQ(small, "unchanged");
}

TEST_F(PendingLaunch, TheFolderIsInThePreferencesFolderAndKeptUntilCleared) {
    const char* folder = GetQorSchedTempFilePath();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(std::string(folder), mRoot.PendingFolder());
    EXPECT_EQ(ModeOf(mRoot.Home() + "/.config"), 0700u) << "made when missing";
    EXPECT_FALSE(std::filesystem::exists(mRoot.PendingFolder())) << "only its path is made";

    // The user's file names carry at most five characters of the account name.
    const std::string name = mRoot.User().substr(0, 5);
    char pid[16];
    snprintf(pid, sizeof pid, "%08d", int(getpid()));
    EXPECT_EQ(FileName(5), "qorsched" + name + pid + ".005");

    {
        launcher_test::TempRoot other;
        std::string otherHome;
        ASSERT_TRUE(QorAccountHome(geteuid(), &otherHome));
        std::filesystem::create_directories(otherHome);
        EXPECT_EQ(std::string(GetQorSchedTempFilePath()), mRoot.PendingFolder()) << "cached";
        ClearQorSchedTempFilePath();
        EXPECT_EQ(std::string(GetQorSchedTempFilePath()),
                  otherHome + "/.config/com.qorvanix.qorsched");
    }
}

TEST_F(PendingLaunch, NoFolderWithoutAHomeFolder) {
    std::filesystem::remove_all(mRoot.Home());
    EXPECT_EQ(GetQorSchedTempFilePath(), nullptr);
    char path[kQorPendingPathSize] = "unchanged";
    EXPECT_FALSE(getTempFilePath(path, 0));
    EXPECT_STREQ(path, "unchanged");
}

TEST_F(PendingLaunch, WhateverIsAtTheFoldersPathBecomesAPrivateFolder) {
    const std::string folder = mRoot.PendingFolder();
    const std::string elsewhere = mRoot.Path() + "/elsewhere";
    std::filesystem::create_directories(elsewhere);
    struct Case {
        const char* what;
        std::function<void()> make;
        bool existed;
        mode_t mode;
    };
    const Case cases[] = {
        {"nothing", [] {}, false, 0700},
        {"a file", [&] { WriteFile(folder, "x"); }, false, 0700},
        {"a link to a folder", [&] { symlink(elsewhere.c_str(), folder.c_str()); }, false, 0700},
        {"a folder", [&] { mkdir(folder.c_str(), 0755); }, true, 0755},
    };
    for (mode_t mask : {mode_t(0), mode_t(022), mode_t(0277)}) {
        for (const Case& c : cases) {
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(mRoot.Home() + "/.config");
            c.make();
            ScopedUmask useMask(mask);
            bool existed = !c.existed;
            EXPECT_TRUE(PreparePendingFolder(folder.c_str(), &existed)) << c.what;
            EXPECT_EQ(existed, c.existed) << c.what;
            EXPECT_EQ(ModeOf(folder) & 07777, c.mode) << c.what << ", umask " << mask;
            EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(folder)));
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(elsewhere)) << "a link's target is left alone";
}

TEST_F(PendingLaunch, OneFilePerLaunchWrittenWholeAndPrivate) {
    ScopedUmask openMask(0);
    ArgsDescriptor scan({"12", "/opt/bin/scan", "Smpl", "evnt", "clas", "exAG", "-x 1"});
    ArgsDescriptor again({"13", "/opt/bin/scan", "Smpl", "evnt", "clas", "exAG", "-x 1"});
    ArgsDescriptor other({"12", "/opt/bin/scan", "Smpl", "evnt", "clas", "exAG", "-x 2"});
    ASSERT_TRUE(Leave(scan));
    ASSERT_EQ(mRoot.PendingNames(), std::vector<std::string>{FileName(0)});
    const std::string file = mRoot.PendingFolder() + "/" + FileName(0);
    EXPECT_EQ(ReadFile(file),
              " 12  \"/opt/bin/scan\"  \"Smpl\"  \"evnt\"  \"clas\" \"exAG\" \"-x 1\" ");
    EXPECT_EQ(ModeOf(mRoot.PendingFolder()), 0700u);
    EXPECT_EQ(ModeOf(file), 0600u);

    // The same launch under another task ID is pending already; another one is not.
    ASSERT_TRUE(Leave(again));
    EXPECT_EQ(mRoot.PendingNames().size(), 1u);
    ASSERT_TRUE(Leave(other));
    EXPECT_EQ(mRoot.PendingNames().size(), 2u);
}

TEST_F(PendingLaunch, NamesInUseArePassedOver) {
    ArgsDescriptor scan({"12", "/opt/bin/scan", "Smpl", "evnt", "clas"});
    gTempFileIndex = 40;
    bool existed;
    ASSERT_TRUE(PreparePendingFolder(GetQorSchedTempFilePath(), &existed));
    // A pending file of an earlier process with our ID, and a writer's leftover.
    WriteFile(mRoot.PendingFolder() + "/" + FileName(40), "earlier");
    WriteFile(mRoot.PendingFolder() + "/." + FileName(41), "half");

    char path[kQorPendingPathSize];
    ASSERT_TRUE(WritePendingLaunchFile(scan.get(), path, sizeof path));
    EXPECT_EQ(std::string(path), mRoot.PendingFolder() + "/" + FileName(42));
    EXPECT_EQ(ReadFile(mRoot.PendingFolder() + "/" + FileName(40)), "earlier");
    EXPECT_EQ(ReadFile(mRoot.PendingFolder() + "/." + FileName(41)), "half");
    EXPECT_EQ(gTempFileIndex, 43);
    EXPECT_EQ(mRoot.PendingNames().size(), 3u) << "no temporary file left behind";
}

TEST_F(PendingLaunch, OnlyPendingFilesDirectlyInTheFolderCount) {
    ArgsDescriptor scan({"12", "/opt/bin/scan", "Smpl", "evnt", "clas", "TEXT", "a b"});
    const std::string line =
        " 1  \"/opt/bin/scan\"  \"Smpl\"  \"evnt\"  \"clas\" \"TEXT\" \"a b\" ";
    gTempQorSchedUserDir = GetQorSchedTempFilePath();
    EXPECT_FALSE(DoesFileExist(scan.get())) << "no folder";
    const std::string folder = mRoot.PendingFolder();
    // Still being written, in a subfolder, cut short, or another launch: not this one.
    WriteFile(folder + "/.qorschedother00000001.000", line);
    WriteFile(folder + "/sub/qorschedother00000001.000", line);
    WriteFile(folder + "/qorschedother00000002.000", " 1  \"/opt/bin/scan\"  \"Smpl\"");
    WriteFile(folder + "/qorschedother00000003.000",
              " 1  \"/opt/bin/scan\"  \"Smpl\"  \"evnt\"  \"clas\" \"TEXT\" \"a c\" ");
    EXPECT_FALSE(DoesFileExist(scan.get()));
    WriteFile(folder + "/qorschedother00000004.000", line);
    EXPECT_TRUE(DoesFileExist(scan.get()));
}

TEST(PendingFile, OnlyWhatReadsBackWholeCanBeLeftPending) {
    // The secondary launcher reads a pending file with 256-byte buffers for the path and the
    // event data; the event data is each parameter in quotes and a blank.
    const std::vector<std::string> head = {"1", "/bin/x", "Smpl", "evnt", "clas"};
    auto with = [&](std::vector<std::string> params) {
        std::vector<std::string> args = head;
        args.insert(args.end(), params.begin(), params.end());
        return args;
    };
    auto pairs = [&](int count) {
        std::vector<std::string> params;
        for (int i = 0; i < count; ++i)
            params.insert(params.end(), {"TEXT", "v"}); // 11 characters each
        return with(params);
    };
    const std::string text255 = std::string(255 - 7 - 3, 'd');
    struct Case {
        const char* what;
        std::vector<std::string> args;
        bool whole;
    };
    const Case cases[] = {
        {"no parameters", head, true},
        {"keyed parameters", with({"kydo", "kwd1", "TEXT", "a b"}), true},
        {"a path of 255 bytes", {"1", "/" + std::string(254, 'p'), "Smpl", "evnt", "clas"}, true},
        {"event data of 255 characters", with({"TEXT", text255}), true},
        {"event data of 260 characters", with({"TEXT", text255 + "ddddd"}), false},
        {"23 pairs", pairs(23), true},
        {"24 pairs", pairs(24), false},
        {"an empty parameter", with({"TEXT", ""}), true},
        {"a quote inside a parameter", with({"TEXT", "it's"}), false},
        {"a parameter in quotes", with({"TEXT", "'a'"}), false},
    };
    for (const Case& c : cases) {
        ArgsDescriptor desc(c.args);
        ASSERT_TRUE(desc.Valid()) << c.what;
        EXPECT_EQ(ReadsBackWhole(desc.get()), c.whole) << c.what;
    }
}

} // namespace
