#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Becoming a task's owner in a task child: the owner's account, giving up the super-user for
// good, and the environment cron gives the owner's jobs.

struct QorTaskOwner {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home; ///< under the system root
};

/// The account of uid; false when the account database has none (or no home folder).
bool QorLookUpTaskOwner(uid_t uid, QorTaskOwner* outOwner);

/// Gives up every privilege of the super-user for good: the groups become the owner's
/// (initgroups), then the group IDs, then the user IDs (real, effective and saved), each step
/// checked, and finally that root cannot be taken back. The process must hold root, as its
/// real or saved ID. 0, or the errno value of the step that failed with what failed in
/// outWhy; the process must then run nothing for the owner.
int QorBecomeTaskOwner(const QorTaskOwner& owner, std::string* outWhy);

/// What cron puts in the environment of the owner's jobs (HOME, LOGNAME, USER, SHELL, PATH),
/// and the suite's roots and log mirror when this process has them, so the launcher works under
/// the same roots. Nothing else of this process's environment passes.
std::vector<std::string> QorTaskEnvironment(const QorTaskOwner& owner);
