#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

class SCTaskDataModel;

// How the task table shows a task's next launch: a day part and a time part, "%@, %@", built
// from the user's strftime-style date and time formats.

/// The time part: timeFormat, or, when it shows seconds, the text before the character in
/// front of "%S" (normally the separator), followed by " %p" on a 12-hour clock:
/// "%I:%M:%S %p" gives "%I:%M %p", "%H:%M:%S" gives "%H:%M".
QString SCNextLaunchTimePart(const QString& timeFormat);

/// The day part of rows that are neither weekly nor daily: dateFormat without a leading
/// weekday, that is without "%A" and everything up to the next "%" ("%A, %B %e, %Y" gives
/// "%B %e, %Y"). A format with nothing after its weekday stays as it is.
QString SCNextLaunchDatePart(const QString& dateFormat);

/// The day part of a daily row: the user's designation for today (when the next launch falls
/// on today's day of the month) or for tomorrow, else the localized "Today" or "Tomorrow".
QString SCNextLaunchDailyPart(const QDateTime& nextLaunch, const QDate& today);

/// The whole format for row: weekly rows show the weekday, daily rows today or tomorrow, other
/// rows the date; then the time. Reads the user's formats and today's date.
QString SCNextLaunchFormat(const SCTaskDataModel& row);

/// when, shown with a strftime-style format, with the names and AM/PM texts of locale. Numbers
/// without padding come from %e, %k, %l and the "-" flag ("%-d"); composite conversions (%D,
/// %F, %R, %T, %r, %c, %x, %X) are spelt out; an unknown conversion shows as written.
QString SCFormatDateTime(const QString& format, const QDateTime& when,
                         const QLocale& locale = QLocale());
