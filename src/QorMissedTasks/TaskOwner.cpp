#include "TaskOwner.h"

#include "Accounts.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <grp.h>
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
    QorAccount account;
    if (!QorLookUpAccount(uid, &account) || account.name.empty() || !account.home)
        return false;
    *outOwner = QorTaskOwner{account.name, account.uid, account.gid, *account.home};
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
