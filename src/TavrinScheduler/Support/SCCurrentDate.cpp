#include "SCCurrentDate.h"

#include "Clock.h"

QDateTime SCNow() {
    return QDateTime::fromSecsSinceEpoch(QorNow(), Qt::LocalTime);
}

QDate SCToday() {
    return SCNow().date();
}
