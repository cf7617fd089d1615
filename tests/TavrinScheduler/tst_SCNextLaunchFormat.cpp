#include "SCFakeToday.h"
#include "SCFakeUserDefaults.h"
#include "SCFormatPreferences.h"
#include "SCNextLaunchFormat.h"
#include "SCOSTypeConversions.h"
#include "SCTaskDataModel.h"
#include "SCTestMain.h"

#include <QHash>

namespace {

SCTaskDataModel rowOf(int scheduleType, const QDateTime& nextLaunch) {
    SCTaskDataModel row;
    row.setmFrequency(scheduleType);
    row.setmNextLaunch(nextLaunch);
    return row;
}

} // namespace

class tst_SCNextLaunchFormat : public QObject {
    Q_OBJECT

private slots:
    void timePart_data();
    void timePart();
    void datePart_data();
    void datePart();
    void formatByRow_data();
    void formatByRow();
    void designationsFromTheUserDefaults();
    void formatDateTime_data();
    void formatDateTime();
    void fourCharacterCodes();
};

void tst_SCNextLaunchFormat::timePart_data() {
    QTest::addColumn<QString>("timeFormat");
    QTest::addColumn<QString>("timePart");

    QTest::newRow("24-hour with seconds") << "%H:%M:%S"
                                          << "%H:%M";
    QTest::newRow("12-hour with seconds") << "%I:%M:%S %p"
                                          << "%I:%M %p";
    QTest::newRow("without seconds") << "%I:%M %p"
                                     << "%I:%M %p";
    QTest::newRow("seconds alone") << "%S"
                                   << " %p";
}

void tst_SCNextLaunchFormat::timePart() {
    QFETCH(QString, timeFormat);
    QFETCH(QString, timePart);
    QCOMPARE(SCNextLaunchTimePart(timeFormat), timePart);
}

void tst_SCNextLaunchFormat::datePart_data() {
    QTest::addColumn<QString>("dateFormat");
    QTest::addColumn<QString>("datePart");

    QTest::newRow("weekday first") << "%A, %B %e, %Y"
                                   << "%B %e, %Y";
    QTest::newRow("no weekday") << "%m/%d/%y"
                                << "%m/%d/%y";
    QTest::newRow("weekday later") << "%B %e, %Y (%A)"
                                   << "%B %e, %Y (%A)";
    QTest::newRow("weekday alone") << "%A"
                                   << "%A";
}

void tst_SCNextLaunchFormat::datePart() {
    QFETCH(QString, dateFormat);
    QFETCH(QString, datePart);
    QCOMPARE(SCNextLaunchDatePart(dateFormat), datePart);
}

void tst_SCNextLaunchFormat::formatByRow_data() {
    QTest::addColumn<int>("scheduleType");
    QTest::addColumn<QDateTime>("nextLaunch");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");

    // Today is Wednesday 15 May 2024.
    QTest::newRow("monthly") << 1 << QDateTime(QDate(2024, 6, 1), QTime(14, 5))
                             << "%B %e, %Y, %H:%M"
                             << "June 1, 2024, 14:05";
    QTest::newRow("one time") << 4 << QDateTime(QDate(2024, 12, 24), QTime(18, 0))
                              << "%B %e, %Y, %H:%M"
                              << "December 24, 2024, 18:00";
    QTest::newRow("weekly") << 2 << QDateTime(QDate(2024, 5, 19), QTime(2, 30)) << "%A, %H:%M"
                            << "Sunday, 02:30";
    QTest::newRow("daily, later today")
        << 3 << QDateTime(QDate(2024, 5, 15), QTime(23, 0)) << "Today, %H:%M"
        << "Today, 23:00";
    QTest::newRow("daily, tomorrow")
        << 3 << QDateTime(QDate(2024, 5, 16), QTime(9, 0)) << "Tomorrow, %H:%M"
        << "Tomorrow, 09:00";
}

void tst_SCNextLaunchFormat::formatByRow() {
    QFETCH(int, scheduleType);
    QFETCH(QDateTime, nextLaunch);
    QFETCH(QString, format);
    QFETCH(QString, shown);

    SCFakeUserDefaults defaults;
    defaults.values.insert(kTimeFormatKey, QStringLiteral("%H:%M:%S"));
    defaults.values.insert(kDateFormatKey, QStringLiteral("%A, %B %e, %Y"));
    SCScopedUserDefaultsSource useDefaults(&defaults);
    SCFakeToday today(QDate(2024, 5, 15));

    const SCTaskDataModel row = rowOf(scheduleType, nextLaunch);
    QCOMPARE(SCNextLaunchFormat(row), format);
    QCOMPARE(SCFormatDateTime(format, nextLaunch), shown);
}

void tst_SCNextLaunchFormat::designationsFromTheUserDefaults() {
    SCFakeUserDefaults defaults;
    defaults.values.insert(kTimeFormatKey, QStringLiteral("%I:%M %p"));
    defaults.values.insert(QStringLiteral("NSThisDayDesignations"), QStringLiteral("100% today"));
    defaults.values.insert(QStringLiteral("NSNextDayDesignations"), QStringLiteral("tmrw"));
    SCScopedUserDefaultsSource useDefaults(&defaults);
    SCFakeToday today(QDate(2024, 5, 15));

    const QDateTime tonight(QDate(2024, 5, 15), QTime(21, 0));
    const QString format = SCNextLaunchFormat(rowOf(3, tonight));
    QCOMPARE(format, QStringLiteral("100%% today, %I:%M %p"));
    QCOMPARE(SCFormatDateTime(format, tonight), QStringLiteral("100% today, 09:00 PM"));
    QCOMPARE(SCNextLaunchFormat(rowOf(3, tonight.addDays(1))), QStringLiteral("tmrw, %I:%M %p"));
}

void tst_SCNextLaunchFormat::formatDateTime_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");

    // Monday 5 February 2024, 00:07:09.
    QTest::newRow("padded numbers") << "%d.%m.%y %H:%M:%S"
                                    << "en_US"
                                    << "05.02.24 00:07:09";
    QTest::newRow("unpadded numbers") << "%e/%-m %k:%M %l"
                                      << "en_US"
                                      << "5/2 0:07 12";
    QTest::newRow("12-hour clock") << "%I:%M %p"
                                   << "en_US"
                                   << "12:07 AM";
    QTest::newRow("names") << "%a %A %b %B"
                           << "en_US"
                           << "Mon Monday Feb February";
    QTest::newRow("German names") << "%A, %e. %B %Y"
                                  << "de_DE"
                                  << "Montag, 5. Februar 2024";
    QTest::newRow("composites") << "%F %T"
                                << "en_US"
                                << "2024-02-05 00:07:09";
    QTest::newRow("day numbers") << "%j %u %w"
                                 << "en_US"
                                 << "036 1 1";
    QTest::newRow("percent and unknown") << "100%% %q"
                                         << "en_US"
                                         << "100% %q";
    QTest::newRow("percent at the end") << "a %"
                                        << "en_US"
                                        << "a %";
}

void tst_SCNextLaunchFormat::formatDateTime() {
    QFETCH(QString, format);
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    const QDateTime when(QDate(2024, 2, 5), QTime(0, 7, 9));
    QCOMPARE(SCFormatDateTime(format, when, QLocale(locale)), shown);
}

void tst_SCNextLaunchFormat::fourCharacterCodes() {
    QCOMPARE(getOSType(QStringLiteral("aevt")), 0x61657674u);
    QCOMPARE(getOSType(QStringLiteral("ab")), 0x61620000u); // missing bytes are zero
    QCOMPARE(getOSType(QStringLiteral("abcdef")), 0x61626364u);
    QCOMPARE(stringFromOSType(0x61657674u), QStringLiteral("aevt"));
    QCOMPARE(stringFromOSType(0x61620063u), QStringLiteral("ab")); // ends at a zero byte
    QCOMPARE(stringFromOSType(0), QString());
    // Every byte survives the round trip.
    const uint32_t highBytes = 0xA9FF8020u;
    QCOMPARE(getOSType(stringFromOSType(highBytes)), highBytes);
    QCOMPARE(fourCharacterString(0).size(), 4);
}

SC_TEST_MAIN(tst_SCNextLaunchFormat)
#include "tst_SCNextLaunchFormat.moc"
