#pragma once

// Helpers for the daemon's tests: a temporary root, a time zone, crontab blocks written from
// task records, the dedicated test account, and a stand-in launcher command that records how
// it was run.

#include "InstallRoot.h"
#include "Spawn.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskArray.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
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

/// Sets or clears one environment variable for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : mName(name) {
        if (const char* old = getenv(name))
            mOld = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (mOld)
            setenv(mName.c_str(), mOld->c_str(), 1);
        else
            unsetenv(mName.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string mName;
    std::optional<std::string> mOld;
};

/// TZ set to zone for the object's lifetime.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = getenv("TZ"))
            mOld = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (mOld)
            setenv("TZ", mOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> mOld;
};

inline void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    chmod(path.c_str(), mode);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

/// A temporary folder made the install and system root for the object's lifetime, with a
/// "tmp" open to all, readable by the test account.
class TestRoot {
public:
    TestRoot()
        : mPath(MakeFolder()), mRoot("QORSCHED_ROOT", mPath),
          mSystemRoot("QORSCHED_SYSTEM_ROOT", std::nullopt) {
        chmod(mPath.c_str(), 0755);
        std::filesystem::create_directories(mPath + "/tmp");
        chmod((mPath + "/tmp").c_str(), 01777);
    }
    ~TestRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TestRoot(const TestRoot&) = delete;
    TestRoot& operator=(const TestRoot&) = delete;

    const std::string& Path() const { return mPath; }
    std::string CrontabFolder() const { return mPath + "/var/spool/cron/crontabs"; }
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mPath + "/tmp"))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    static std::string MakeFolder() {
        char pattern[] = "/tmp/qorsched-daemon.XXXXXX";
        return mkdtemp(pattern);
    }

    std::string mPath;
    ScopedEnv mRoot, mSystemRoot;
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

/// The account the tests run tasks as: created when missing (root only), never root. Its home
/// folder is taken under the test root, where the test makes it.
struct TestAccount {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home; ///< as the account database names it
};

inline std::optional<TestAccount> EnsureTestAccount() {
    constexpr char kName[] = "qorschedtest2";
    // Tests running side by side may create it at the same moment; the account database is
    // locked while one of them does.
    for (int attempt = 0; attempt < 50 && !getpwnam(kName); ++attempt) {
        int status = -1;
        if (QorSpawnAndWait({"/usr/sbin/useradd", "--no-create-home", "--home-dir",
                             "/home/qorschedtest2", "--shell", "/usr/sbin/nologin", kName},
                            QorSpawnOptions(), &status) == 0 &&
            status == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    passwd* entry = getpwnam(kName);
    if (!entry || entry->pw_uid == 0)
        return std::nullopt;
    return TestAccount{entry->pw_name, entry->pw_uid, entry->pw_gid, entry->pw_dir};
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
        for (int i = 0; i < 1000; ++i) {
            std::vector<LauncherRun> runs = Runs();
            if (runs.size() >= count)
                return runs;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Runs();
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
