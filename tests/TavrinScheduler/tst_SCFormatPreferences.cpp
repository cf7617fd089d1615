#include "PreferencesArguments.h"
#include "SCClockView.h"
#include "SCFakeUserDefaults.h"
#include "SCFormatPreferences.h"
#include "SCTestMain.h"

#include <QHash>
#include <QLabel>
#include <QTemporaryDir>

#include <clocale>
#include <string>

namespace {

// Runs the test in the C locale's time formats and puts the previous ones back.
class CTimeLocale {
public:
    CTimeLocale() : mPrevious(setlocale(LC_TIME, nullptr)) { setlocale(LC_TIME, "C"); }
    ~CTimeLocale() { setlocale(LC_TIME, mPrevious.c_str()); }

private:
    std::string mPrevious;
};

} // namespace

class tst_SCFormatPreferences : public QObject {
    Q_OBJECT

private slots:
    void userDefaultsOverrideTheLocale();
    void applicationUserDefaultsReachTheClock();
    void expandsCompositeConversions_data();
    void expandsCompositeConversions();
    void clockKindAndSeparator_data();
    void clockKindAndSeparator();
};

void tst_SCFormatPreferences::userDefaultsOverrideTheLocale() {
    CTimeLocale c;
    SCFakeUserDefaults defaults;
    SCScopedUserDefaultsSource use(&defaults);

    QCOMPARE(SCUserTimeFormat(), QStringLiteral("%H:%M:%S"));
    QCOMPARE(SCUserDateFormat(), QStringLiteral("%m/%d/%y"));

    defaults.values.insert(kTimeFormatKey, QStringLiteral("%I:%M %p"));
    defaults.values.insert(kDateFormatKey, QStringLiteral("%A, %B %e, %Y"));
    QCOMPARE(SCUserTimeFormat(), QStringLiteral("%I:%M %p"));
    QCOMPARE(SCUserDateFormat(), QStringLiteral("%A, %B %e, %Y"));

    // An empty stored format is no format: the locale's stands.
    defaults.values.insert(kTimeFormatKey, QString());
    QCOMPARE(SCUserTimeFormat(), QStringLiteral("%H:%M:%S"));
}

void tst_SCFormatPreferences::applicationUserDefaultsReachTheClock() {
    // The platform's user defaults, inside a private root: "-key value" on the command line.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    qputenv("QORSCHED_ROOT", root.path().toUtf8());
    const char* argv[] = {"Tavrin Scheduler", "-NSTimeFormatString", "%I.%M %p"};
    QorSetArgumentDomain(3, argv);

    QCOMPARE(SCUserTimeFormat(), QStringLiteral("%I.%M %p"));
    SCClockView clock;
    QVERIFY(!clock.uses24HourClock());
    QCOMPARE(clock.separatorLabel()->text(), QStringLiteral("."));

    QorSetArgumentDomain(1, argv);
    qunsetenv("QORSCHED_ROOT");
}

void tst_SCFormatPreferences::expandsCompositeConversions_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expanded");
    // The locale parts used: time "%T", 12-hour time "%I:%M:%S %p", date "%d.%m.%Y".
    QTest::newRow("T") << "%T"
                       << "%H:%M:%S";
    QTest::newRow("R with text") << "%R Uhr"
                                 << "%H:%M Uhr";
    QTest::newRow("r") << "%r"
                       << "%I:%M:%S %p";
    QTest::newRow("X refers to T") << "%X"
                                   << "%H:%M:%S";
    QTest::newRow("x") << "%x"
                       << "%d.%m.%Y";
    QTest::newRow("D") << "%D"
                       << "%m/%d/%y";
    QTest::newRow("F") << "%F"
                       << "%Y-%m-%d";
    QTest::newRow("plain kept") << "%A, %B %e, %Y"
                                << "%A, %B %e, %Y";
    QTest::newRow("percent sign kept") << "%H%%"
                                       << "%H%%";
    QTest::newRow("trailing percent") << "%H:%"
                                      << "%H:%";
}

void tst_SCFormatPreferences::expandsCompositeConversions() {
    QFETCH(QString, format);
    QFETCH(QString, expanded);
    QCOMPARE(SCExpandTimeDateFormat(format, "%T", "%I:%M:%S %p", "%d.%m.%Y"), expanded);
}

void tst_SCFormatPreferences::clockKindAndSeparator_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("uses24Hours");
    QTest::addColumn<QString>("separator");
    QTest::newRow("24-hour colon") << "%H:%M:%S" << true << ":";
    QTest::newRow("12-hour colon") << "%I:%M %p" << false << ":";
    QTest::newRow("24-hour dot") << "%H.%M" << true << ".";
    QTest::newRow("24-hour letter") << "%Hh%M" << true << "h";
    QTest::newRow("12-hour dot") << "%I.%M %p" << false << ".";
    QTest::newRow("nothing after the hour") << "%H" << true << ":";
    QTest::newRow("next conversion follows") << "%H%M" << true << ":";
    QTest::newRow("no hour conversion") << "%l:%M %p" << false << ":";
}

void tst_SCFormatPreferences::clockKindAndSeparator() {
    QFETCH(QString, format);
    QFETCH(bool, uses24Hours);
    QFETCH(QString, separator);
    QCOMPARE(SCUses24HourClock(format), uses24Hours);
    QCOMPARE(SCTimeSeparator(format), separator);
}

SC_TEST_MAIN(tst_SCFormatPreferences)
#include "tst_SCFormatPreferences.moc"
