#include "Bundles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An Info.plist is a few kilobytes; anything this large is not one.
constexpr size_t kMaxInfoPlistSize = 1u << 20;

std::string StringValue(const QorPropertyList& info, const char* key) {
    const QorPropertyList* value = info.Find(key);
    return value ? value->AsString() : std::string();
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// The first bytes of a regular file; false when it is no regular file or shorter than size.
bool ReadHead(const std::string& path, unsigned char* head, size_t size, mode_t* mode) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        *mode = st.st_mode;
        ssize_t n;
        while ((n = pread(fd, head, size, 0)) < 0 && errno == EINTR) {
        }
        ok = n == ssize_t(size);
    }
    close(fd);
    return ok;
}

} // namespace

bool QorReadBundle(const std::string& path, QorBundleInfo* out) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    QorPropertyList info;
    if (QorReadPropertyListFile(path + "/Contents/Info.plist", kMaxInfoPlistSize, &info) != 0 ||
        !info.Is(QorPropertyList::Type::kDictionary))
        return false;
    if (!out)
        return true;
    out->path = path;
    out->executable = StringValue(info, "CFBundleExecutable");
    if (!IsPlainFileName(out->executable))
        out->executable.clear();
    std::string signature = StringValue(info, "CFBundleSignature");
    out->signature = signature.size() == 4 && signature != "????"
                         ? OSType(uint8_t(signature[0])) << 24 |
                               OSType(uint8_t(signature[1])) << 16 |
                               OSType(uint8_t(signature[2])) << 8 | OSType(uint8_t(signature[3]))
                         : 0;
    out->identifier = StringValue(info, "CFBundleIdentifier");
    out->name = StringValue(info, "CFBundleName");
    out->shortVersion = StringValue(info, "CFBundleShortVersionString");
    out->info = std::move(info);
    return true;
}

char* CreateBundleExecutablePath(const char* bundlePath) {
    QorBundleInfo bundle;
    if (!bundlePath || !QorReadBundle(bundlePath, &bundle) || bundle.executable.empty())
        return nullptr;
    std::string path = std::string(bundlePath) + "/Contents/MacOS/" + bundle.executable;
    char* result = static_cast<char*>(malloc(path.size() + 1));
    if (result)
        memcpy(result, path.c_str(), path.size() + 1);
    return result;
}

bool QorIsPlainExecutable(const std::string& path) {
    unsigned char head[4];
    mode_t mode = 0;
    if (ReadHead(path, head, 2, &mode) && head[0] == '#' && head[1] == '!')
        return (mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    return ReadHead(path, head, 4, &mode) && memcmp(head,
                                                    "\x7f"
                                                    "ELF",
                                                    4) == 0;
}

bool QorIsAppImage(const std::string& path) {
    unsigned char head[11];
    mode_t mode = 0;
    return ReadHead(path, head, sizeof head, &mode) &&
           memcmp(head,
                  "\x7f"
                  "ELF",
                  4) == 0 &&
           head[8] == 'A' && head[9] == 'I' && (head[10] == 1 || head[10] == 2);
}
