#include "FileRefs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

OSStatus FSPathMakeRef(const char* path, FSRef* ref, bool* isDirectory) {
    if (!path || !*path || !ref)
        return kQorParamErr;
    char resolved[PATH_MAX];
    if (!realpath(path, resolved))
        return (errno == ENOENT || errno == ENOTDIR) ? kQorFileNotFoundErr : kQorIOErr;
    struct stat st;
    if (stat(resolved, &st) != 0)
        return errno == ENOENT ? kQorFileNotFoundErr : kQorIOErr;
    size_t length = strlen(resolved);
    if (length >= sizeof ref->path)
        return kQorParamErr;
    memset(ref, 0, sizeof *ref);
    memcpy(ref->path, resolved, length);
    ref->device = uint64_t(st.st_dev);
    ref->inode = uint64_t(st.st_ino);
    if (isDirectory)
        *isDirectory = S_ISDIR(st.st_mode);
    return 0;
}

OSStatus FSRefMakePath(const FSRef* ref, char* path, uint32_t maxPathSize) {
    if (!ref || !path || ref->path[0] != '/')
        return kQorParamErr;
    size_t length = strnlen(ref->path, sizeof ref->path);
    if (length == sizeof ref->path || length >= maxPathSize)
        return kQorParamErr;
    struct stat st;
    if (lstat(ref->path, &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? kQorFileNotFoundErr : kQorIOErr;
    memcpy(path, ref->path, length + 1);
    return 0;
}
