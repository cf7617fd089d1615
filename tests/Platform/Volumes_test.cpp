#include "SystemTestSupport.h"
#include "Volumes.h"

#include <gtest/gtest.h>
#include <set>

using namespace system_test;

namespace {

// A mount table over folders of a temporary root. Its "disks" are device files every system
// has (/dev/null, /dev/zero, /dev/full) and one that does not exist, declared block devices
// by the injected test; a label is a link in a label folder, as udev makes them.
class Volumes : public ::testing::Test {
protected:
    Volumes() {
        const std::string r = mRoot.Path();
        for (const char* folder :
             {"/sys", "/media/alice/My Data", "/media/alice/Photos", "/run/media/bob/NET",
              "/srv/data", "/srv/home/alice", "/mnt/share", "/labels"})
            std::filesystem::create_directories(r + folder);
        std::filesystem::create_symlink("/dev/null", r + "/labels/Holiday\\x20Pics");
        std::filesystem::create_symlink("/dev/random", r + "/labels/unrelated");

        WriteFile(r + "/mountinfo",
                  "21 1 0:20 / " + r + "/sys rw,nosuid - sysfs sysfs rw\n" + //
                      "25 1 8:1 / " + r + "/srv rw shared:1 - ext4 /dev/zero rw\n" +
                      "26 25 8:2 / " + r + "/srv/home rw shared:2 master:1 - ext4 /dev/full rw\n" +
                      "30 1 8:17 / " + r + "/media/alice/My\\040Data rw - vfat /dev/sdz9 rw\n" +
                      "31 1 8:18 / " + r + "/media/alice/Photos rw - vfat /dev/null rw\n" +
                      "32 1 0:50 / " + r + "/run/media/bob/NET rw - cifs //server/share rw\n" +
                      "33 1 0:51 / " + r + "/mnt/share rw - nfs4 server:/export rw\n" +
                      "malformed line\n");
        mSources.mountInfo = r + "/mountinfo";
        mSources.labelFolder = r + "/labels";
        mSources.mediaFolders = {r + "/media", r + "/run/media", r + "/mnt"};
        mSources.isBlockDevice = [](const std::string& source) {
            static const std::set<std::string> disks = {"/dev/null", "/dev/zero", "/dev/full",
                                                        "/dev/sdz9"};
            return disks.count(source) > 0;
        };
    }

    TempRoot mRoot;
    QorVolumeSources mSources;
};

} // namespace

TEST_F(Volumes, MountInfoIsParsedWithItsEscapes) {
    QorVolumes volumes(mSources);
    ASSERT_EQ(volumes.Mounts().size(), 7u);
    EXPECT_EQ(volumes.Mounts()[2].source, "/dev/full"); // after the optional fields
    EXPECT_EQ(volumes.Mounts()[3].mountPoint, mRoot.Path() + "/media/alice/My Data");
    EXPECT_EQ(volumes.Mounts()[3].fsType, "vfat");
    EXPECT_EQ(volumes.Mounts()[5].source, "//server/share");
}

TEST_F(Volumes, VolumeRootsAndTheirNames) {
    const std::string r = mRoot.Path();
    QorVolumes volumes(mSources);
    struct Case {
        std::string path;
        bool isRoot;
        std::string name;
    };
    const Case cases[] = {
        {r + "/media/alice/Photos", true, "Holiday Pics"}, // labelled
        {r + "/media/alice/My Data/", true, "My Data"},    // no label: the folder's name
        {r + "/run/media/bob/NET", true, "NET"},           // network, but in a media folder
        {r + "/mnt/share", true, "share"},
        {r + "/srv", true, "srv"}, // a disk mounted elsewhere
        {r + "/srv/home", true, "home"},
        {r + "/sys", false, ""},         // neither a disk nor in a media folder
        {r + "/srv/data", false, ""},    // inside a volume
        {r + "/media/alice", false, ""}, // a folder, not a mount point
        {r + "/media/alice/None", false, ""},
    };
    for (const Case& c : cases) {
        std::string name;
        EXPECT_EQ(volumes.IsVolumeRoot(c.path, &name), c.isRoot) << c.path;
        if (c.isRoot) {
            EXPECT_EQ(name, c.name) << c.path;
        }
    }
}

TEST_F(Volumes, LocalDiskIsTheBlockDeviceHoldingThePath) {
    const std::string r = mRoot.Path();
    QorVolumes volumes(mSources);
    struct Case {
        std::string path;
        bool local;
    };
    const Case cases[] = {
        {r + "/srv/data", true},
        {r + "/srv/home/alice", true}, // the innermost mount holds it
        {r + "/media/alice/Photos", true},
        {r + "/run/media/bob/NET", false}, // network shares
        {r + "/mnt/share", false},
        {r + "/sys", false},
        {r + "/media/alice/None", false}, // a missing path is on no disk
    };
    for (const Case& c : cases)
        EXPECT_EQ(volumes.IsOnLocalDisk(c.path), c.local) << c.path;
}

TEST(VolumesOfThisSystem, TheRootFolderIsAVolume) {
    std::string name;
    EXPECT_TRUE(QorIsVolumeRoot("/", &name));
    EXPECT_FALSE(name.empty());
    EXPECT_FALSE(QorIsVolumeRoot("/proc/self", nullptr));
}
