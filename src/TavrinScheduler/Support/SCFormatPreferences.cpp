#include "SCFormatPreferences.h"

#include "PreferencesArguments.h"

#include <langinfo.h>

namespace {

// The running application's user defaults: its command-line arguments, then the user's domain.
class PlatformUserDefaults : public SCUserDefaultsSource {
public:
    std::optional<QString> stringForKey(const QString& key) const override {
        std::optional<std::string> value = QorUserDefaults().StringForKey(key.toStdString());
        if (!value) {
            return std::nullopt;
        }
        return QString::fromStdString(*value);
    }
};

PlatformUserDefaults gPlatformUserDefaults;
SCUserDefaultsSource* gSource = &gPlatformUserDefaults;

QString langinfo(nl_item item) {
    return QString::fromLocal8Bit(nl_langinfo(item));
}

QString localeExpanded(const QString& format) {
    return SCExpandTimeDateFormat(format, langinfo(T_FMT), langinfo(T_FMT_AMPM), langinfo(D_FMT));
}

QString userFormat(const char* key, QString (*localeFormat)()) {
    std::optional<QString> stored = SCCurrentUserDefaultsSource().stringForKey(key);
    if (stored && !stored->isEmpty()) {
        return *stored;
    }
    return localeFormat();
}

} // namespace

SCUserDefaultsSource& SCCurrentUserDefaultsSource() {
    return *gSource;
}

void SCInstallUserDefaultsSource(SCUserDefaultsSource* source) {
    gSource = source ? source : &gPlatformUserDefaults;
}

QString SCExpandTimeDateFormat(const QString& format, const QString& localeTimeFormat,
                               const QString& localeAmPmTimeFormat,
                               const QString& localeDateFormat) {
    // Locale formats may refer to each other ("%r" in T_FMT, "%x" in D_T_FMT); a small depth
    // limit keeps a locale that refers to itself from looping.
    auto expand = [&](auto& self, const QString& text, int depth) -> QString {
        QString out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] != u'%' || i + 1 >= text.size()) {
                out += text[i];
                continue;
            }
            const QChar conversion = text[++i];
            QString replacement;
            switch (conversion.unicode()) {
            case 'T':
                replacement = QStringLiteral("%H:%M:%S");
                break;
            case 'R':
                replacement = QStringLiteral("%H:%M");
                break;
            case 'D':
                replacement = QStringLiteral("%m/%d/%y");
                break;
            case 'F':
                replacement = QStringLiteral("%Y-%m-%d");
                break;
            case 'r':
                replacement = localeAmPmTimeFormat.isEmpty() ? QStringLiteral("%I:%M:%S %p")
                                                             : localeAmPmTimeFormat;
                break;
            case 'X':
                replacement = localeTimeFormat;
                break;
            case 'x':
                replacement = localeDateFormat;
                break;
            default:
                out += u'%';
                out += conversion;
                continue;
            }
            out += depth < 4 ? self(self, replacement, depth + 1) : replacement;
        }
        return out;
    };
    return expand(expand, format, 0);
}

QString SCLocaleTimeFormat() {
    QString format = localeExpanded(langinfo(T_FMT));
    return format.isEmpty() ? QStringLiteral("%H:%M:%S") : format;
}

QString SCLocaleDateFormat() {
    QString format = localeExpanded(langinfo(D_FMT));
    if (format.isEmpty()) {
        format = localeExpanded(langinfo(D_T_FMT));
    }
    return format.isEmpty() ? QStringLiteral("%m/%d/%y") : format;
}

QString SCUserTimeFormat() {
    return userFormat(kTimeFormatKey, SCLocaleTimeFormat);
}

QString SCUserDateFormat() {
    return userFormat(kDateFormatKey, SCLocaleDateFormat);
}

bool SCUses24HourClock(const QString& timeFormat) {
    return timeFormat.contains(u'H');
}

QString SCTimeSeparator(const QString& timeFormat) {
    const QChar hourLetter = SCUses24HourClock(timeFormat) ? u'H' : u'I';
    const qsizetype at = timeFormat.indexOf(hourLetter);
    if (at < 0 || at + 1 >= timeFormat.size() || timeFormat[at + 1] == u'%') {
        return QStringLiteral(":");
    }
    return timeFormat.mid(at + 1, 1);
}
