#include "TaskFire.h"

#include "Spawn.h"
#include "TaskOwner.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskExec.h"

#include <cerrno>
#include <unistd.h>

bool QorPrepareTaskRun(ZQorScheduledTask* task, QorTaskRun* outRun, std::string* outWhy) {
    if (!task || !task->GetTaskDescriptor()) {
        *outWhy = "the task has no launch descriptor";
        return false;
    }
    QorTaskOwner owner;
    if (!QorLookUpTaskOwner(geteuid(), &owner)) {
        *outWhy = "your user ID has no account with a home folder";
        return false;
    }
    ZQorScheduledTaskExec* exec = QorNewTaskExec(task, getpid());
    const int count = exec->CreateExecArgs();
    QorTaskRun run;
    for (int i = 0; i + 1 < count; ++i)
        run.argv.emplace_back(exec->mExecArgs[i]);
    exec->Release();
    if (run.argv.empty()) {
        *outWhy = "the launcher's arguments could not be built";
        return false;
    }
    run.environment = QorTaskEnvironment(owner);
    run.workingFolder = owner.home;
    *outRun = std::move(run);
    return true;
}

int QorRunTask(const QorTaskRun& run, int* outExitStatus) {
    // cron starts a job in its owner's home folder, and a product started by the launcher keeps
    // it. The launcher inherits this process's folder; the old one comes back afterwards.
    char previous[4096];
    const bool knowPrevious = getcwd(previous, sizeof previous) != nullptr;
    if (chdir(run.workingFolder.c_str()) != 0 && chdir("/") != 0)
        return errno;
    QorSpawnOptions options;
    options.environment = &run.environment;
    const int error = QorSpawnAndWait(run.argv, options, outExitStatus);
    if (knowPrevious)
        (void)!chdir(previous);
    return error;
}
