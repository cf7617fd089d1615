#include "FileRefsAliasLink.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool LeadsTo(const std::string& linkPath, const std::string& targetPath) {
    char content[PATH_MAX];
    ssize_t n = readlink(linkPath.c_str(), content, sizeof content - 1);
    if (n < 0)
        return false;
    content[n] = '\0';
    if (targetPath == content)
        return true;
    std::string target = Resolved(targetPath);
    return !target.empty() && Resolved(linkPath) == target;
}

} // namespace

int QorRefreshAliasLink(const std::string& linkPath, const std::string& targetPath) {
    if (linkPath.empty() || targetPath.empty())
        return EINVAL;
    struct stat st;
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            return EEXIST;
        if (LeadsTo(linkPath, targetPath))
            return 0;
    } else if (errno != ENOENT) {
        return errno;
    }
    // A new link under a name nobody else uses, renamed over the old one: readers see the old
    // link or the new one, never none.
    size_t slash = linkPath.rfind('/');
    std::string folder = slash == std::string::npos ? "." : linkPath.substr(0, slash);
    std::string name = linkPath.substr(slash == std::string::npos ? 0 : slash + 1);
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(random()));
        std::string temporary = folder + "/." + name + suffix;
        if (symlink(targetPath.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        if (rename(temporary.c_str(), linkPath.c_str()) != 0) {
            int error = errno;
            (void)unlink(temporary.c_str());
            return error;
        }
        return 0;
    }
    return EEXIST;
}
