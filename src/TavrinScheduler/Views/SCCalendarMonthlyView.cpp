#include "SCCalendarMonthlyView.h"

#include "SCCalendarDayCell.h"
#include "SCCurrentDate.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"

#include <QToolButton>

namespace {

constexpr int kDays = 28;

QDateTime startOfDay(const QDate& date) {
    return QDateTime(date, QTime(0, 0), Qt::LocalTime);
}

} // namespace

SCCalendarMonthlyView::SCCalendarMonthlyView(QWidget* parent) : SCCalendarGrid(4, false, parent) {
    const QDate today = SCToday();
    setSelectedDay(startOfDay(QDate(today.year(), today.month(), 1)));
    refreshCalendar();
    choseDay();
}

void SCCalendarMonthlyView::refreshCalendar() {
    const QDate chosen = selectedDay().date();
    setTitle(QDate(chosen.year(), chosen.month(), 1));
    setStartOffset(0);
    for (int tag = 0; tag < kDays; ++tag) {
        showDay(cell(tag), tag + 1);
    }
    selectCellWithTag(chosen.day() - 1);
}

void SCCalendarMonthlyView::choseDay() {
    const int tag = selectedTag();
    if (tag < 0) {
        return; // no day cell is selected
    }
    const QDate chosen = selectedDay().date();
    const QDateTime day = startOfDay(QDate(chosen.year(), chosen.month(), tag + 1));
    setSelectedDay(day);
    emit didChangeToDate(day);
    SCNotificationCenter::defaultCenter().post(ControlTextDidChangeNotification);
}

void SCCalendarMonthlyView::monthChanged(QAbstractButton* button) {
    const QDate chosen = selectedDay().date();
    const int step = button == nextMonthButton() ? 1 : -1;
    setSelectedDay(startOfDay(firstOfMonth(chosen.year(), chosen.month(), step)));
    refreshCalendar();
    choseDay();
    SCNotificationCenter::defaultCenter().post(ControlTextDidChangeNotification);
}

void SCCalendarMonthlyView::restoreSelectedDay(int day) {
    if (day >= 1 && day <= kDays) {
        selectCellWithTag(day - 1);
    }
}
