#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <vector>

/// Wall-clock time and the waits the system specifies (port look-up, delivery retries, the
/// daemon's pauses), so tests can run them on a fake clock.
class QorClock {
public:
    virtual ~QorClock() = default;
    /// Seconds since 1970-01-01 00:00 UTC.
    virtual int64_t Now() = 0;
    virtual void SleepSeconds(unsigned seconds) = 0;
};

QorClock& QorCurrentClock();
/// nullptr puts the real clock back.
void QorInstallClock(QorClock* clock);
using QorScopedClock = QorScopedService<QorClock, QorCurrentClock, QorInstallClock>;

/// Whether the real clock is in use (no test installed its own).
bool QorUsingRealClock();

inline int64_t QorNow() {
    return QorCurrentClock().Now();
}
inline void QorSleep(unsigned seconds) {
    QorCurrentClock().SleepSeconds(seconds);
}

/// A clock for tests: time stands still until set or slept; every sleep is recorded.
class QorFakeClock : public QorClock {
public:
    explicit QorFakeClock(int64_t now = 0) : mNow(now) {}
    int64_t Now() override { return mNow; }
    void SleepSeconds(unsigned seconds) override {
        mSleeps.push_back(seconds);
        mNow += seconds;
    }
    void Set(int64_t now) { mNow = now; }
    const std::vector<unsigned>& Sleeps() const { return mSleeps; }

private:
    int64_t mNow;
    std::vector<unsigned> mSleeps;
};
