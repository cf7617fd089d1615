#include "SCStepper.h"

#include <QMouseEvent>
#include <QStyleOptionSpinBox>
#include <QStylePainter>

#include <algorithm>

SCStepper::SCStepper(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&mRepeat, &QTimer::timeout, this, &SCStepper::repeatStep);
}

void SCStepper::setValue(int value) {
    mValue = std::clamp(value, mMinimum, mMaximum);
}

void SCStepper::setRange(int minimum, int maximum) {
    mMinimum = minimum;
    mMaximum = std::max(minimum, maximum);
    setValue(mValue);
}

void SCStepper::stepUp() {
    mValue = mValue >= mMaximum ? mMinimum : mValue + 1;
    emit stepped();
}

void SCStepper::stepDown() {
    mValue = mValue <= mMinimum ? mMaximum : mValue - 1;
    emit stepped();
}

void SCStepper::initStyleOption(QStyleOptionSpinBox* option) const {
    option->initFrom(this);
    option->rect = rect();
    option->frame = true;
    option->buttonSymbols = QAbstractSpinBox::UpDownArrows;
    option->stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option->subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option->activeSubControls = mPressed != QStyle::SC_None ? mPressed : mHovered;
    if (mPressed != QStyle::SC_None) {
        option->state |= QStyle::State_Sunken;
    } else {
        option->state &= ~QStyle::State_Sunken;
    }
    // Only the arrows are shown: no text field, so never the focus look.
    option->state &= ~QStyle::State_HasFocus;
}

QSize SCStepper::sizeHint() const {
    // The arrows of a spin box as tall as a line edit, with no room for its text.
    QStyleOptionSpinBox option;
    option.initFrom(this);
    option.frame = true;
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const int frame = style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this);
    const int height = std::max(fontMetrics().height() + 2 * frame + 6, 22);
    option.rect = QRect(0, 0, 200, height);
    const QRect up =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    // Fusion places the arrows one pixel in from the right edge; any wider and a sliver of the
    // (absent) text field would show on their left.
    return QSize(up.width() + 1, height);
}

QStyle::SubControl SCStepper::arrowAt(const QPoint& position) const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QRect up =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    // The two arrows split the height; a click anywhere in the upper half steps up.
    if (!rect().contains(position)) {
        return QStyle::SC_None;
    }
    return position.y() < up.bottom() + 1 ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown;
}

void SCStepper::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_SpinBox, option);
}

void SCStepper::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    mPressed = arrowAt(event->position().toPoint());
    if (mPressed == QStyle::SC_None) {
        return;
    }
    update();
    repeatStep();
    mRepeat.start(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this));
}

void SCStepper::repeatStep() {
    if (mRepeat.isActive()) {
        mRepeat.setInterval(
            style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this));
    }
    if (mPressed == QStyle::SC_SpinBoxUp) {
        stepUp();
    } else if (mPressed == QStyle::SC_SpinBoxDown) {
        stepDown();
    }
}

void SCStepper::mouseReleaseEvent(QMouseEvent* event) {
    mRepeat.stop();
    mPressed = QStyle::SC_None;
    update();
    QWidget::mouseReleaseEvent(event);
}

void SCStepper::mouseMoveEvent(QMouseEvent* event) {
    const QStyle::SubControl hovered = arrowAt(event->position().toPoint());
    if (hovered != mHovered) {
        mHovered = hovered;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void SCStepper::leaveEvent(QEvent* event) {
    mHovered = QStyle::SC_None;
    update();
    QWidget::leaveEvent(event);
}
