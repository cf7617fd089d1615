#pragma once

#include <QDateTime>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QLabel;
class QToolButton;
class SCCalendarDayCell;

/// What both month grids share: a title with the month and year between a back and a forward
/// button, and rows of seven day cells, tagged 0, 1, ... row by row, of which one is chosen.
/// The chosen date is the single state; the grid is rebuilt from it and from today.
class SCCalendarGrid : public QWidget {
    Q_OBJECT

public:
    /// The chosen date. Dates the view makes itself are at 00:00 local time.
    QDateTime selectedDay() const { return mSelectedDay; }
    /// Stores the chosen date (keeping its time of day); does not rebuild the grid.
    virtual void setSelectedDay(const QDateTime& date);

    /// Rebuilds the grid for the month of the chosen date.
    virtual void refreshCalendar() = 0;
    /// Takes the date of the selected cell as the chosen date.
    virtual void choseDay() = 0;
    /// Goes one month back or forward; button is the month button that was pressed.
    virtual void monthChanged(QAbstractButton* button) = 0;

    /// The tag of the cell that shows the 1st.
    int startOffset() const { return mStartOffset; }
    int cellCount() const;
    SCCalendarDayCell* cell(int tag) const;
    /// The tag of the selected cell, or -1.
    int selectedTag() const;

    QToolButton* lastMonthButton() const { return mLastMonthButton; }
    QToolButton* nextMonthButton() const { return mNextMonthButton; }
    QLabel* monthName() const { return mMonthName; }

signals:
    /// The user (or the editor) chose a date.
    void didChangeToDate(const QDateTime& date);

protected:
    SCCalendarGrid(int rows, bool weekdayHeader, QWidget* parent);

    /// Selects the cell with tag, or no cell when tag is out of range.
    void selectCellWithTag(int tag);
    void setStartOffset(int offset) { mStartOffset = offset; }
    /// Shows the month and year of date in the title.
    void setTitle(const QDate& date);
    /// Makes the cell a day cell with the given day number.
    void showDay(SCCalendarDayCell* cell, int day);
    /// Makes the cell a blank filler.
    void showBlank(SCCalendarDayCell* cell);

    /// (year, month) moved by step months.
    static QDate firstOfMonth(int year, int month, int step);

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void moveSelection(int delta);
    void showWeekdayNames();

    QDateTime mSelectedDay;
    int mStartOffset = 0;
    QToolButton* mLastMonthButton;
    QLabel* mMonthName;
    QToolButton* mNextMonthButton;
    QButtonGroup* mCells;
    QGridLayout* mGrid;
    bool mWeekdayHeader;
};
