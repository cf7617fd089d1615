#include "SCCalendarDayCell.h"
#include "SCCalendarView.h"
#include "SCFakeToday.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"
#include "SCTestMain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

namespace {

const QString kClickTip = QStringLiteral("Click a day to start your event.");
const QString kPastTip = QStringLiteral(
    "These days are currently disabled because you cannot schedule events in the past.");
const QString kFutureTip = QStringLiteral("These days are currently disabled because you cannot "
                                          "schedule events more than one year in the future.");
const QString kBackTip = QStringLiteral("Click to go back a month.");
const QString kForwardTip = QStringLiteral("Click to go forward a month.");
const QString kBackDisabledTip = QStringLiteral(
    "This button is currently disabled because you cannot schedule events in the past.");
const QString kForwardDisabledTip =
    QStringLiteral("This button is currently disabled because you cannot schedule events more "
                   "than one year in the future.");

QDateTime midnight(int year, int month, int day) {
    return QDateTime(QDate(year, month, day), QTime(0, 0), Qt::LocalTime);
}

SCCalendarDayCell* dayCell(const SCCalendarView& view, int day) {
    return view.cell(day + view.startOffset() - 1);
}

// The day numbers of the shown month that can (enabled) or cannot be chosen.
QList<int> days(const SCCalendarView& view, bool enabled) {
    QList<int> list;
    for (int tag = 0; tag < view.cellCount(); ++tag) {
        const SCCalendarDayCell* c = view.cell(tag);
        if (c->isBordered() && c->isEnabled() == enabled) {
            list << c->text().toInt();
        }
    }
    return list;
}

QList<int> range(int first, int last) {
    QList<int> list;
    for (int day = first; day <= last; ++day) {
        list << day;
    }
    return list;
}

// Every day cell of the shown month carries the tooltip its state calls for.
bool tooltipsMatch(const SCCalendarView& view, const QString& disabledTip) {
    for (int tag = 0; tag < view.cellCount(); ++tag) {
        const SCCalendarDayCell* c = view.cell(tag);
        if (c->isBordered() && c->toolTip() != (c->isEnabled() ? kClickTip : disabledTip)) {
            return false;
        }
    }
    return true;
}

int markedDay(const SCCalendarView& view) {
    for (int tag = 0; tag < view.cellCount(); ++tag) {
        if (view.cell(tag)->isMarkedToday()) {
            return view.cell(tag)->text().toInt();
        }
    }
    return 0;
}

} // namespace

class tst_SCCalendarView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void opensOnTodaysMonthWithThePastDisabled();
    void marksTodayWhileAnotherDayIsChosen();
    void reachesThirteenMonthsEndingTheDayBeforeOneYearAhead();
    void goingBackEnablesForwardAndReturnsToTheFirst();
    void monthGrid_data();
    void monthGrid();
    void editorDateKeepsItsTimeAndLimits();
};

void tst_SCCalendarView::opensOnTodaysMonthWithThePastDisabled() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarView view;
    QCOMPARE(view.monthName()->text(), QStringLiteral("December 2003"));
    QCOMPARE(view.selectedDay(), midnight(2003, 12, 10));
    QCOMPARE(view.selectedTag(), 10 + view.startOffset() - 1);
    QCOMPARE(days(view, false), range(1, 9));
    QCOMPARE(days(view, true), range(10, 31));
    QVERIFY(tooltipsMatch(view, kPastTip));
    QVERIFY(!view.lastMonthButton()->isEnabled());
    QCOMPARE(view.lastMonthButton()->toolTip(), kBackDisabledTip);
    QVERIFY(view.nextMonthButton()->isEnabled());
    QCOMPARE(view.nextMonthButton()->toolTip(), kForwardTip);
    QCOMPARE(markedDay(view), 0); // today is the chosen day
}

void tst_SCCalendarView::marksTodayWhileAnotherDayIsChosen() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarView view;
    QSignalSpy chosen(&view, &SCCalendarView::didChangeToDate);
    QSignalSpy posted(&SCNotificationCenter::defaultCenter(), &SCNotificationCenter::posted);

    dayCell(view, 15)->click();
    QCOMPARE(view.selectedDay(), midnight(2003, 12, 15));
    QCOMPARE(markedDay(view), 10);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toDateTime(), midnight(2003, 12, 15));
    QCOMPARE(posted.count(), 1);
    QCOMPARE(posted.at(0).at(0).toString(), QString(ControlTextDidChangeNotification));

    dayCell(view, 10)->click();
    QCOMPARE(markedDay(view), 0);

    // A past day cannot be chosen.
    QVERIFY(!dayCell(view, 9)->isEnabled());
}

void tst_SCCalendarView::reachesThirteenMonthsEndingTheDayBeforeOneYearAhead() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarView view;
    QStringList titles{view.monthName()->text()};
    while (view.nextMonthButton()->isEnabled() && titles.size() < 20) {
        view.nextMonthButton()->click();
        titles << view.monthName()->text();
        QVERIFY(view.lastMonthButton()->isEnabled());
        QCOMPARE(view.lastMonthButton()->toolTip(), kBackTip);
        QCOMPARE(view.selectedDay().date().day(), 1);
    }
    QCOMPARE(titles.size(), 13);
    QCOMPARE(titles.at(1), QStringLiteral("January 2004"));
    QCOMPARE(titles.last(), QStringLiteral("December 2004"));

    // The month one year ahead ends the day before today's date.
    QCOMPARE(view.nextMonthButton()->toolTip(), kForwardDisabledTip);
    QCOMPARE(days(view, true), range(1, 9));
    QCOMPARE(days(view, false), range(10, 31));
    QVERIFY(tooltipsMatch(view, kFutureTip));
    QCOMPARE(markedDay(view), 0);
    dayCell(view, 9)->click();
    QCOMPARE(view.selectedDay(), midnight(2004, 12, 9));
}

void tst_SCCalendarView::goingBackEnablesForwardAndReturnsToTheFirst() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarView view;
    for (int step = 0; step < 12; ++step) {
        view.nextMonthButton()->click();
    }
    QVERIFY(!view.nextMonthButton()->isEnabled());
    view.lastMonthButton()->click();
    QCOMPARE(view.monthName()->text(), QStringLiteral("November 2004"));
    QVERIFY(view.nextMonthButton()->isEnabled());
    QCOMPARE(view.nextMonthButton()->toolTip(), kForwardTip);
    QCOMPARE(days(view, false), QList<int>{}); // nothing disabled between the ends

    while (view.lastMonthButton()->isEnabled()) {
        view.lastMonthButton()->click();
    }
    // Back across the year to December 2003: its 1st is chosen although it has passed.
    QCOMPARE(view.monthName()->text(), QStringLiteral("December 2003"));
    QCOMPARE(view.selectedDay(), midnight(2003, 12, 1));
    QVERIFY(dayCell(view, 1)->isChecked());
    QVERIFY(!dayCell(view, 1)->isEnabled());
    QCOMPARE(days(view, false), range(1, 9));
    QCOMPARE(markedDay(view), 10);
    QCOMPARE(view.lastMonthButton()->toolTip(), kBackDisabledTip);
    QVERIFY(view.nextMonthButton()->isEnabled());
}

void tst_SCCalendarView::monthGrid_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<int>("startOffset");
    QTest::addColumn<int>("dayCount");
    QTest::newRow("February of a leap year") << QDate(2003, 12, 10) << QDate(2004, 2, 1) << 0 << 29;
    QTest::newRow("February of a common year")
        << QDate(2004, 12, 10) << QDate(2005, 2, 1) << 2 << 28;
    QTest::newRow("century, not a leap year") << QDate(2099, 6, 1) << QDate(2100, 2, 1) << 1 << 28;
    QTest::newRow("400th year, a leap year") << QDate(1999, 6, 1) << QDate(2000, 2, 1) << 2 << 29;
    QTest::newRow("31 days from a Saturday") << QDate(2004, 12, 10) << QDate(2005, 1, 1) << 6 << 31;
    QTest::newRow("31 days from a Sunday") << QDate(2004, 6, 10) << QDate(2004, 8, 1) << 0 << 31;
}

void tst_SCCalendarView::monthGrid() {
    QFETCH(QDate, today);
    QFETCH(QDate, shown);
    QFETCH(int, startOffset);
    QFETCH(int, dayCount);
    SCFakeToday fake(today);
    SCCalendarView view;
    view.setSelectedDay(QDateTime(shown, QTime(0, 0), Qt::LocalTime));
    view.refreshCalendar();

    QCOMPARE(view.startOffset(), startOffset);
    for (int tag = 0; tag < view.cellCount(); ++tag) {
        const bool isDay = tag >= startOffset && tag < startOffset + dayCount;
        QCOMPARE(view.cell(tag)->isBordered(), isDay);
        QCOMPARE(view.cell(tag)->text(),
                 isDay ? QString::number(tag - startOffset + 1) : QString());
        if (!isDay) {
            QVERIFY(!view.cell(tag)->isEnabled());
        }
    }
    QCOMPARE(view.selectedTag(), startOffset);
}

void tst_SCCalendarView::editorDateKeepsItsTimeAndLimits() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarView view;
    // The editor shows a task's next launch: a date with its time of day.
    const QDateTime nextLaunch(QDate(2004, 12, 5), QTime(14, 30), Qt::LocalTime);
    view.setSelectedDay(nextLaunch);
    view.refreshCalendar();
    QCOMPARE(view.selectedDay(), nextLaunch);
    view.choseDay();
    QCOMPARE(view.selectedDay(), midnight(2004, 12, 5));
    QVERIFY(!view.nextMonthButton()->isEnabled());
    QVERIFY(view.lastMonthButton()->isEnabled());
    QCOMPARE(days(view, false), range(10, 31));
}

SC_TEST_MAIN(tst_SCCalendarView)
#include "tst_SCCalendarView.moc"
