#include "TaskOwner.h"

#include "FileRefsFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr char kCronShell[] = "/bin/sh";
constexpr char kCronPath[] = "/usr/bin:/bin";
// Passed on from this process when set, so the launcher agrees on the roots and the log mirror.
constexpr const char* kSuiteVariables[] = {"QORSCHED_ROOT", "QORSCHED_SYSTEM_ROOT",
                                           "QORSCHED_LOG_FILE"};

int Failed(std::string* outWhy, const std::string& what) {
    int error = errno ? errno : EPERM;
    *outWhy = what + ": " + strerror(error);
    return error;
}

} // namespace

bool QorLookUpTaskOwner(uid_t uid, QorTaskOwner* outOwner) {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? size_t(hint) : 4096);
    passwd entry;
    passwd* found = nullptr;
    int error;
    while ((error = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (error != 0 || !found || !found->pw_name || !found->pw_name[0])
        return false;
    QorTaskOwner owner;
    owner.name = found->pw_name;
    owner.uid = found->pw_uid;
    owner.gid = found->pw_gid;
    if (!QorAccountHome(uid, &owner.home))
        return false;
    *outOwner = owner;
    return true;
}

int QorBecomeTaskOwner(const QorTaskOwner& owner, std::string* outWhy) {
    errno = 0;
    // The effective ID may still be the owner's (the scan reads the owner's tasks as the owner).
    if (geteuid() != 0 && seteuid(0) != 0)
        return Failed(outWhy, "cannot take the super-user back to change users");
    if (initgroups(owner.name.c_str(), owner.gid) != 0)
        return Failed(outWhy, "cannot set the groups of " + owner.name);
    if (setresgid(owner.gid, owner.gid, owner.gid) != 0)
        return Failed(outWhy, "cannot set the group ID " + std::to_string(owner.gid));
    if (setresuid(owner.uid, owner.uid, owner.uid) != 0)
        return Failed(outWhy, "cannot set the user ID " + std::to_string(owner.uid));
    uid_t ruid, euid, suid;
    gid_t rgid, egid, sgid;
    if (getresuid(&ruid, &euid, &suid) != 0 || getresgid(&rgid, &egid, &sgid) != 0)
        return Failed(outWhy, "cannot read the user and group IDs back");
    if (ruid != owner.uid || euid != owner.uid || suid != owner.uid || rgid != owner.gid ||
        egid != owner.gid || sgid != owner.gid) {
        errno = EPERM;
        return Failed(outWhy, "the user and group IDs did not all change to " + owner.name + "'s");
    }
    if (owner.uid != 0 && (setuid(0) == 0 || seteuid(0) == 0)) {
        errno = EPERM;
        return Failed(outWhy, "the super-user could still be taken back");
    }
    return 0;
}

std::vector<std::string> QorTaskEnvironment(const QorTaskOwner& owner) {
    std::vector<std::string> environment = {
        "HOME=" + owner.home,
        "LOGNAME=" + owner.name,
        "USER=" + owner.name,
        std::string("SHELL=") + kCronShell,
        std::string("PATH=") + kCronPath,
    };
    for (const char* name : kSuiteVariables)
        if (const char* value = getenv(name))
            environment.push_back(std::string(name) + "=" + value);
    return environment;
}
