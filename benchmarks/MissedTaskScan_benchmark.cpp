// The daemon's scan of 100 users' crontabs with 20 tasks each: for every user the crontab is
// listed into a new temporary file, its task block read, each task's previous launch time
// computed and, when it fell inside the window, the task started in a child that becomes its
// owner and runs the launcher command.
//
// The users are simulated: the scan of the crontab folder looks each file name up as an
// account, and making 100 accounts on the machine for a measurement is not acceptable. So each
// benchmark calls the per-user step (ProcessCrontab) for 100 names, every one owned by the
// same unprivileged account; what is left out, a directory entry and an account look-up per
// user, costs microseconds. The crontab command is either the in-memory stand-in (the daemon's
// own work alone) or the shell-script stand-in that tests use (one process per user, as the
// real command is, though a slower one).

#include "Clock.h"
#include "CrontabFake.h"
#include "InstallRoot.h"
#include "MissedTaskScan.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUsers = 100;
constexpr int kTasksPerUser = 20;

int64_t At(int hour, int minute, int second = 0) {
    struct tm date = {};
    date.tm_year = 2024 - 1900;
    date.tm_mon = 2;
    date.tm_mday = 5;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_sec = second;
    return int64_t(timegm(&date));
}

// A block of 20 daily tasks at firstHour:01 and the minutes after it.
std::string TaskBlock(int firstHour) {
    ZQorScheduledTaskArray block(nullptr, 4, 0);
    for (int i = 0; i < kTasksPerUser; ++i) {
        auto* task = new ZQorScheduledTask("scan", 0, ZQorScheduledTask::kVirusScan, 0,
                                           ZQorScheduledTask::kDaily, -1, -1, int16_t(firstHour),
                                           int16_t(1 + i), 1, 0x4F6D6278, "/usr/bin/scanner",
                                           0x53436165, 0x53436F62, 11, "\"exAG\" \"-v\"");
        task->SetTaskID(uint32_t(i + 1));
        block.AddValue(task);
        task->Release();
    }
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    block.WriteEntries(out);
    fclose(out);
    std::string result(text, size);
    free(text);
    return result;
}

std::string UserName(int i) {
    char name[32];
    snprintf(name, sizeof name, "benchuser%03d", i);
    return name;
}

// A temporary root whose launcher command ends at once, on a fixed clock at 12:00:30 UTC.
class ScanRoot {
public:
    ScanRoot() {
        setenv("TZ", "UTC", 1);
        tzset();
        char pattern[] = "/tmp/qorsched-scan-benchmark-XXXXXX";
        mRoot = mkdtemp(pattern);
        chmod(mRoot.c_str(), 0755);
        setenv("QORSCHED_ROOT", mRoot.c_str(), 1);
        unsetenv("QORSCHED_SYSTEM_ROOT");
        unsetenv("QORSCHED_LOG_FILE");
        std::filesystem::create_directories(mRoot + "/tmp");
        chmod((mRoot + "/tmp").c_str(), 01777);
        std::string launcher = QorPath(gLauncherPath);
        std::filesystem::create_directories(std::filesystem::path(launcher).parent_path());
        std::ofstream(launcher) << "#!/bin/sh\nexit 0\n";
        chmod(launcher.c_str(), 0755);
        QorInstallClock(&mClock);
        // As root the tasks really run, as "nobody"; otherwise each child stops where it would
        // need root, after its fork.
        passwd* nobody = getpwnam("nobody");
        mUid = geteuid() == 0 && nobody ? nobody->pw_uid : geteuid();
    }
    ~ScanRoot() {
        QorInstallClock(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(mRoot, ignored);
    }

    const std::string& Path() const { return mRoot; }
    uid_t Uid() const { return mUid; }

private:
    std::string mRoot;
    QorFakeClock mClock{At(12, 0, 30)};
    uid_t mUid;
};

void ReapChildren() {
    while (waitpid(-1, nullptr, 0) > 0) {
    }
}

// firstHour 6: no task falls inside the window 11:00-12:00; firstHour 11: all 2000 do.
void Scan(benchmark::State& state, bool inMemoryCrontab, int firstHour) {
    ScanRoot root;
    const std::string block = TaskBlock(firstHour);
    QorFakeCrontab memory(std::string("root"));
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    for (int i = 0; i < kUsers; ++i) {
        memory.SetTab(UserName(i), block);
        std::string file = root.Path() + "/var/spool/cron/crontabs/" + UserName(i);
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file) << block;
    }
    if (inMemoryCrontab) {
        QorInstallCrontab(&memory);
    } else {
        if (geteuid() != 0) {
            state.SkipWithError("the crontab command lists other users' crontabs for root only");
            return;
        }
        setenv("PATH", (std::string(QORSCHED_FAKE_CRONTAB_DIR) + ":" + oldPath).c_str(), 1);
    }
    for (auto _ : state) {
        for (int i = 0; i < kUsers; ++i)
            (void)ProcessCrontab(UserName(i).c_str(), root.Uid(), At(12, 0), At(11, 0));
        state.PauseTiming();
        ReapChildren();
        state.ResumeTiming();
    }
    QorInstallCrontab(nullptr);
    setenv("PATH", oldPath.c_str(), 1);
    state.counters["tasks"] = kUsers * kTasksPerUser;
}

void BM_ScanNothingDue_InMemoryCrontab(benchmark::State& state) {
    Scan(state, true, 6);
}
void BM_ScanNothingDue_CrontabCommand(benchmark::State& state) {
    Scan(state, false, 6);
}
void BM_ScanEverythingDue_InMemoryCrontab(benchmark::State& state) {
    Scan(state, true, 11);
}

BENCHMARK(BM_ScanNothingDue_InMemoryCrontab)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ScanNothingDue_CrontabCommand)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ScanEverythingDue_InMemoryCrontab)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
