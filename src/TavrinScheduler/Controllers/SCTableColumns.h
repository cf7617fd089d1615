#pragma once

// The task table's columns. A column's identifier is the name of the row property it shows;
// its index is the model column and selects the column's remembered sort direction.

/// The number of columns.
constexpr int kSCColumnCount = 5;

constexpr int kSCEnabledColumn = 0;
constexpr int kSCNameColumn = 1;
constexpr int kSCTaskNameColumn = 2;
constexpr int kSCFrequencyColumn = 3;
constexpr int kSCNextLaunchColumn = 4;

/// The identifiers, by index.
inline constexpr const char* kSCColumnIdentifiers[kSCColumnCount] = {
    "mEnabled", "mName", "mTaskName", "mFrequency", "mNextLaunch"};
