#pragma once

#include <QAbstractButton>

/// One day of a calendar grid or of the weekday picker. A bordered cell shows a day number; a cell
/// that is not bordered is a blank filler before the 1st or after the last day. Today's cell can be
/// marked while another day is chosen.
class SCCalendarDayCell : public QAbstractButton {
    Q_OBJECT

public:
    explicit SCCalendarDayCell(QWidget* parent = nullptr);

    bool isBordered() const { return mBordered; }
    void setBordered(bool bordered);
    bool isMarkedToday() const { return mMarkedToday; }
    void setMarkedToday(bool marked);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool mBordered = true;
    bool mMarkedToday = false;
};
