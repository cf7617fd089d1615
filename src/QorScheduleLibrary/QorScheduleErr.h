#pragma once

#include <cstdint>

// Result codes of the schedule library (0 = success).

/// An output buffer or length pointer is missing.
constexpr int32_t kQorSchedErrMissingOutput = -1;
/// The task already belongs to a task block.
constexpr int32_t kQorSchedErrTaskInBlock = -790;
/// A required pointer is null, the task has no event-data buffer, or a task handle is invalid.
constexpr int32_t kQorSchedErrNullArgument = -791;
/// A task handle given to a task-block operation is invalid.
constexpr int32_t kQorSchedErrBadTask = -792;
/// The crontab could not be listed: the command failed, was refused or killed, or its output
/// was cut short or too large. (A user without a crontab is not an error.)
constexpr int32_t kQorSchedErrCrontabList = -793;
/// A task-block handle is invalid.
constexpr int32_t kQorSchedErrBadTaskArray = -794;
/// The effective user has no account entry.
constexpr int32_t kQorSchedErrNoAccount = -795;
/// The new crontab could not be created, written or installed; the old one is unchanged.
constexpr int32_t kQorSchedErrCrontabSave = -796;
/// An entry's cron line could not be read.
constexpr int32_t kQorSchedErrBadCronLine = -797;
/// An entry's descriptive comment line could not be read.
constexpr int32_t kQorSchedErrBadUIDescriptor = -798;
/// A text was cut to fit its destination; the shortened text was stored or returned.
constexpr int32_t kQorSchedErrTruncated = -799;

/// The largest crontab listing the library works with. A listing is never cut: a larger one is
/// refused with kQorSchedErrCrontabList.
constexpr uint64_t kQorMaxListingBytes = 64ull << 20;
