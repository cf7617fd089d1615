#pragma once

#include "ScopedService.h"

#include <QString>

#include <optional>

// The user's time and date formats, as strftime-style format strings ("%H:%M:%S",
// "%I:%M %p", "%d.%m.%Y"). The user defaults can override what the locale says.

/// The user-defaults key of the time format.
inline constexpr char kTimeFormatKey[] = "NSTimeFormatString";
/// The user-defaults key of the date format.
inline constexpr char kDateFormatKey[] = "NSDateFormatString";

/// Where user-defaults strings come from: by default the running application's user defaults
/// (command-line "-key value" pairs, then the user's preferences); tests install a fake.
class SCUserDefaultsSource {
public:
    virtual ~SCUserDefaultsSource() = default;
    /// The string stored under key, or nothing when the key is absent or not a string.
    virtual std::optional<QString> stringForKey(const QString& key) const = 0;
};

SCUserDefaultsSource& SCCurrentUserDefaultsSource();
/// nullptr puts the platform's user defaults back.
void SCInstallUserDefaultsSource(SCUserDefaultsSource* source);
using SCScopedUserDefaultsSource =
    QorScopedService<SCUserDefaultsSource, SCCurrentUserDefaultsSource,
                     SCInstallUserDefaultsSource>;

/// The locale's time format (LC_TIME), with its composite conversions (%T, %R, %r, %X) spelt
/// out so the hour conversion can be seen.
QString SCLocaleTimeFormat();
/// The locale's date format (LC_TIME), with %D and %F spelt out.
QString SCLocaleDateFormat();

/// The user's time format: the user default when set and not empty, else the locale's.
QString SCUserTimeFormat();
/// The user's date format: the user default when set and not empty, else the locale's.
QString SCUserDateFormat();

/// A time format shows a 24-hour clock when it contains "H".
bool SCUses24HourClock(const QString& timeFormat);

/// The character the format puts between hour and minute: the one right after the first "H"
/// (24-hour) or "I" (12-hour); ":" when there is none or it starts another conversion.
QString SCTimeSeparator(const QString& timeFormat);

/// Spells out the composite conversions of a strftime format (%T, %R, %r, %X, %D, %F, %c, %x)
/// with the given locale parts; exposed for tests.
QString SCExpandTimeDateFormat(const QString& format, const QString& localeTimeFormat,
                               const QString& localeAmPmTimeFormat,
                               const QString& localeDateFormat);
