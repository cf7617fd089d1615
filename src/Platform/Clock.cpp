#include "Clock.h"

#include <cerrno>
#include <ctime>

namespace {

class RealClock : public QorClock {
public:
    int64_t Now() override { return int64_t(time(nullptr)); }
    void SleepSeconds(unsigned seconds) override {
        timespec left{time_t(seconds), 0};
        // A signal (SIGCHLD from a finished child) must not cut a specified wait short.
        while (nanosleep(&left, &left) == -1 && errno == EINTR) {
        }
    }
};

RealClock gRealClock;
QorClock* gClock = &gRealClock;

} // namespace

QorClock& QorCurrentClock() {
    return *gClock;
}

bool QorUsingRealClock() {
    return gClock == &gRealClock;
}

void QorInstallClock(QorClock* clock) {
    gClock = clock ? clock : &gRealClock;
}
