#include "SCAMPMText.h"

#include <QMouseEvent>

SCAMPMText::SCAMPMText(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void SCAMPMText::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
