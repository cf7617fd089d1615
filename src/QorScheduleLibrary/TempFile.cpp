#include "TempFile.h"

#include "Crontab.h"
#include "InstallRoot.h"
#include "QorScheduleErr.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int32_t gTempFileIndex = 0;

namespace {

// Names in use are skipped; this many in a row means the folder is being played with.
constexpr int kMaxCreateAttempts = 1000;

} // namespace

bool getTempFilePath(char* outPath, int32_t index, size_t outSize) {
    std::string user;
    if (!outPath || !QorCurrentCrontab().EffectiveUserName(&user))
        return false;
    std::string folder = QorSystemPath("/tmp");
    int nameChars = int(std::min<size_t>(user.size(), 5));
    char name[PATH_MAX];
    int length = snprintf(name, sizeof name, "%s/%s%*.*s%08d.%03d", folder.c_str(), "qorsched",
                          nameChars, nameChars, user.c_str(), int(getpid()), int(index));
    if (length < 0 || size_t(length) >= sizeof name || size_t(length) >= outSize)
        return false;
    std::copy(name, name + length + 1, outPath);
    return true;
}

int32_t QorTempFile::Create() {
    Remove();
    std::string user;
    if (!QorCurrentCrontab().EffectiveUserName(&user))
        return kQorSchedErrNoAccount;
    char path[PATH_MAX];
    for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
        if (!getTempFilePath(path, gTempFileIndex++, sizeof path)) {
            errno = ENAMETOOLONG;
            return -1;
        }
        int fd = open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            mFd = fd;
            mPath = path;
            return 0;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

FILE* QorTempFile::OpenStream(const char* mode) const {
    int fd = dup(mFd);
    if (fd < 0)
        return nullptr;
    if (lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return nullptr;
    }
    FILE* stream = fdopen(fd, mode);
    if (!stream)
        close(fd);
    return stream;
}

void QorTempFile::Remove() {
    if (mFd >= 0)
        close(mFd);
    if (!mPath.empty())
        (void)unlink(mPath.c_str());
    mFd = -1;
    mPath.clear();
}
