#pragma once

#include "ZQorScheduledTask.h"

#include <ctime>

// Local wall-clock time. The computations keep no calendar of their own: month lengths, leap
// years, weekdays and daylight saving come from the system's local-time functions (TZ).

static_assert(sizeof(time_t) >= 8, "launch times need a 64-bit time_t");

/// Converts the local time date with mktime, which also normalises date in place.
void ZQorDateToSeconds(struct tm* date, time_t* seconds);
/// Fills date with the local time of seconds.
void ZQorSecondsToDate(time_t seconds, struct tm* date);
/// Fills date with the current local time (QorNow, so tests can fix it).
void ZQorGetTime(struct tm* date);

/// The moment the local clock shows the given minute (month0 0-11; out-of-range fields carry
/// over as mktime carries them). A minute the clocks skip when they spring forward counts as
/// the moment of the jump, which is when cron runs what was scheduled in the skipped time; a
/// minute the clocks show twice when they fall back counts at its first occurrence, the only
/// one cron runs.
time_t QorLocalMinuteToSeconds(int year, int month0, int day, int hour, int minute);

/// The latest launch strictly before (previous) or the earliest strictly after fromSeconds of a
/// task with this schedule. Each candidate is the scheduled wall-clock minute on a calendar
/// date stepped by whole days, weeks, months or years, so launches stay on their minute across
/// daylight-saving changes. A day beyond the end of its month carries into the next month
/// (31 April is 1 May) and later steps go on from that date.
time_t QorLaunchTime(int16_t schedType, const ZQorScheduledTask::TaskTime& time, bool previous,
                     time_t fromSeconds);
