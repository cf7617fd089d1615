// The pending-launch folder: where it is, the names of its files, and walking it.

#include "PendingLaunch.h"

#include "FileRefsFolders.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace QorTaskKicker {

const char* const kPendingFolderName = "com.qorvanix.qorsched";
const char* const kPendingFilePrefix = "qorsched";

char gQorSchedTempFilePath[kQorPendingPathSize];
int32_t gTempFileIndex = 0;
char* gTempQorSchedUserDir = nullptr;

namespace {

// Characters of the account name that go into a file name.
constexpr int kNameCharsInFileName = 5;

} // namespace

char* GetQorSchedTempFilePath() {
    if (gQorSchedTempFilePath[0] == '\0') {
        FSRef preferences;
        char folder[kQorPendingPathSize];
        if (FSFindFolder(kUserDomain, kPreferencesFolderType, true, &preferences) != 0 ||
            FSRefMakePath(&preferences, folder, sizeof folder) != 0)
            return nullptr;
        // A cut path would be another folder: it is not computed at all.
        int length = snprintf(gQorSchedTempFilePath, sizeof gQorSchedTempFilePath, "%s/%s", folder,
                              kPendingFolderName);
        if (length < 0 || size_t(length) >= sizeof gQorSchedTempFilePath) {
            gQorSchedTempFilePath[0] = '\0';
            return nullptr;
        }
    }
    return gQorSchedTempFilePath;
}

void ClearQorSchedTempFilePath() {
    gQorSchedTempFilePath[0] = '\0';
}

bool FormatPendingFilePath(char* buf, size_t bufSize, const char* folder, const char* userName,
                           int pid, int32_t index) {
    int nameChars = int(std::min<size_t>(strlen(userName), kNameCharsInFileName));
    char name[PATH_MAX];
    int length = snprintf(name, sizeof name, "%s/%s%*.*s%08d.%03d", folder, kPendingFilePrefix,
                          nameChars, nameChars, userName, pid, int(index));
    // A cut name would be another file.
    if (length < 0 || size_t(length) >= sizeof name || size_t(length) >= bufSize)
        return false;
    memcpy(buf, name, size_t(length) + 1);
    return true;
}

bool getTempFilePath(char* buf, int32_t index, size_t bufSize) {
    std::string user;
    if (buf == nullptr || !QorAccountHome(geteuid(), nullptr, &user))
        return false;
    const char* folder = GetQorSchedTempFilePath();
    return folder != nullptr &&
           FormatPendingFilePath(buf, bufSize, folder, user.c_str(), int(getpid()), index);
}

bool PreparePendingFolder(const char* path, bool* outExisted) {
    *outExisted = false;
    if (path == nullptr)
        return false;
    struct stat st;
    if (lstat(path, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            *outExisted = true;
            return true;
        }
        (void)unlink(path);
    }
    if (mkdir(path, 0700) != 0 && errno != EEXIST)
        return false;
    // The folder holds what the user's tasks do: nobody else may look, whatever the umask let
    // through (or took away from the owner).
    int fd = OpenPendingFolder(path);
    if (fd < 0)
        return false;
    bool ours = fstat(fd, &st) == 0 && st.st_uid == geteuid() && fchmod(fd, 0700) == 0;
    close(fd);
    return ours;
}

int OpenPendingFolder(const char* path) {
    if (path == nullptr)
        return -1;
    return open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::vector<PendingEntry> ListPendingFolder(int folderFd) {
    std::vector<PendingEntry> entries;
    int walkFd = fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR* folder = walkFd >= 0 ? fdopendir(walkFd) : nullptr;
    if (folder == nullptr) {
        if (walkFd >= 0)
            close(walkFd);
        return entries;
    }
    rewinddir(folder);
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue; // ".", "..", and files still being written
        struct stat st;
        if (fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
            entries.push_back({entry->d_name, S_ISDIR(st.st_mode)});
    }
    closedir(folder);
    return entries;
}

FILE* OpenPendingFile(int folderFd, const char* name) {
    // O_NONBLOCK: a FIFO put there must not hold the walk; it is refused below.
    int fd = openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, "r");
    if (file == nullptr)
        close(fd);
    return file;
}

} // namespace QorTaskKicker
