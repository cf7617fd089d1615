#include "Clock.h"
#include "LaunchTime.h"
#include "QorScheduleErr.h"
#include "ScheduleTestSupport.h"
#include "ZQorScheduledTask.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using TimeRec = ZQorScheduledTask::GenericTimeRec;

struct Minute {
    int year, month, day, hour, minute;
    bool operator==(const Minute&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Minute& m) {
    char text[40];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", m.year, m.month, m.day, m.hour,
             m.minute);
    return out << text;
}

Minute FromRec(const TimeRec& rec) {
    return {rec.year, rec.month, rec.day, rec.hour, rec.minute};
}

TimeRec ToRec(const Minute& m) {
    return TimeRec{int16_t(m.year), int16_t(m.month),  int16_t(m.day),
                   int16_t(m.hour), int16_t(m.minute), 0};
}

time_t Utc(int year, int month, int day, int hour, int minute) {
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return timegm(&t);
}

struct LaunchCase {
    const char* label;
    const char* zone;
    int16_t schedType;
    ZQorScheduledTask::TaskTime time;
    Minute from;
    Minute previous;
    Minute next;
};

class LaunchTimes : public testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchTimes, PreviousAndNextAroundTheReference) {
    const LaunchCase& c = GetParam();
    ScopedTimeZone zone(c.zone);
    ZQorScheduledTask task;
    task.mSchedType = c.schedType;
    task.mTime = c.time;
    TimeRec from = ToRec(c.from);
    TimeRec out = {};
    ASSERT_EQ(task.GetPrevLaunchTime(&from, &out), 0);
    EXPECT_EQ(FromRec(out), c.previous) << "previous";
    ASSERT_EQ(task.GetNextLaunchTime(&from, &out), 0);
    EXPECT_EQ(FromRec(out), c.next) << "next";
}

constexpr int16_t kMonthly = ZQorScheduledTask::kMonthly;
constexpr int16_t kWeekly = ZQorScheduledTask::kWeekly;
constexpr int16_t kDaily = ZQorScheduledTask::kDaily;
constexpr int16_t kOneTime = ZQorScheduledTask::kOneTime;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Schedules, LaunchTimes,
    testing::Values(
        // label, zone, type, {month, day, hour, minute}, reference, previous, next
        // The reference minute itself is neither previous nor next.
        LaunchCase{"DailyAskedAtItsMinute", "UTC", kDaily, {-1, -1, 10, 0},
                   {2024, 5, 15, 10, 0}, {2024, 5, 14, 10, 0}, {2024, 5, 16, 10, 0}},
        LaunchCase{"DailyAskedJustAfter", "UTC", kDaily, {-1, -1, 10, 0},
                   {2024, 5, 15, 10, 1}, {2024, 5, 15, 10, 0}, {2024, 5, 16, 10, 0}},
        LaunchCase{"WeeklySundayAskedWednesday", "UTC", kWeekly, {-1, 0, 9, 0},
                   {2024, 5, 15, 12, 0}, {2024, 5, 12, 9, 0}, {2024, 5, 19, 9, 0}},
        LaunchCase{"WeeklyLaterThisWeek", "UTC", kWeekly, {-1, 5, 9, 0},
                   {2024, 5, 15, 12, 0}, {2024, 5, 10, 9, 0}, {2024, 5, 17, 9, 0}},
        LaunchCase{"MonthlyOnThe31stInApril", "UTC", kMonthly, {-1, 31, 12, 0},
                   {2024, 4, 10, 8, 0}, {2024, 4, 1, 12, 0}, {2024, 5, 1, 12, 0}},
        LaunchCase{"MonthlyAcrossNewYear", "UTC", kMonthly, {-1, 5, 6, 30},
                   {2024, 12, 20, 0, 0}, {2024, 12, 5, 6, 30}, {2025, 1, 5, 6, 30}},
        LaunchCase{"OnceAYearBeforeItsDay", "UTC", kOneTime, {12, 24, 18, 0},
                   {2024, 3, 1, 0, 0}, {2023, 12, 24, 18, 0}, {2024, 12, 24, 18, 0}},
        LaunchCase{"OnceAYearAfterItsDay", "UTC", kOneTime, {12, 24, 18, 0},
                   {2024, 12, 25, 0, 0}, {2024, 12, 24, 18, 0}, {2025, 12, 24, 18, 0}},
        LaunchCase{"UnknownTypeCountsAsYearly", "UTC", 9, {6, 1, 8, 0},
                   {2024, 3, 1, 0, 0}, {2023, 6, 1, 8, 0}, {2024, 6, 1, 8, 0}},
        // Leap years.
        LaunchCase{"Feb29InALeapYear", "UTC", kOneTime, {2, 29, 12, 0},
                   {2024, 1, 10, 0, 0}, {2023, 3, 1, 12, 0}, {2024, 2, 29, 12, 0}},
        LaunchCase{"Feb29InACommonYear", "UTC", kOneTime, {2, 29, 12, 0},
                   {2023, 1, 10, 0, 0}, {2022, 3, 1, 12, 0}, {2023, 3, 1, 12, 0}},
        LaunchCase{"MonthlyOn29thInLeapFebruary", "UTC", kMonthly, {-1, 29, 12, 0},
                   {2024, 2, 10, 0, 0}, {2024, 1, 29, 12, 0}, {2024, 2, 29, 12, 0}},
        LaunchCase{"DailyOverLeapDay", "UTC", kDaily, {-1, -1, 23, 30},
                   {2024, 2, 28, 23, 45}, {2024, 2, 28, 23, 30}, {2024, 2, 29, 23, 30}},
        // Daylight saving: every launch stays on its wall-clock minute.
        LaunchCase{"BerlinDailyOverSpringForward", "Europe/Berlin", kDaily, {-1, -1, 10, 0},
                   {2024, 3, 31, 9, 0}, {2024, 3, 30, 10, 0}, {2024, 3, 31, 10, 0}},
        LaunchCase{"BerlinDailyAfterSpringForward", "Europe/Berlin", kDaily, {-1, -1, 10, 0},
                   {2024, 4, 1, 9, 0}, {2024, 3, 31, 10, 0}, {2024, 4, 1, 10, 0}},
        LaunchCase{"BerlinWeeklyOverSpringForward", "Europe/Berlin", kWeekly, {-1, 0, 10, 0},
                   {2024, 3, 25, 12, 0}, {2024, 3, 24, 10, 0}, {2024, 3, 31, 10, 0}},
        LaunchCase{"BerlinWeeklyOverFallBack", "Europe/Berlin", kWeekly, {-1, 1, 10, 0},
                   {2024, 10, 25, 12, 0}, {2024, 10, 21, 10, 0}, {2024, 10, 28, 10, 0}},
        LaunchCase{"BerlinMonthlyIntoSummerTime", "Europe/Berlin", kMonthly, {-1, 15, 12, 0},
                   {2024, 3, 20, 0, 0}, {2024, 3, 15, 12, 0}, {2024, 4, 15, 12, 0}},
        LaunchCase{"BerlinYearlyInSummerAskedInWinter", "Europe/Berlin", kOneTime, {7, 1, 12, 0},
                   {2024, 1, 10, 0, 0}, {2023, 7, 1, 12, 0}, {2024, 7, 1, 12, 0}},
        LaunchCase{"NewYorkDailyOverFallBack", "America/New_York", kDaily, {-1, -1, 9, 0},
                   {2024, 11, 3, 8, 0}, {2024, 11, 2, 9, 0}, {2024, 11, 3, 9, 0}},
        LaunchCase{"NewYorkWeeklyOverFallBack", "America/New_York", kWeekly, {-1, 0, 9, 0},
                   {2024, 10, 30, 12, 0}, {2024, 10, 27, 9, 0}, {2024, 11, 3, 9, 0}},
        LaunchCase{"NewYorkWeeklyOverSpringForward", "America/New_York", kWeekly, {-1, 3, 18, 0},
                   {2024, 3, 8, 12, 0}, {2024, 3, 6, 18, 0}, {2024, 3, 13, 18, 0}},
        // A minute the clocks skip counts at the jump, and the day after is on time again.
        LaunchCase{"BerlinMinuteInTheGap", "Europe/Berlin", kDaily, {-1, -1, 2, 30},
                   {2024, 3, 30, 12, 0}, {2024, 3, 30, 2, 30}, {2024, 3, 31, 3, 0}},
        LaunchCase{"BerlinDayAfterTheGap", "Europe/Berlin", kDaily, {-1, -1, 2, 30},
                   {2024, 3, 31, 4, 0}, {2024, 3, 31, 3, 0}, {2024, 4, 1, 2, 30}},
        LaunchCase{"NewYorkMinuteInTheGap", "America/New_York", kWeekly, {-1, 0, 2, 15},
                   {2024, 3, 9, 12, 0}, {2024, 3, 3, 2, 15}, {2024, 3, 10, 3, 0}}),
    [](const testing::TestParamInfo<LaunchCase>& info) { return std::string(info.param.label); });
// clang-format on

TEST(LaunchTime, ARepeatedMinuteCountsAtItsFirstOccurrence) {
    ScopedTimeZone zone("Europe/Berlin");
    // 27 October 2024: 03:00 summer time becomes 02:00 winter time, so 02:30 happens twice,
    // at 00:30 and 01:30 UTC.
    EXPECT_EQ(QorLocalMinuteToSeconds(2024, 9, 27, 2, 30), Utc(2024, 10, 27, 0, 30));
    ZQorScheduledTask::TaskTime daily = {-1, -1, 2, 30};
    time_t secondOccurrenceLater = Utc(2024, 10, 27, 1, 45);
    EXPECT_EQ(QorLaunchTime(kDaily, daily, true, secondOccurrenceLater), Utc(2024, 10, 27, 0, 30));
    EXPECT_EQ(QorLaunchTime(kDaily, daily, false, Utc(2024, 10, 27, 0, 45)),
              Utc(2024, 10, 28, 1, 30));
}

TEST(LaunchTime, WithoutAReferenceTheCurrentMinuteCounts) {
    ScopedTimeZone zone("UTC");
    QorFakeClock clock(Utc(2024, 5, 15, 10, 0) + 42); // any second of 10:00
    QorScopedClock useClock(&clock);
    ZQorScheduledTask task;
    task.mSchedType = kDaily;
    task.mTime = {-1, -1, 10, 0};
    TimeRec out = {};
    out.reserved = 77;
    ASSERT_EQ(task.GetPrevLaunchTime(nullptr, &out), 0);
    EXPECT_EQ(FromRec(out), (Minute{2024, 5, 14, 10, 0}));
    EXPECT_EQ(out.reserved, 77);
    ASSERT_EQ(task.GetNextLaunchTime(nullptr, &out), 0);
    EXPECT_EQ(FromRec(out), (Minute{2024, 5, 16, 10, 0}));
    EXPECT_EQ(task.GetNextLaunchTime(nullptr, nullptr), kQorSchedErrNullArgument);
}

} // namespace
