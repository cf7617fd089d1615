#include "Volumes.h"

#include "AtomicFile.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr size_t kMaxMountInfoSize = 16u << 20;

// mountinfo writes space, tab, newline and backslash as a backslash and three octal digits.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const char* digits = text.c_str() + i + 1;
            if (digits[0] >= '0' && digits[0] <= '3' && digits[1] >= '0' && digits[1] <= '7' &&
                digits[2] >= '0' && digits[2] <= '7') {
                out += char((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// udev writes unsafe bytes of a label as "\x" and two hex digits.
std::string UnescapeLabel(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += char(strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool IsUnder(const std::string& path, const std::string& folder) {
    if (folder == "/")
        return path.size() > 1 && path[0] == '/';
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

bool StatSaysBlockDevice(const std::string& source) {
    struct stat st;
    return stat(source.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

} // namespace

std::vector<QorMount> QorParseMountInfo(const std::string& text) {
    std::vector<QorMount> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> parts;
        std::string field;
        while (fields >> field)
            parts.push_back(field);
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        size_t separator = 6;
        while (separator < parts.size() && parts[separator] != "-")
            ++separator;
        if (parts.size() < 5 || separator + 2 >= parts.size() || parts[4].empty() ||
            parts[4][0] != '/')
            continue;
        mounts.push_back(
            {Unescape(parts[4]), Unescape(parts[separator + 2]), Unescape(parts[separator + 1])});
    }
    return mounts;
}

QorVolumes::QorVolumes(QorVolumeSources sources) : mSources(std::move(sources)) {
    if (!mSources.isBlockDevice)
        mSources.isBlockDevice = StatSaysBlockDevice;
    std::string text;
    if (QorReadWholeFile(mSources.mountInfo, kMaxMountInfoSize, &text) == 0)
        mMounts = QorParseMountInfo(text);
}

bool QorVolumes::IsLocalSource(const std::string& source) const {
    return source.compare(0, 5, "/dev/") == 0 && mSources.isBlockDevice(source);
}

std::string QorVolumes::LabelOf(const std::string& source) const {
    if (source.compare(0, 5, "/dev/") != 0)
        return "";
    std::string device = Resolved(source);
    DIR* labels = device.empty() ? nullptr : opendir(mSources.labelFolder.c_str());
    if (!labels)
        return "";
    std::string label;
    while (dirent* entry = readdir(labels)) {
        std::string name = entry->d_name;
        if (name != "." && name != ".." && Resolved(mSources.labelFolder + "/" + name) == device) {
            label = UnescapeLabel(name);
            break;
        }
    }
    closedir(labels);
    return label;
}

bool QorVolumes::IsInMediaFolder(const std::string& mountPoint) const {
    for (const std::string& folder : mSources.mediaFolders)
        if (IsUnder(mountPoint, folder))
            return true;
    return false;
}

const QorMount* QorVolumes::MountAt(const std::string& resolvedPath) const {
    // The longest mount point that holds the path; of equal ones the last, mounted on top.
    const QorMount* best = nullptr;
    for (const QorMount& mount : mMounts)
        if (mount.mountPoint == resolvedPath || IsUnder(resolvedPath, mount.mountPoint))
            if (!best || mount.mountPoint.size() >= best->mountPoint.size())
                best = &mount;
    return best;
}

bool QorVolumes::IsVolumeRoot(const std::string& path, std::string* outName) const {
    std::string resolved = Resolved(path);
    const QorMount* mount = resolved.empty() ? nullptr : MountAt(resolved);
    if (!mount || mount->mountPoint != resolved)
        return false;
    if (resolved != "/" && !IsLocalSource(mount->source) && !IsInMediaFolder(resolved))
        return false;
    if (outName) {
        std::string label = LabelOf(mount->source);
        *outName = !label.empty()    ? label
                   : resolved == "/" ? resolved
                                     : resolved.substr(resolved.rfind('/') + 1);
    }
    return true;
}

bool QorVolumes::IsOnLocalDisk(const std::string& path) const {
    std::string resolved = Resolved(path);
    const QorMount* mount = resolved.empty() ? nullptr : MountAt(resolved);
    return mount && IsLocalSource(mount->source);
}

QorVolumeTable::QorVolumeTable(QorVolumeSources sources, std::chrono::milliseconds refreshInterval)
    : mSources(std::move(sources)), mRefreshInterval(refreshInterval) {}

const QorVolumes& QorVolumeTable::Current() const {
    const auto now = std::chrono::steady_clock::now();
    if (!mVolumes || now - mReadAt >= mRefreshInterval) {
        mVolumes.emplace(mSources);
        mReadAt = now;
    }
    return *mVolumes;
}

bool QorIsVolumeRoot(const std::string& path, std::string* outName) {
    return QorVolumes().IsVolumeRoot(path, outName);
}
