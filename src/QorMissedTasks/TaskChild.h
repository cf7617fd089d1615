#pragma once

#include <cstdint>

class ZQorScheduledTask;

/// The body of a task child, right after fork: the child logs under "TavrinMissedTask - Child
/// #childNumber", builds the task's launcher arguments, becomes the task's owner (the effective
/// user at the fork) completely, moves to the owner's home folder, keeps only descriptors 0-2
/// and executes the launcher command with cron's environment for the owner. Never returns: on
/// any failure it logs and ends with status 1, having run nothing for the owner.
[[noreturn]] void QorRunTaskChild(ZQorScheduledTask* task, int32_t childNumber);
