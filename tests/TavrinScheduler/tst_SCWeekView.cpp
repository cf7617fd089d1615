#include "SCFakeToday.h"
#include "SCTestMain.h"
#include "SCWeekView.h"

#include <QAbstractButton>
#include <QSignalSpy>

namespace {

QList<int> checkedDays(const SCWeekView& view) {
    QList<int> days;
    for (int day = 0; day < 7; ++day) {
        if (view.dayButton(day)->isChecked()) {
            days << day;
        }
    }
    return days;
}

} // namespace

class tst_SCWeekView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SCTest::quietOffscreenWarnings(); }
    void startsOnTodaysWeekdaySundayFirst();
    void choosingByTheEditor_data();
    void choosingByTheEditor();
    void choosingByTheUser();
};

void tst_SCWeekView::startsOnTodaysWeekdaySundayFirst() {
    const QStringList titles{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int offset = 0; offset < 7; ++offset) {
        SCFakeToday today(QDate(2003, 12, 7).addDays(offset)); // a Sunday, then the week
        SCWeekView view;
        QCOMPARE(view.selectedDay(), offset);
        QCOMPARE(checkedDays(view), QList<int>{offset});
        QCOMPARE(view.dayButton(offset)->text(), titles[offset]);
    }
}

void tst_SCWeekView::choosingByTheEditor_data() {
    QTest::addColumn<bool>("restore"); // restoreSelectedDay (stored weekday + 1), else set
    QTest::addColumn<int>("argument");
    QTest::addColumn<int>("day");
    QTest::newRow("set Sunday") << false << 0 << 0;
    QTest::newRow("set Saturday") << false << 6 << 6;
    QTest::newRow("restore Sunday") << true << 1 << 0;
    QTest::newRow("restore Saturday") << true << 7 << 6;
    // Out of range (a damaged task): the choice stays Wednesday, today.
    QTest::newRow("set 7") << false << 7 << 3;
    QTest::newRow("set -1") << false << -1 << 3;
    QTest::newRow("restore 0") << true << 0 << 3;
    QTest::newRow("restore 8") << true << 8 << 3;
}

void tst_SCWeekView::choosingByTheEditor() {
    QFETCH(bool, restore);
    QFETCH(int, argument);
    QFETCH(int, day);
    SCFakeToday today(QDate(2003, 12, 10));
    SCWeekView view;
    QSignalSpy changed(&view, &SCWeekView::selectedDayChanged);
    restore ? view.restoreSelectedDay(argument) : view.setSelectedDay(argument);
    QCOMPARE(view.selectedDay(), day);
    QCOMPARE(checkedDays(view), QList<int>{day});
    QCOMPARE(changed.count(), 0); // only the user's choices are announced
}

void tst_SCWeekView::choosingByTheUser() {
    SCFakeToday today(QDate(2003, 12, 10));
    SCWeekView view;
    view.show();
    QSignalSpy changed(&view, &SCWeekView::selectedDayChanged);

    QTest::mouseClick(view.dayButton(5), Qt::LeftButton);
    QCOMPARE(view.selectedDay(), 5);
    QCOMPARE(checkedDays(view), QList<int>{5});

    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right); // no day after Saturday
    QCOMPARE(view.selectedDay(), 6);
    QTest::keyClick(&view, Qt::Key_Left);
    QCOMPARE(view.selectedDay(), 5);

    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(0).at(0).toInt(), 5);
    QCOMPARE(changed.at(2).at(0).toInt(), 5);
}

SC_TEST_MAIN(tst_SCWeekView)
#include "tst_SCWeekView.moc"
