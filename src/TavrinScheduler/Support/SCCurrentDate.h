#pragma once

#include <QDate>
#include <QDateTime>

/// Today's date in local time, from the platform clock (tests install a fake clock and set TZ).
QDate SCToday();

/// The current local date and time, from the platform clock, to the second.
QDateTime SCNow();
