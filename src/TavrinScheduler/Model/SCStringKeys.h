#pragma once

#include <QtGlobal>

// Keys of the application's main string table (see SCLocalizedString). QT_TRANSLATE_NOOP
// leaves each key as it is and shows it to the translation tools.

// Schedule texts.
inline constexpr const char* kSCMonthlyKey = QT_TRANSLATE_NOOP("Localizable", "Monthly");
inline constexpr const char* kSCWeeklyKey = QT_TRANSLATE_NOOP("Localizable", "Weekly");
inline constexpr const char* kSCDailyKey = QT_TRANSLATE_NOOP("Localizable", "Daily");
inline constexpr const char* kSCAnnuallyKey = QT_TRANSLATE_NOOP("Localizable", "Annually");

// What a task does, as the task list and the toolbar name it.
inline constexpr const char* kSCOmbrixScanKey = QT_TRANSLATE_NOOP("Localizable", "Ombrix Scan");
inline constexpr const char* kSCCustorixSnapshotKey =
    QT_TRANSLATE_NOOP("Localizable", "Custorix Snapshot");
inline constexpr const char* kSCProductUpdateKey =
    QT_TRANSLATE_NOOP("Localizable", "Product Update");
inline constexpr const char* kSCDefragmentFilesKey =
    QT_TRANSLATE_NOOP("Localizable", "Defragment Files");
inline constexpr const char* kSCVirusDefinitionsKey =
    QT_TRANSLATE_NOOP("Localizable", "Virus Definitions");
inline constexpr const char* kSCUpdateAllKey = QT_TRANSLATE_NOOP("Localizable", "Update All");

// The day of a daily task's next launch.
inline constexpr const char* kSCTodayKey = QT_TRANSLATE_NOOP("Localizable", "Today");
inline constexpr const char* kSCTomorrowKey = QT_TRANSLATE_NOOP("Localizable", "Tomorrow");

// Names of the default tasks.
inline constexpr const char* kSCCustorixDailyUpdateKey =
    QT_TRANSLATE_NOOP("Localizable", "Custorix Daily Update");
inline constexpr const char* kSCDailyDefragmentationKey =
    QT_TRANSLATE_NOOP("Localizable", "Daily Defragmentation");
inline constexpr const char* kSCUpdateVirusProtectionKey =
    QT_TRANSLATE_NOOP("Localizable", "Update Virus Protection");

// The reset sheet.
inline constexpr const char* kSCResetTitleKey =
    QT_TRANSLATE_NOOP("Localizable", "Reset Scheduled Tasks");
inline constexpr const char* kSCDontResetKey = QT_TRANSLATE_NOOP("Localizable", "Don't Reset");
inline constexpr const char* kSCResetKey = QT_TRANSLATE_NOOP("Localizable", "Reset");
inline constexpr const char* kSCResetMessageKey = QT_TRANSLATE_NOOP(
    "Localizable",
    "This will delete ALL tasks you have created.  Are you sure you want to reset to defaults?");
