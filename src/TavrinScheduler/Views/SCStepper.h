#pragma once

#include <QStyle>
#include <QTimer>
#include <QWidget>

class QStyleOptionSpinBox;

/// A pair of small up and down arrows, drawn like the arrows of a spin box, that step a value
/// by 1 between a minimum and a maximum, wrapping around at both ends. It never takes the
/// keyboard focus, so the user can click the arrows while typing in a cell.
class SCStepper : public QWidget {
    Q_OBJECT

public:
    explicit SCStepper(QWidget* parent = nullptr);

    int value() const { return mValue; }
    int minimum() const { return mMinimum; }
    int maximum() const { return mMaximum; }

    /// Sets the value, kept within the range; emits nothing.
    void setValue(int value);
    /// Sets the range (the value is kept within it); emits nothing.
    void setRange(int minimum, int maximum);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

public slots:
    /// One step up (maximum wraps to minimum), then stepped().
    void stepUp();
    /// One step down (minimum wraps to maximum), then stepped().
    void stepDown();

signals:
    /// The user stepped the value.
    void stepped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void initStyleOption(QStyleOptionSpinBox* option) const;
    QStyle::SubControl arrowAt(const QPoint& position) const;
    void repeatStep();

    int mValue = 0;
    int mMinimum = 0;
    int mMaximum = 59;
    QStyle::SubControl mPressed = QStyle::SC_None;
    QStyle::SubControl mHovered = QStyle::SC_None;
    QTimer mRepeat;
};
