#include "LaunchTime.h"

#include "Clock.h"

namespace {

// Calendar dates are stepped in UTC, where every day has 24 hours; only the final conversion
// of date plus scheduled minute is local.
struct CalendarDate {
    int year; // since 1900, as in struct tm
    int month0;
    int day;
};

CalendarDate Normalized(CalendarDate date) {
    struct tm noon = {};
    noon.tm_year = date.year;
    noon.tm_mon = date.month0;
    noon.tm_mday = date.day;
    noon.tm_hour = 12;
    time_t seconds = timegm(&noon);
    struct tm back;
    gmtime_r(&seconds, &back);
    return {back.tm_year, back.tm_mon, back.tm_mday};
}

// What a local clock shows at seconds, as a count that grows with the shown time.
time_t ShownTime(time_t seconds) {
    struct tm local;
    localtime_r(&seconds, &local);
    return timegm(&local);
}

time_t LocalMinute(const CalendarDate& date, int hour, int minute) {
    return QorLocalMinuteToSeconds(date.year + 1900, date.month0, date.day, hour, minute);
}

// Safety bound only: int16 schedule fields never need more steps than this.
constexpr int kMaxSteps = 200000;

} // namespace

void ZQorDateToSeconds(struct tm* date, time_t* seconds) {
    *seconds = mktime(date);
}

void ZQorSecondsToDate(time_t seconds, struct tm* date) {
    localtime_r(&seconds, date);
}

void ZQorGetTime(struct tm* date) {
    time_t now = time_t(QorNow());
    localtime_r(&now, date);
}

time_t QorLocalMinuteToSeconds(int year, int month0, int day, int hour, int minute) {
    struct tm wanted = {};
    wanted.tm_year = year - 1900;
    wanted.tm_mon = month0;
    wanted.tm_mday = day;
    wanted.tm_hour = hour;
    wanted.tm_min = minute;
    struct tm copy = wanted;
    const time_t shown = timegm(&copy);

    // Try the minute as standard and as daylight-saving time (and as the library guesses); keep
    // the earliest moment at which the clock really shows it.
    bool found = false;
    time_t best = 0;
    for (int isdst : {-1, 0, 1}) {
        struct tm attempt = wanted;
        attempt.tm_isdst = isdst;
        time_t seconds = mktime(&attempt);
        if (ShownTime(seconds) == shown && (!found || seconds < best)) {
            best = seconds;
            found = true;
        }
    }
    if (found)
        return best;

    // The clock never shows this minute: find the first moment it shows a later one.
    struct tm guess = wanted;
    guess.tm_isdst = -1;
    time_t near = mktime(&guess);
    time_t low = near - 12 * 3600;
    time_t high = near + 12 * 3600;
    if (ShownTime(low) >= shown || ShownTime(high) < shown)
        return near;
    while (high - low > 1) {
        time_t middle = low + (high - low) / 2;
        if (ShownTime(middle) >= shown)
            high = middle;
        else
            low = middle;
    }
    return high;
}

time_t QorLaunchTime(int16_t schedType, const ZQorScheduledTask::TaskTime& time, bool previous,
                     time_t fromSeconds) {
    struct tm from;
    localtime_r(&fromSeconds, &from);

    CalendarDate date = {from.tm_year, from.tm_mon, from.tm_mday};
    CalendarDate step = {0, 0, 0};
    switch (schedType) {
    case ZQorScheduledTask::kMonthly:
        date.day = time.day;
        step.month0 = 1;
        break;
    case ZQorScheduledTask::kWeekly:
        date.day += time.day - from.tm_wday;
        step.day = 7;
        break;
    case ZQorScheduledTask::kDaily:
        step.day = 1;
        break;
    default: // once a year, and any unknown type
        date.month0 = time.month - 1;
        date.day = time.day;
        step.year = 1;
        break;
    }
    date = Normalized(date);

    int direction = previous ? -1 : 1;
    time_t launch = LocalMinute(date, time.hour, time.minute);
    for (int steps = 0; steps < kMaxSteps; ++steps) {
        if (previous ? launch < fromSeconds : launch > fromSeconds)
            break;
        date = Normalized({date.year + direction * step.year, date.month0 + direction * step.month0,
                           date.day + direction * step.day});
        launch = LocalMinute(date, time.hour, time.minute);
    }
    return launch;
}
