#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Volumes, as the application shows and filters scan targets: the mount points of the mount
// table. A volume root is "/", a mount of a block device, or any mount point inside one of the
// media folders (/media, /run/media, /mnt: where removable and network volumes appear, as in
// "/Volumes"). A volume's name is its file system label, else the last component of its
// mount point ("/" for an unlabelled root). A local disk is a mount whose source is a block
// device under /dev/.

struct QorMount {
    std::string mountPoint; ///< unescaped
    std::string source;     ///< unescaped
    std::string fsType;
};

/// Where the mount facts come from; the defaults are the running system's.
struct QorVolumeSources {
    std::string mountInfo = "/proc/self/mountinfo";
    std::string labelFolder = "/dev/disk/by-label";
    std::vector<std::string> mediaFolders = {"/media", "/run/media", "/mnt"};
    /// Whether a mount source is a block device (default: stat says so).
    std::function<bool(const std::string&)> isBlockDevice;
};

/// Parses mountinfo text (octal escapes undone); malformed lines are skipped.
std::vector<QorMount> QorParseMountInfo(const std::string& text);

class QorVolumes {
public:
    /// Reads the mount table once.
    explicit QorVolumes(QorVolumeSources sources = QorVolumeSources());

    const std::vector<QorMount>& Mounts() const { return mMounts; }

    /// Whether path (symbolic links resolved; it must exist) is a volume root, and its name.
    bool IsVolumeRoot(const std::string& path, std::string* outName = nullptr) const;

    /// Whether the file system holding path (which must exist) is a local disk.
    bool IsOnLocalDisk(const std::string& path) const;

private:
    bool IsLocalSource(const std::string& source) const;
    std::string LabelOf(const std::string& source) const;
    bool IsInMediaFolder(const std::string& mountPoint) const;
    const QorMount* MountAt(const std::string& resolvedPath) const;

    QorVolumeSources mSources;
    std::vector<QorMount> mMounts;
};

/// The mount table for callers that ask about many paths in a row (a list of tasks, a file
/// chooser): read again only once the last reading is older than the refresh interval.
class QorVolumeTable {
public:
    explicit QorVolumeTable(QorVolumeSources sources = QorVolumeSources(),
                            std::chrono::milliseconds refreshInterval = std::chrono::seconds(1));

    const QorVolumes& Current() const;
    const QorVolumeSources& Sources() const { return mSources; }

private:
    QorVolumeSources mSources;
    std::chrono::milliseconds mRefreshInterval;
    mutable std::optional<QorVolumes> mVolumes;
    mutable std::chrono::steady_clock::time_point mReadAt;
};

/// The same question about the running system, from a mount table read for it.
bool QorIsVolumeRoot(const std::string& path, std::string* outName);
