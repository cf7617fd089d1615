#include "SCCalendarDayCell.h"
#include "SCCalendarMonthlyView.h"
#include "SCFakeToday.h"
#include "SCTestMain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

namespace {

QDateTime midnight(int year, int month, int day) {
    return QDateTime(QDate(year, month, day), QTime(0, 0), Qt::LocalTime);
}

// Every cell shows its day 1-28, enabled and without a tooltip.
bool offersTheFirst28Days(const SCCalendarMonthlyView& view) {
    if (view.cellCount() != 28) {
        return false;
    }
    for (int tag = 0; tag < 28; ++tag) {
        const SCCalendarDayCell* c = view.cell(tag);
        if (c->text() != QString::number(tag + 1) || !c->isEnabled() || !c->isBordered() ||
            !c->toolTip().isEmpty()) {
            return false;
        }
    }
    return true;
}

} // namespace

class tst_SCCalendarMonthlyView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void offersDays1To28InEveryMonth();
    void choosingADay();
    void restoreSelectedDay_data();
    void restoreSelectedDay();
};

void tst_SCCalendarMonthlyView::offersDays1To28InEveryMonth() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarMonthlyView view;
    QCOMPARE(view.selectedDay(), midnight(2003, 12, 1));
    QCOMPARE(view.selectedTag(), 0);
    QCOMPARE(view.startOffset(), 0);
    QVERIFY(offersTheFirst28Days(view));

    QDate expected(2003, 12, 1);
    for (int step = 0; step < 14; ++step) { // past February of a leap year, no limit
        view.nextMonthButton()->click();
        expected = expected.addMonths(1);
        QCOMPARE(view.selectedDay(), QDateTime(expected, QTime(0, 0), Qt::LocalTime));
        QVERIFY(offersTheFirst28Days(view));
        QVERIFY(view.lastMonthButton()->isEnabled());
        QVERIFY(view.nextMonthButton()->isEnabled());
    }
    QCOMPARE(view.monthName()->text(), QStringLiteral("February 2005"));

    for (int step = 0; step < 15; ++step) {
        view.lastMonthButton()->click();
    }
    QCOMPARE(view.monthName()->text(), QStringLiteral("November 2003"));
    QCOMPARE(view.selectedDay(), midnight(2003, 11, 1));
}

void tst_SCCalendarMonthlyView::choosingADay() {
    SCFakeToday today(QDate(2004, 2, 10));
    SCCalendarMonthlyView view;
    QSignalSpy chosen(&view, &SCCalendarMonthlyView::didChangeToDate);
    view.cell(27)->click();
    QCOMPARE(view.selectedDay(), midnight(2004, 2, 28));
    QCOMPARE(chosen.count(), 1);

    // A date the grid has no cell for selects nothing; the date itself stands.
    view.setSelectedDay(midnight(2004, 1, 31));
    view.refreshCalendar();
    QCOMPARE(view.selectedTag(), -1);
    view.choseDay();
    QCOMPARE(view.selectedDay(), midnight(2004, 1, 31));
    QCOMPARE(chosen.count(), 1);
}

void tst_SCCalendarMonthlyView::restoreSelectedDay_data() {
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("tag");
    QTest::newRow("1st") << 1 << 0;
    QTest::newRow("28th") << 28 << 27;
    QTest::newRow("29th: no cell") << 29 << 4;
    QTest::newRow("0: no cell") << 0 << 4;
}

void tst_SCCalendarMonthlyView::restoreSelectedDay() {
    QFETCH(int, day);
    QFETCH(int, tag);
    SCFakeToday today(QDate(2003, 12, 10));
    SCCalendarMonthlyView view;
    view.cell(4)->click();
    view.restoreSelectedDay(day);
    QCOMPARE(view.selectedTag(), tag);
    QCOMPARE(view.selectedDay(), midnight(2003, 12, 5)); // only the selection moves
}

SC_TEST_MAIN(tst_SCCalendarMonthlyView)
#include "tst_SCCalendarMonthlyView.moc"
