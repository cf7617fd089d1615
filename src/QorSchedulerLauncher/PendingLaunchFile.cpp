// Pending-launch files: writing one, and telling whether a launch is pending already.

#include "PendingLaunch.h"

#include "ZQorScheduledTaskDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace QorTaskKicker {

namespace {

// Names in use are passed over; this many in a row means something else is going on.
constexpr int kMaxNameAttempts = 100;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// A descriptor as the secondary launcher reads it: the reader's own buffers, then split.
std::unique_ptr<ZQorScheduledTaskDescriptor> ReadLikeTheSecondaryLauncher(FILE* file) {
    auto desc = std::make_unique<ZQorScheduledTaskDescriptor>(
        nullptr, ZMachOAppleEventDescriptor::kDefaultBufferSize, nullptr,
        ZMachOAppleEventDescriptor::kDefaultBufferSize);
    if (desc->Read(file) != 6)
        return nullptr;
    (void)desc->SplitEventDataToSeparateParams();
    return desc;
}

bool SameText(const char* a, const char* b) {
    return strcmp(a != nullptr ? a : "", b != nullptr ? b : "") == 0;
}

// Moves from to to unless to exists: EEXIST then, and from stays.
int RenameNoReplace(int folderFd, const char* from, const char* to) {
    if (renameat2(folderFd, from, folderFd, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link fails just the same on an existing name.
    if (linkat(folderFd, from, folderFd, to, 0) != 0)
        return errno;
    (void)unlinkat(folderFd, from, 0);
    return 0;
}

// Writes the descriptor to a new file of the folder named temporaryName; 0 or an errno value.
int WriteTemporary(int folderFd, const char* temporaryName, ZQorScheduledTaskDescriptor* desc) {
    int fd =
        openat(folderFd, temporaryName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    // Only the user may read what the task does, whatever the umask says.
    if (fchmod(fd, 0600) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    FILE* file = fdopen(fd, "w");
    if (file == nullptr) {
        int error = errno;
        close(fd);
        return error;
    }
    bool written = desc->Write(file) == 0 && fflush(file) == 0 && fsync(fd) == 0;
    int error = errno;
    if (fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    return written ? 0 : (error != 0 ? error : EIO);
}

} // namespace

bool SameLaunch(const ZMachOAppleEventDescriptor& a, const ZMachOAppleEventDescriptor& b) {
    if (a.mNumEventParams != b.mNumEventParams || a.mCreator != b.mCreator ||
        a.mClass != b.mClass || a.mEvent != b.mEvent || !SameText(a.mExecPath, b.mExecPath))
        return false;
    for (int32_t i = 0; i < a.mNumEventParams; ++i)
        if (!SameText(a.mEventParams[i], b.mEventParams[i]))
            return false;
    return true;
}

bool ReadsBackWhole(ZQorScheduledTaskDescriptor* desc) {
    if (desc == nullptr)
        return false;
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    if (out == nullptr)
        return false;
    bool written = desc->Write(out) == 0;
    fclose(out);
    bool same = false;
    if (written) {
        if (File in{fmemopen(text, size, "r")}) {
            std::unique_ptr<ZQorScheduledTaskDescriptor> back =
                ReadLikeTheSecondaryLauncher(in.get());
            same = back != nullptr && SameLaunch(*desc, *back);
        }
    }
    free(text);
    return same;
}

bool DoesFileExist(ZQorScheduledTaskDescriptor* testDesc) {
    int folderFd = OpenPendingFolder(gTempQorSchedUserDir);
    if (folderFd < 0 || testDesc == nullptr) {
        if (folderFd >= 0)
            close(folderFd);
        return false;
    }
    bool found = false;
    for (const PendingEntry& entry : ListPendingFolder(folderFd)) {
        if (entry.isDirectory)
            continue;
        File file{OpenPendingFile(folderFd, entry.name.c_str())};
        if (!file)
            continue;
        std::unique_ptr<ZQorScheduledTaskDescriptor> pending =
            ReadLikeTheSecondaryLauncher(file.get());
        if (pending != nullptr && SameLaunch(*pending, *testDesc)) {
            found = true;
            break;
        }
    }
    close(folderFd);
    return found;
}

bool WritePendingLaunchFile(ZQorScheduledTaskDescriptor* desc, char* outPath, size_t outSize) {
    const char* folder = GetQorSchedTempFilePath();
    int folderFd = OpenPendingFolder(folder);
    if (folderFd < 0 || desc == nullptr) {
        if (folderFd >= 0)
            close(folderFd);
        return false;
    }
    const size_t folderLength = strlen(folder);
    bool done = false;
    for (int attempt = 0; attempt < kMaxNameAttempts && !done; ++attempt) {
        char path[kQorPendingPathSize];
        if (!getTempFilePath(path, gTempFileIndex++, sizeof path) || strlen(path) >= outSize)
            break;
        const char* name = path + folderLength + 1;
        std::string temporary = std::string(".") + name;
        int error = WriteTemporary(folderFd, temporary.c_str(), desc);
        if (error == EEXIST)
            continue; // a crashed writer's leftover: leave it, take the next name
        if (error == 0) {
            error = RenameNoReplace(folderFd, temporary.c_str(), name);
            if (error != 0)
                (void)unlinkat(folderFd, temporary.c_str(), 0);
            if (error == 0) {
                memcpy(outPath, path, strlen(path) + 1);
                done = true;
            }
        } else {
            (void)unlinkat(folderFd, temporary.c_str(), 0);
        }
        if (error != 0 && error != EEXIST)
            break;
    }
    close(folderFd);
    return done;
}

} // namespace QorTaskKicker
