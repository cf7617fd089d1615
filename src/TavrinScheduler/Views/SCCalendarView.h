#pragma once

#include "SCCalendarGrid.h"

/// The annual frequency's date picker: a six-week month grid, Sunday first, limited to dates
/// from today up to, but not including, the same day one year ahead. Past days and days beyond
/// the limit are disabled and their tooltips say why; the month buttons stop at the current
/// month and at the month one year ahead (thirteen months in all); today is marked while
/// another day of its month is chosen.
class SCCalendarView : public SCCalendarGrid {
    Q_OBJECT

public:
    /// A picker on today.
    explicit SCCalendarView(QWidget* parent = nullptr);

    /// Stores the date and sets the month buttons and disabled days for its month.
    void setSelectedDay(const QDateTime& date) override;
    void refreshCalendar() override;
    void choseDay() override;
    void monthChanged(QAbstractButton* button) override;

    /// Marks today's cell when the grid shows today's month and another day is chosen.
    void highlightTodayIfVisible();
    /// Disables the days of the shown month before today.
    void disablePastDays();
    /// Disables the days of the shown month from today's day number on.
    void disableFutureDays();
    void setBackArrow(bool enabled);
    void setForwardArrow(bool enabled);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
};
