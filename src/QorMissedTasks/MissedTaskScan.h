#pragma once

#include <cstdint>

class ZQorScheduledTask;

// The scan for missed tasks: every user's crontab block, and each enabled task whose latest
// scheduled minute fell strictly inside a window (the machine was off or asleep then) run once,
// as its owner, by the launcher command. Runs as the super-user.

/// Task children started and not yet accounted for; also the number in a child's log identity.
extern int32_t gChildren;

/// The per-user crontab folder, under the system root, and the name of the crontabs in it.
extern const char gCronFolder[];
extern const char gCrontabsName[];

/// Scans every user's crontab for tasks due strictly between startTime and endTime. The
/// process's working folder becomes the cron folder and stays so. Returns 0, or 2 when the
/// crontabs cannot be opened. With waitForChildren it waits for the task children it counted.
int32_t DoCrontabLoop(int64_t endTime, int64_t startTime, bool waitForChildren);

/// One user's crontab: listed (`crontab -l`, with "-u username" unless uid is 0) into a new
/// temporary file, read with the owner's effective user ID, and every task of the window run
/// through DoTask. 0, or -1 when the crontab could not be listed or read.
int ProcessCrontab(const char* username, uint32_t uid, int64_t nowTime, int64_t lastShutdownTime);

/// Runs the task in a child that becomes its owner (the effective user at the call) and
/// executes the launcher command with the task's arguments. Returns at once.
void DoTask(ZQorScheduledTask* task);

/// Collects every child that has finished, without waiting. Safe in a SIGCHLD handler.
void QorReapChildren();
