#include "SCNextLaunchFormat.h"

#include "SCCurrentDate.h"
#include "SCFormatPreferences.h"
#include "SCLocalizedString.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"

namespace {

// The user's designations of today and tomorrow (a single string each, when set).
constexpr char kThisDayDesignationsKey[] = "NSThisDayDesignations";
constexpr char kNextDayDesignationsKey[] = "NSNextDayDesignations";

// A designation is plain text inside the format.
QString escapedForFormat(const QString& text) {
    QString escaped = text;
    return escaped.replace(u'%', QStringLiteral("%%"));
}

QString designation(const char* key, const char* fallbackKey) {
    const std::optional<QString> stored = SCCurrentUserDefaultsSource().stringForKey(key);
    return escapedForFormat(stored && !stored->isEmpty() ? *stored
                                                         : SCLocalizedString(fallbackKey));
}

QString number(int value, int width, QChar pad) {
    return width > 0 ? QStringLiteral("%1").arg(value, width, 10, pad) : QString::number(value);
}

int twelveHour(int hour) {
    const int h = hour % 12;
    return h == 0 ? 12 : h;
}

QString utcOffset(const QDateTime& when) {
    const int seconds = when.offsetFromUtc();
    const int minutes = (seconds < 0 ? -seconds : seconds) / 60;
    return QStringLiteral("%1%2%3")
        .arg(seconds < 0 ? u'-' : u'+')
        .arg(minutes / 60, 2, 10, QChar(u'0'))
        .arg(minutes % 60, 2, 10, QChar(u'0'));
}

QString convert(QChar conversion, QChar flag, const QDateTime& when, const QLocale& locale) {
    const QDate date = when.date();
    const QTime time = when.time();
    // The "-" flag drops the padding, "_" pads with blanks, "0" with zeros.
    auto padded = [flag](int value, int width, QChar pad = u'0') {
        if (flag == u'-') {
            return number(value, 0, pad);
        }
        return number(value, width, flag == u'_' ? QChar(u' ') : flag == u'0' ? QChar(u'0') : pad);
    };
    switch (conversion.unicode()) {
    case 'a':
        return locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
    case 'A':
        return locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
    case 'b':
    case 'h':
        return locale.monthName(date.month(), QLocale::ShortFormat);
    case 'B':
        return locale.monthName(date.month(), QLocale::LongFormat);
    case 'C':
        return padded(date.year() / 100, 2);
    case 'd':
        return padded(date.day(), 2);
    case 'e':
        return padded(date.day(), 0);
    case 'H':
        return padded(time.hour(), 2);
    case 'I':
        return padded(twelveHour(time.hour()), 2);
    case 'k':
        return padded(time.hour(), 0);
    case 'l':
        return padded(twelveHour(time.hour()), 0);
    case 'j':
        return padded(date.dayOfYear(), 3);
    case 'm':
        return padded(date.month(), 2);
    case 'M':
        return padded(time.minute(), 2);
    case 'n':
    case 't':
        return QStringLiteral(" "); // one line per cell
    case 'p':
        return time.hour() < 12 ? locale.amText() : locale.pmText();
    case 'P':
        return (time.hour() < 12 ? locale.amText() : locale.pmText()).toLower();
    case 'S':
        return padded(time.second(), 2);
    case 'u':
        return QString::number(date.dayOfWeek());
    case 'w':
        return QString::number(date.dayOfWeek() % 7);
    case 'y':
        return padded(date.year() % 100, 2);
    case 'Y':
        return QString::number(date.year());
    case 'Z':
        return when.timeZoneAbbreviation();
    case 'z':
        return utcOffset(when);
    case '%':
        return QStringLiteral("%");
    case 'D':
        return SCFormatDateTime(QStringLiteral("%m/%d/%y"), when, locale);
    case 'F':
        return SCFormatDateTime(QStringLiteral("%Y-%m-%d"), when, locale);
    case 'R':
        return SCFormatDateTime(QStringLiteral("%H:%M"), when, locale);
    case 'T':
        return SCFormatDateTime(QStringLiteral("%H:%M:%S"), when, locale);
    case 'r':
        return SCFormatDateTime(QStringLiteral("%I:%M:%S %p"), when, locale);
    case 'c':
        return locale.toString(when, QLocale::ShortFormat);
    case 'x':
        return locale.toString(date, QLocale::ShortFormat);
    case 'X':
        return locale.toString(time, QLocale::ShortFormat);
    default:
        return QString();
    }
}

} // namespace

QString SCNextLaunchTimePart(const QString& timeFormat) {
    const qsizetype seconds = timeFormat.indexOf(QLatin1String("%S"));
    if (seconds < 0) {
        return timeFormat;
    }
    const QString kept = timeFormat.left(seconds > 0 ? seconds - 1 : 0);
    // The seconds go and the AM/PM mark comes back, but only on a 12-hour clock: a 24-hour
    // time followed by a mark ("14:05 PM") reads as a mistake.
    if (kept.contains(QLatin1String("%H")) || kept.contains(QLatin1String("%k"))) {
        return kept;
    }
    return kept + QStringLiteral(" %p");
}

QString SCNextLaunchDatePart(const QString& dateFormat) {
    if (!dateFormat.startsWith(QLatin1String("%A"))) {
        return dateFormat;
    }
    const qsizetype next = dateFormat.indexOf(u'%', 2);
    return next < 0 ? dateFormat : dateFormat.mid(next);
}

QString SCNextLaunchDailyPart(const QDateTime& nextLaunch, const QDate& today) {
    if (nextLaunch.date().day() == today.day()) {
        return designation(kThisDayDesignationsKey, kSCTodayKey);
    }
    return designation(kNextDayDesignationsKey, kSCTomorrowKey);
}

QString SCNextLaunchFormat(const SCTaskDataModel& row) {
    QString dayPart;
    if (row.frequencyIsWeekly()) {
        dayPart = QStringLiteral("%A");
    } else if (row.frequencyIsDaily()) {
        dayPart = SCNextLaunchDailyPart(row.mNextLaunch(), SCToday());
    } else {
        dayPart = SCNextLaunchDatePart(SCUserDateFormat());
    }
    return QStringLiteral("%1, %2").arg(dayPart, SCNextLaunchTimePart(SCUserTimeFormat()));
}

QString SCFormatDateTime(const QString& format, const QDateTime& when, const QLocale& locale) {
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != u'%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        const qsizetype start = i;
        QChar flag;
        if (format[i + 1] == u'-' || format[i + 1] == u'_' || format[i + 1] == u'0') {
            flag = format[++i];
        }
        // The alternative-representation modifiers have no counterpart here.
        if (i + 1 < format.size() && (format[i + 1] == u'E' || format[i + 1] == u'O')) {
            ++i;
        }
        if (i + 1 >= format.size()) {
            out += format.mid(start);
            break;
        }
        const QChar conversion = format[++i];
        const QString text = convert(conversion, flag, when, locale);
        if (text.isNull()) {
            out += format.mid(start, i - start + 1);
        } else {
            out += text;
        }
    }
    return out;
}
