#include "SCCalendarView.h"

#include "SCCalendarDayCell.h"
#include "SCCurrentDate.h"
#include "SCNotificationCenter.h"
#include "SCNotificationNames.h"

#include <QEvent>
#include <QToolButton>

namespace {

constexpr int kCells = 42;

QDateTime startOfDay(const QDate& date) {
    return QDateTime(date, QTime(0, 0), Qt::LocalTime);
}

bool isSameMonth(const QDate& a, const QDate& b) {
    return a.year() == b.year() && a.month() == b.month();
}

// The month one year after today's.
bool isLastMonth(const QDate& date, const QDate& today) {
    return date.month() == today.month() && date.year() > today.year();
}

} // namespace

SCCalendarView::SCCalendarView(QWidget* parent) : SCCalendarGrid(6, true, parent) {
    SCCalendarGrid::setSelectedDay(startOfDay(SCToday()));
    // The picker opens on the current month: nothing to go back to.
    setBackArrow(false);
    setForwardArrow(true);
    refreshCalendar();
    choseDay();
    disablePastDays();
}

void SCCalendarView::setSelectedDay(const QDateTime& date) {
    SCCalendarGrid::setSelectedDay(date);
    const QDate today = SCToday();
    const QDate chosen = date.date();
    if (isLastMonth(chosen, today)) {
        disableFutureDays();
        setBackArrow(true);
        setForwardArrow(false);
    } else if (chosen.month() != today.month()) {
        setBackArrow(true);
    } else {
        disablePastDays();
    }
}

void SCCalendarView::refreshCalendar() {
    const QDate chosen = selectedDay().date();
    const QDate first(chosen.year(), chosen.month(), 1);
    setTitle(first);
    const int days = first.daysInMonth();
    setStartOffset(first.dayOfWeek() % 7); // Sunday 0
    const QString tip = tr("Click a day to start your event.");
    for (int tag = 0; tag < kCells; ++tag) {
        SCCalendarDayCell* dayCell = cell(tag);
        if (tag < startOffset() || tag >= startOffset() + days) {
            showBlank(dayCell);
        } else {
            showDay(dayCell, tag - startOffset() + 1);
            dayCell->setToolTip(tip);
        }
    }
    selectCellWithTag(chosen.day() + startOffset() - 1);
    highlightTodayIfVisible();
}

void SCCalendarView::highlightTodayIfVisible() {
    const QDate today = SCToday();
    const QDate chosen = selectedDay().date();
    for (int tag = 0; tag < kCells; ++tag) {
        cell(tag)->setMarkedToday(false);
    }
    if (isSameMonth(chosen, today) && chosen != today) {
        if (SCCalendarDayCell* todayCell = cell(today.day() + startOffset() - 1)) {
            todayCell->setMarkedToday(true);
        }
    }
}

void SCCalendarView::disablePastDays() {
    const QDate today = SCToday();
    const QString tip =
        tr("These days are currently disabled because you cannot schedule events in the past.");
    int todayTag = -1;
    for (int tag = 0; tag < kCells && todayTag < 0; ++tag) {
        if (cell(tag)->text() == QString::number(today.day())) {
            todayTag = tag;
        }
    }
    for (int tag = 0; tag < todayTag; ++tag) {
        cell(tag)->setEnabled(false);
        if (cell(tag)->isBordered()) {
            cell(tag)->setToolTip(tip);
        }
    }
}

void SCCalendarView::disableFutureDays() {
    const QDate today = SCToday();
    const QString tip = tr("These days are currently disabled because you cannot schedule events "
                           "more than one year in the future.");
    for (int tag = std::max(0, today.day() + startOffset() - 1); tag < kCells; ++tag) {
        cell(tag)->setEnabled(false);
        if (cell(tag)->isBordered()) {
            cell(tag)->setToolTip(tip);
        }
    }
}

void SCCalendarView::setBackArrow(bool enabled) {
    lastMonthButton()->setEnabled(enabled);
    lastMonthButton()->setToolTip(enabled ? tr("Click to go back a month.")
                                          : tr("This button is currently disabled because you "
                                               "cannot schedule events in the past."));
}

void SCCalendarView::setForwardArrow(bool enabled) {
    nextMonthButton()->setEnabled(enabled);
    nextMonthButton()->setToolTip(enabled ? tr("Click to go forward a month.")
                                          : tr("This button is currently disabled because you "
                                               "cannot schedule events more than one year in the "
                                               "future."));
}

void SCCalendarView::choseDay() {
    const int tag = selectedTag();
    const QDate chosen = selectedDay().date();
    const QDate date(chosen.year(), chosen.month(), tag - startOffset() + 1);
    if (tag < 0 || !date.isValid()) {
        return; // no day cell is selected
    }
    const QDateTime day = startOfDay(date);
    setSelectedDay(day);
    highlightTodayIfVisible();
    emit didChangeToDate(day);
    SCNotificationCenter::defaultCenter().post(ControlTextDidChangeNotification);
}

void SCCalendarView::monthChanged(QAbstractButton* button) {
    const QDate today = SCToday();
    const QDate chosen = selectedDay().date();
    const bool forward = button == nextMonthButton();
    const QDate first = firstOfMonth(chosen.year(), chosen.month(), forward ? 1 : -1);
    if (forward) {
        setBackArrow(true);
    } else {
        setForwardArrow(true);
    }
    const bool currentMonth = isSameMonth(first, today);
    const bool lastMonth = isLastMonth(first, today);
    if (currentMonth) {
        setBackArrow(false);
    }
    if (lastMonth) {
        setForwardArrow(false);
    }
    setSelectedDay(startOfDay(first));
    refreshCalendar();
    choseDay();
    if (currentMonth) {
        disablePastDays();
    }
    if (lastMonth) {
        disableFutureDays();
    }
    SCNotificationCenter::defaultCenter().post(ControlTextDidChangeNotification);
}

void SCCalendarView::retranslate() {
    // Tooltips are set by the steps that change a cell's state; replaying the current state
    // puts them up again in the new language.
    const bool back = lastMonthButton()->isEnabled();
    const bool forward = nextMonthButton()->isEnabled();
    setBackArrow(back);
    setForwardArrow(forward);
    const QDateTime chosen = selectedDay();
    refreshCalendar();
    setSelectedDay(chosen);
}

void SCCalendarView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    }
    SCCalendarGrid::changeEvent(event);
}
