#pragma once

#include "ZQorScheduledTask.h"

#include <string>

// Texts that describe a task to a person.

/// The task's kind: "Virus scan", "Product update", ...
std::string QorTaskKindText(int16_t eventType);

/// The schedule in words: "Every Wednesday at 02:30", "Monthly on day 15 at 12:05", ...
std::string QorScheduleText(int16_t schedType, const ZQorScheduledTask::TaskTime& time);

/// "Thu 2024-05-16 02:30".
std::string QorLaunchTimeText(const ZQorScheduledTask::GenericTimeRec& time);

/// Text safe to put on a terminal: valid UTF-8 stays as it is; control characters and bytes
/// that are not UTF-8 become a backslash and three octal digits, as in the crontab.
std::string QorDisplayText(const std::string& bytes);

/// Columns the text takes on a terminal (one per character).
size_t QorDisplayWidth(const std::string& text);

/// The task's cron line as a save writes it (without its line end).
std::string QorCronLineText(ZQorScheduledTask* task);
