#pragma once

#include "SCCalendarGrid.h"

/// The monthly frequency's day-of-month picker: four rows of seven cells offering the days
/// 1 to 28, which every month has, whatever month is shown. No limits and no disabled days.
class SCCalendarMonthlyView : public SCCalendarGrid {
    Q_OBJECT

public:
    /// A picker on the 1st of the current month.
    explicit SCCalendarMonthlyView(QWidget* parent = nullptr);

    void refreshCalendar() override;
    void choseDay() override;
    void monthChanged(QAbstractButton* button) override;

    /// Selects the cell of day (1-28) without changing the chosen date.
    void restoreSelectedDay(int day);
};
