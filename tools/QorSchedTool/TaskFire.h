#pragma once

#include <string>
#include <vector>

class ZQorScheduledTask;

// Firing a task now, the way cron fires it at its minute: its launcher command with the task's
// arguments, run as the current user in the home folder with the environment cron gives a job.
// No shell is involved: the argument vector is the one the missed-task daemon executes.

/// What running a task needs: the launcher's argument vector (element 0 is the path run), the
/// environment and the working folder.
struct QorTaskRun {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    std::string workingFolder;
};

/// Builds the run of task for the effective user. False, with the reason in outWhy, when the
/// task has no launch descriptor or the user has no account with a home folder.
bool QorPrepareTaskRun(ZQorScheduledTask* task, QorTaskRun* outRun, std::string* outWhy);

/// Runs it and waits: 0 and the launcher's exit status, or an errno value when it could not be
/// started (the working folder is then left as it was).
int QorRunTask(const QorTaskRun& run, int* outExitStatus);
