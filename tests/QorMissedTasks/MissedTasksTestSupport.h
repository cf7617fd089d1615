#pragma once

// Helpers for the daemon's tests: a temporary root, a time zone, crontab blocks written from
// task records, the dedicated test account, and a stand-in launcher command that records how
// it was run.

#include "InstallRoot.h"
#include "ScopedEnv.h"
#include "TempRoot.h"
#include "TestAccount.h"
#include "TestFiles.h"
#include "WaitUntil.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace missed_test {

using qor_test::ReadFile;
using qor_test::ScopedEnv;
using qor_test::ScopedTimeZone;
using qor_test::WriteFile;

/// A temporary install and system root that the test account can search.
class TestRoot : public qor_test::TempRoot {
public:
    TestRoot() : qor_test::TempRoot({.openToOthers = true}) {}
};

/// The local time of a wall-clock minute in the current TZ.
inline int64_t LocalTime(int year, int month, int day, int hour, int minute, int second = 0) {
    struct tm date = {};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_sec = second;
    date.tm_isdst = -1;
    return int64_t(mktime(&date));
}

/// A task of a crontab block.
struct TaskRow {
    uint32_t id;
    int16_t hour;
    int16_t minute;
    bool enabled = true;
    const char* options = nullptr; ///< launcher option letters
    int16_t schedType = ZQorScheduledTask::kDaily;
    int16_t day = -1;
};

/// The task block holding these tasks, as the application writes it into a crontab.
inline std::string TaskBlock(const std::vector<TaskRow>& rows) {
    ZQorScheduledTaskArray block(nullptr, 4, 0);
    for (const TaskRow& row : rows) {
        auto* task = new ZQorScheduledTask("missed task", 0, ZQorScheduledTask::kVirusScan, 0,
                                           row.schedType, -1, row.day, row.hour, row.minute,
                                           row.enabled ? 1 : 0, 0x4F6D6278, "/usr/bin/scanner",
                                           0x53436165, 0x53436F62, 11, "\"exAG\" \"-v\"");
        task->SetTaskID(row.id);
        if (row.options)
            task->SetSchedArgs(row.options);
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
    return "# the user's own line\n" + result;
}

using qor_test::TestAccount;

/// The account the tests run tasks as. Its home folder is taken under the test root, where the
/// test makes it.
inline std::optional<TestAccount> EnsureTestAccount() {
    return qor_test::EnsureTestAccount("qorschedtest2", "/home/qorschedtest2");
}

/// One run of the stand-in launcher command.
struct LauncherRun {
    std::vector<std::string> args;             ///< without the program path
    std::map<std::string, std::string> values; ///< uid, gid, groups, cwd, inherited
    std::vector<std::string> environment;
};

/// A stand-in for the launcher command at its fixed path under the root: each run writes what
/// it was given and who ran it (user and group IDs, supplementary groups, working folder,
/// environment, whether descriptor `watchFd` was still open) into a file of its own.
class LauncherStandIn {
public:
    LauncherStandIn(const std::string& root, int watchFd) : mRuns(root + "/runs") {
        std::filesystem::create_directories(mRuns);
        chmod(mRuns.c_str(), 01777);
        const std::string fd = std::to_string(watchFd);
        WriteFile(QorPath(gLauncherPath),
                  "#!/bin/sh\n"
                  "inherited=no; [ -e /proc/$$/fd/" +
                      fd +
                      " ] && inherited=yes\n"
                      "out=" +
                      mRuns +
                      "/run.$$\n"
                      "{\n"
                      "  echo \"uid=$(id -u)\"; echo \"gid=$(id -g)\"; echo \"groups=$(id -G)\"\n"
                      "  echo \"cwd=$(pwd)\"; echo \"inherited=$inherited\"\n"
                      "  for a in \"$@\"; do echo \"arg=$a\"; done\n"
                      "  env | sed 's/^/env=/'\n"
                      "} >\"$out.part\" && mv \"$out.part\" \"$out\"\n",
                  0755);
    }

    std::vector<LauncherRun> Runs() const {
        std::vector<LauncherRun> runs;
        for (const auto& entry : std::filesystem::directory_iterator(mRuns)) {
            if (entry.path().extension() == ".part")
                continue;
            LauncherRun run;
            std::istringstream lines(ReadFile(entry.path()));
            std::string line;
            while (std::getline(lines, line)) {
                size_t equals = line.find('=');
                std::string key = line.substr(0, equals);
                std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
                if (key == "arg")
                    run.args.push_back(value);
                else if (key == "env")
                    run.environment.push_back(value);
                else
                    run.values[key] = value;
            }
            runs.push_back(run);
        }
        return runs;
    }

    /// Waits (about ten seconds at most) until count runs are recorded.
    std::vector<LauncherRun> WaitForRuns(size_t count) const {
        std::vector<LauncherRun> runs;
        (void)qor_test::WaitUntil([&] {
            runs = Runs();
            return runs.size() >= count;
        });
        return runs;
    }

private:
    std::string mRuns;
};

/// The task IDs of the runs (argument after the options), sorted.
inline std::vector<std::string> RunIds(const std::vector<LauncherRun>& runs) {
    std::vector<std::string> ids;
    for (const LauncherRun& run : runs) {
        size_t at = !run.args.empty() && run.args[0][0] == '-' ? 1 : 0;
        ids.push_back(at < run.args.size() ? run.args[at] : "?");
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace missed_test
