#include "SCCalendarDayCell.h"

#include <QPainter>

SCCalendarDayCell::SCCalendarDayCell(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus); // the grid takes the keyboard focus, not each day
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SCCalendarDayCell::setBordered(bool bordered) {
    if (mBordered != bordered) {
        mBordered = bordered;
        update();
    }
}

void SCCalendarDayCell::setMarkedToday(bool marked) {
    if (mMarkedToday != marked) {
        mMarkedToday = marked;
        update();
    }
}

QSize SCCalendarDayCell::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return QSize(metrics.horizontalAdvance(QStringLiteral("00")) + 16, metrics.height() + 12);
}

void SCCalendarDayCell::paintEvent(QPaintEvent*) {
    if (!mBordered) {
        return; // a blank filler
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF box = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = 5;
    QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);

    QColor textColor =
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    if (isChecked()) {
        if (!isEnabled()) {
            highlight.setAlphaF(0.45f); // chosen, but no longer a day that can be chosen
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        painter.drawRoundedRect(box, radius, radius);
        textColor = pal.color(QPalette::Active, QPalette::HighlightedText);
    } else if (isEnabled() && underMouse()) {
        QColor hover = highlight;
        hover.setAlphaF(isDown() ? 0.35f : 0.18f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(hover);
        painter.drawRoundedRect(box, radius, radius);
    }
    if (isChecked() && parentWidget() && parentWidget()->hasFocus()) {
        painter.setPen(QPen(pal.color(QPalette::Active, QPalette::HighlightedText), 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2, radius - 2);
    }
    if (mMarkedToday) {
        painter.setPen(QPen(highlight, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }

    QFont font = this->font();
    font.setBold(mMarkedToday || isChecked());
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
