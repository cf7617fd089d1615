#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file next to path that nobody else can have opened (O_EXCL), or -1.
int CreateTemporary(const std::string& path, std::string* tempPath) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(random()));
        std::string name = FolderOf(path) + "/." + path.substr(path.rfind('/') + 1) + suffix;
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            *tempPath = name;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

int QorWriteFileAtomically(const std::string& path, const void* bytes, size_t size, mode_t mode,
                           bool keepMode) {
    if (path.empty() || path.back() == '/')
        return EINVAL;
    struct stat old;
    if (keepMode && stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        mode = old.st_mode & 07777;

    std::string tempPath;
    int fd = CreateTemporary(path, &tempPath);
    if (fd < 0)
        return errno;
    int error = 0;
    if (!QorWriteAll(fd, bytes, size) || fchmod(fd, mode) != 0 || fsync(fd) != 0)
        error = errno ? errno : EIO;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(tempPath.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        (void)unlink(tempPath.c_str());
        return error;
    }
    // The rename itself must reach the disk too, or a crash could bring the old file back.
    int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)fsync(folder);
        close(folder);
    }
    return 0;
}

bool QorWriteAll(int fd, const void* bytes, size_t size) {
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        ssize_t n = write(fd, next, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        next += n;
        size -= size_t(n);
    }
    return true;
}

int QorReadWholeFile(const std::string& path, size_t maxSize, std::string* out) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat st;
    int error = 0;
    if (fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    else if (uint64_t(st.st_size) > maxSize)
        error = EFBIG;
    std::string content;
    while (error == 0) {
        char buffer[65536];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        else if (n == 0)
            break;
        else if (content.size() + size_t(n) > maxSize)
            error = EFBIG; // grew while being read
        else
            content.append(buffer, size_t(n));
    }
    close(fd);
    if (error == 0 && out)
        *out = std::move(content);
    return error;
}
