#include "TaskChild.h"

#include "ChildProcess.h"
#include "SystemLog.h"
#include "TaskOwner.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskExec.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <syslog.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

[[noreturn]] void Fail(const char* identity, int32_t childNumber, const std::string& why) {
    QorOpenLog(identity, LOG_PID, LOG_USER);
    QorSyslog(LOG_INFO, "Failed to launch child %d", int(childNumber));
    if (!why.empty())
        QorSyslog(LOG_INFO, "%s", why.c_str());
    QorCloseLog();
    _exit(1);
}

} // namespace

void QorRunTaskChild(ZQorScheduledTask* task, int32_t childNumber) {
    QorDefaultSignals(); // the daemon's handlers and blocked signals are not the task's
    ZQorScheduledTaskExec* exec = QorNewTaskExec(task, int(getpid()));
    char identity[64];
    snprintf(identity, sizeof identity, "TavrinMissedTask - Child #%d", int(childNumber));
    QorOpenLog(identity, LOG_PID, LOG_USER);
    if (exec->CreateExecArgs() == 0)
        Fail(identity, childNumber, "");

    const uid_t ownerUid = geteuid();
    QorSyslog(LOG_INFO, "About to launch child %d", int(childNumber));
    QorCloseLog();

    QorTaskOwner owner;
    if (!QorLookUpTaskOwner(ownerUid, &owner))
        Fail(identity, childNumber,
             "user ID " + std::to_string(ownerUid) + " has no account with a home folder");
    std::string why;
    if (QorBecomeTaskOwner(owner, &why) != 0)
        Fail(identity, childNumber, why);
    // As the owner: a home folder the super-user may not enter (on a network share) opens to
    // its owner. Without one the task runs in "/", never in the crontab folder.
    if (chdir(owner.home.c_str()) != 0)
        (void)!chdir("/");
    std::vector<std::string> environment = QorTaskEnvironment(owner);
    std::vector<char*> envp = Pointers(environment);
    QorCloseOnExecFrom3();
    execve(exec->mExecArgs[0], exec->mExecArgs, envp.data());
    Fail(identity, childNumber,
         std::string("cannot run ") + exec->mExecArgs[0] + ": " + strerror(errno));
}
