#pragma once

#include <cstdio>
#include <string>

class ZQorScheduledTaskArray;

/// Prints the block's tasks as a table for a person: position, state, name, kind, schedule in
/// words, next and previous launch (local time), and under each row the task's cron line.
void QorPrintTaskList(ZQorScheduledTaskArray* block, const std::string& userName, FILE* out);
