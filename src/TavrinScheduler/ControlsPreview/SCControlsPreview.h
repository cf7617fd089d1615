#pragma once

#include <QWidget>

class SCCalendarMonthlyView;
class SCCalendarView;
class SCClockView;
class SCWeekView;

/// Every custom control of the application in one window: the clock on a 12-hour and on a
/// 24-hour setting, the weekday picker and both calendars.
class SCControlsPreview : public QWidget {
    Q_OBJECT

public:
    explicit SCControlsPreview(QWidget* parent = nullptr);

    SCClockView* clock12() const { return mClock12; }
    SCClockView* clock24() const { return mClock24; }
    SCWeekView* weekView() const { return mWeekView; }
    SCCalendarView* calendarView() const { return mCalendarView; }
    SCCalendarMonthlyView* monthlyView() const { return mMonthlyView; }

private:
    SCClockView* mClock12;
    SCClockView* mClock24;
    SCWeekView* mWeekView;
    SCCalendarView* mCalendarView;
    SCCalendarMonthlyView* mMonthlyView;
};

/// Runs the preview: shows the window, or with "--screenshot FILE" saves a picture of it and
/// quits. Options: "--language de" (the German translation), "--today YYYY-MM-DD" (a fixed
/// today, for pictures that can be compared), "--style NAME" (Fusion unless given).
int SCRunControlsPreview(int argc, char** argv);
