#pragma once

// Fixes "today" for the calendars and the weekday picker through the platform clock.

#include "Clock.h"

#include <QDateTime>

class SCFakeToday {
public:
    /// Today is date, at noon local time (the tests run in UTC).
    explicit SCFakeToday(const QDate& date)
        : mClock(QDateTime(date, QTime(12, 0), Qt::LocalTime).toSecsSinceEpoch()), mUse(&mClock) {}

private:
    QorFakeClock mClock;
    QorScopedClock mUse;
};
