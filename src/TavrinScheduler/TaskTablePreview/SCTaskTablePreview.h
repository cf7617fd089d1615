#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QTableView;
class SCCalendarView;
class SCClockView;
class SCTaskDataSource;
class SCWeekView;

/// The current user's scheduled tasks as the main window lists them, read-only but sortable by
/// a click on a column header, above the three controls the task editors are made of: the
/// time of day, the weekday and the date.
class SCTaskTablePreview : public QWidget {
    Q_OBJECT

public:
    explicit SCTaskTablePreview(QWidget* parent = nullptr);
    ~SCTaskTablePreview() override;

    SCTaskDataSource* dataSource() const { return mSource; }
    QTableView* table() const { return mTable; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void updateSummary();

    SCTaskDataSource* mSource;
    QTableView* mTable;
    QLabel* mTitle;
    QLabel* mSummary;
    SCClockView* mClock;
    SCWeekView* mWeekView;
    SCCalendarView* mCalendar;
    QGroupBox* mTimeBox;
    QGroupBox* mWeekdayBox;
    QGroupBox* mDateBox;
};

/// Runs the preview: shows the window, or with "--screenshot FILE" saves a picture of it and
/// quits. Options: "--today YYYY-MM-DD" (a fixed today at 10:30, so that next launches can be
/// compared), "--sort COLUMN" (as many header clicks as given: mEnabled, mName, mTaskName,
/// mFrequency, mNextLaunch), "--language de", "--style NAME" (Fusion unless given).
int SCRunTaskTablePreview(int argc, char** argv);
