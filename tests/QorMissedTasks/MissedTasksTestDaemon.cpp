// The daemon, for tests that run it as a process: the same program, on a clock the test drives.
//
//   QORSCHED_TEST_CLOCK_FILE  the current time is the number in this file (the real time while
//                             the file is missing or holds no number)
//   QORSCHED_TEST_PAUSE_MS    each second of the daemon's pauses lasts this many milliseconds
//                             (default 10)
//   QORSCHED_TEST_PID_FILE    each start of the program appends its process ID here
//
// Only this test program reads them; the installed daemon keeps its pauses exactly.

#include "Clock.h"
#include "MissedTasksDaemon.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

class TestDaemonClock : public QorClock {
public:
    int64_t Now() override {
        if (const char* path = getenv("QORSCHED_TEST_CLOCK_FILE")) {
            if (FILE* file = fopen(path, "re")) {
                long long seconds = 0;
                bool read = fscanf(file, "%lld", &seconds) == 1;
                fclose(file);
                if (read)
                    return int64_t(seconds);
            }
        }
        return int64_t(time(nullptr));
    }

    void SleepSeconds(unsigned seconds) override {
        const char* scale = getenv("QORSCHED_TEST_PAUSE_MS");
        long milliseconds = long(seconds) * (scale ? atol(scale) : 10);
        timespec left{milliseconds / 1000, (milliseconds % 1000) * 1000000};
        while (nanosleep(&left, &left) != 0) {
        }
    }
};

void NoteStart() {
    const char* path = getenv("QORSCHED_TEST_PID_FILE");
    if (!path)
        return;
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    std::string line = std::to_string(getpid()) + "\n";
    (void)!write(fd, line.data(), line.size());
    close(fd);
}

} // namespace

int main(int argc, char** argv) {
    NoteStart();
    TestDaemonClock clock;
    QorScopedClock use(&clock);
    return TavrinMissedTasksMain(argc, argv);
}
