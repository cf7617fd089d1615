#include "SCAMPMText.h"
#include "SCCalendarView.h"
#include "SCClockView.h"
#include "SCFakeToday.h"
#include "SCLocalization.h"
#include "SCTestMain.h"
#include "SCWeekView.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QToolButton>

class tst_SCLocalization : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void cleanup() { SCRemoveTranslators(); }
    void germanTranslatesTheControls();
    void untranslatedTextsShowInEnglish();
    void controlsFollowALanguageChange();
};

void tst_SCLocalization::germanTranslatesTheControls() {
    QVERIFY(SCInstallTranslators(QLocale(QLocale::German, QLocale::Austria)));
    SCFakeToday today(QDate(2003, 12, 10));

    SCWeekView week;
    QCOMPARE(week.dayButton(0)->text(), QStringLiteral("So"));
    QCOMPARE(week.dayButton(6)->text(), QStringLiteral("Sa"));

    SCCalendarView calendar;
    QCOMPARE(calendar.lastMonthButton()->toolTip(),
             QStringLiteral("Diese Schaltfläche ist zurzeit deaktiviert, weil Sie keine "
                            "Ereignisse in der Vergangenheit planen können."));

    SCClockView clock(QStringLiteral("%I:%M %p"));
    clock.setHour(15);
    QCOMPARE(clock.ampmText()->text(), QStringLiteral("nachm."));
}

void tst_SCLocalization::untranslatedTextsShowInEnglish() {
    QVERIFY(SCInstallTranslators(QLocale(QLocale::German, QLocale::Germany)));
    QCOMPARE(QCoreApplication::translate("SCWeekView", "A text no one translated."),
             QStringLiteral("A text no one translated."));

    // A language the application has no translation for keeps every text as written.
    QVERIFY(!SCInstallTranslators(QLocale(QLocale::English, QLocale::UnitedStates)));
    QCOMPARE(QCoreApplication::translate("SCWeekView", "Sun"), QStringLiteral("Sun"));
    QVERIFY(!SCInstallTranslators(QLocale(QLocale::Japanese, QLocale::Japan)));
    QCOMPARE(QCoreApplication::translate("SCWeekView", "Sun"), QStringLiteral("Sun"));
}

void tst_SCLocalization::controlsFollowALanguageChange() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCWeekView week;
    SCClockView clock(QStringLiteral("%I:%M %p"));
    clock.setHour(9);
    SCCalendarView calendar;
    calendar.nextMonthButton()->click();

    QVERIFY(SCInstallTranslators(QLocale(QLocale::German, QLocale::Germany)));
    QCoreApplication::processEvents(); // the language change reaches the widgets
    QCOMPARE(week.dayButton(3)->text(), QStringLiteral("Mi"));
    QCOMPARE(clock.ampmText()->text(), QStringLiteral("vorm."));
    QCOMPARE(clock.hourCell()->accessibleName(), QStringLiteral("Stunde"));
    QCOMPARE(calendar.lastMonthButton()->toolTip(),
             QStringLiteral("Klicken Sie hier, um einen Monat zurückzugehen."));
    QVERIFY(calendar.lastMonthButton()->isEnabled()); // the state stays as it was

    SCRemoveTranslators();
    QCoreApplication::processEvents();
    QCOMPARE(week.dayButton(3)->text(), QStringLiteral("Wed"));
    QCOMPARE(clock.ampmText()->text(), QStringLiteral("AM"));
}

SC_TEST_MAIN(tst_SCLocalization)
#include "tst_SCLocalization.moc"
