#include "Clock.h"
#include "InstallRoot.h"
#include "LastShutdownTime.h"
#include "LoginAccounting.h"
#include "MissedTasksTestSupport.h"
#include "ShutdownStamp.h"
#include "SystemLog.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <utmp.h>

using namespace missed_test;

namespace {

// One record of the accounting file, as Debian 12 writes it.
struct Entry {
    const char* line;
    const char* user;
    const char* host;
    int64_t time;
};

constexpr char kKernel[] = "6.1.0-13-amd64"; // what the host field of system records holds

Entry Shutdown(int64_t t) {
    return {"~~", "shutdown", kKernel, t};
}
Entry Reboot(int64_t t) {
    return {"~", "reboot", kKernel, t};
}
Entry Login(int64_t t) {
    return {"pts/0", "alice", "10.0.0.7", t};
}

std::string WtmpBytes(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const Entry& e : entries) {
        struct utmp record;
        memset(&record, 0, sizeof record);
        record.ut_type = USER_PROCESS;
        // Fields are filled to their full width where the text is that long: no NUL then.
        strncpy(record.ut_line, e.line, sizeof record.ut_line);
        strncpy(record.ut_user, e.user, sizeof record.ut_user);
        strncpy(record.ut_host, e.host, sizeof record.ut_host);
        record.ut_tv.tv_sec = int32_t(e.time);
        bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    }
    return bytes;
}

// An entry of wtmpdb's table; times in seconds here, microseconds in the database.
struct DbEntry {
    int type; // 1 boot, 3 user session
    const char* user;
    int64_t login;
    std::optional<int64_t> logout;
};

void WriteWtmpdb(const std::string& path, const std::vector<DbEntry>& entries) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE wtmp(ID INTEGER PRIMARY KEY, Type INTEGER, User TEXT NOT "
                           "NULL, Login INTEGER, Logout INTEGER, TTY TEXT, RemoteHost TEXT, "
                           "Service TEXT) STRICT;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    for (const DbEntry& e : entries) {
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db,
                                     "INSERT INTO wtmp (Type, User, Login, Logout, TTY, Service) "
                                     "VALUES (?, ?, ?, ?, ?, ?)",
                                     -1, &insert, nullptr),
                  SQLITE_OK);
        sqlite3_bind_int(insert, 1, e.type);
        sqlite3_bind_text(insert, 2, e.user, -1, SQLITE_STATIC);
        sqlite3_bind_int64(insert, 3, e.login * 1000000 + 250000);
        if (e.logout)
            sqlite3_bind_int64(insert, 4, *e.logout * 1000000 + 999999);
        else
            sqlite3_bind_null(insert, 4);
        sqlite3_bind_text(insert, 5, e.type == 1 ? "~" : "pts/1", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 6, e.type == 1 ? "systemd" : "sshd", -1, SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_finalize(insert);
    }
    sqlite3_close(db);
}

class LastShutdown : public ::testing::Test {
protected:
    int64_t At(int64_t now) {
        QorFakeClock clock(now);
        QorScopedClock use(&clock);
        return GetLastShutdownTime();
    }
    void WriteWtmp(const std::vector<Entry>& entries, const std::string& tail = "") {
        WriteFile(QorSystemPath(gWtmpFile), WtmpBytes(entries) + tail);
    }
    bool LoggedNoRecord() const {
        for (const std::string& message : mLog.Messages())
            if (message.find("no record of the last shutdown") != std::string::npos)
                return true;
        return false;
    }

    TestRoot mRoot;
    QorFakeSystemLog mLog;
    QorScopedSystemLog mUseLog{&mLog};
};

TEST_F(LastShutdown, DecisionOverTheAccountingFile) {
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        int64_t now;
        int64_t expected;
    };
    const std::vector<Entry> cleanRestart = {Login(500), Shutdown(1000), Reboot(1100), Login(1120),
                                             Login(1130)};
    const Case cases[] = {
        {"the newest shutdown, no boot after it",
         {Login(100), Shutdown(1000), Login(1200)},
         5000,
         1000},
        {"started at boot: the shutdown before the boot", cleanRestart, 1160, 1000},
        {"started later than a minute after boot: the newest record", cleanRestart, 1161, 1130},
        {"after a crash: the last record before the boot",
         {Login(500), Login(900), Reboot(1100)},
         1130,
         900},
        {"times past 2038", {Shutdown(3000000000), Reboot(3000000100)}, 3000000110, 3000000000},
        {"a boot that is the oldest record", {Reboot(1100), Login(1120)}, 1150, 0},
        {"a boot that is the oldest record, long ago", {Reboot(1100), Login(1120)}, 1200, 1120},
        {"only whole names of system records count",
         {Shutdown(1000),
          {"~", "shutdownX", "", 1500},
          {"~", "reboo", "", 1600},
          {"pts/1", "shutdown", "", 1700},
          {"~~~", "reboot", "", 1800},
          {"~", "rebootrebootrebootrebootrebootre", "", 1900}},
         5000,
         1000},
    };
    for (const Case& c : cases) {
        WriteWtmp(c.entries);
        EXPECT_EQ(At(c.now), c.expected) << c.what;
    }
}

TEST_F(LastShutdown, ACutLastRecordIsLeftOutAndTheOthersStayAligned) {
    WriteWtmp({Shutdown(1000), Reboot(1100), Login(1110)}, std::string(100, '~'));
    EXPECT_EQ(At(1120), 1000);

    WriteFile(QorSystemPath(gWtmpFile), std::string(kQorWtmpRecordSize - 1, '~'));
    EXPECT_EQ(At(1120), 0);
    EXPECT_TRUE(LoggedNoRecord());
}

TEST_F(LastShutdown, DecisionOverWtmpdb) {
    const std::string db = QorSystemPath(gWtmpdbFile);
    WriteWtmpdb(db, {{1, "reboot", 1000, 5000},
                     {3, "alice", 1100, 4000},
                     {1, "reboot", 6000, std::nullopt},
                     {3, "alice", 6020, std::nullopt}});
    EXPECT_EQ(At(6030), 5000) << "the boot entry's logout is its shutdown";
    EXPECT_EQ(At(6061), 6020) << "the newest record";

    std::filesystem::remove(db);
    WriteWtmpdb(db, {{1, "reboot", 1000, std::nullopt},
                     {3, "alice", 1100, 4000},
                     {1, "reboot", 6000, std::nullopt}});
    EXPECT_EQ(At(6010), 4000) << "after a crash, the last logout before the boot";
}

TEST_F(LastShutdown, TheFirstStoreWithRecordsDecides) {
    WriteWtmpdb(QorSystemPath(gWtmpdbFile), {{1, "reboot", 1000, 5000}, {1, "reboot", 6000, {}}});
    ASSERT_EQ(QorWriteShutdownStamp(5500), 0);

    WriteWtmp({Shutdown(4000), Reboot(6000)});
    EXPECT_EQ(At(6010), 4000) << "the accounting file first";

    WriteWtmp({});
    EXPECT_EQ(At(6010), 5000) << "an empty accounting file: wtmpdb";

    std::filesystem::remove(QorSystemPath(gWtmpFile));
    std::filesystem::remove(QorSystemPath(gWtmpdbFile));
    int64_t boot = 0;
    ASSERT_EQ(QorReadBootTime(&boot), 0);
    ASSERT_EQ(QorWriteShutdownStamp(boot - 1000), 0);
    EXPECT_EQ(At(boot + 30), boot - 1000) << "the note, when started at boot";
    EXPECT_EQ(At(boot + 3600), boot) << "the note, when started long after boot";
    ASSERT_EQ(QorWriteShutdownStamp(boot + 50), 0);
    EXPECT_EQ(At(boot + 100), boot + 50) << "a note written since this boot";
    EXPECT_FALSE(LoggedNoRecord());

    std::filesystem::remove(QorSystemPath(gShutdownStampFile));
    EXPECT_EQ(At(boot + 30), 0);
    EXPECT_TRUE(LoggedNoRecord());
}

TEST_F(LastShutdown, TheShutdownNoteHoldsATimeAndNothingElse) {
    ASSERT_EQ(QorWriteShutdownStamp(1710000000), 0);
    const std::string path = QorSystemPath(gShutdownStampFile);
    EXPECT_EQ(ReadFile(path), "1710000000\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                  std::filesystem::directory_iterator()),
              1)
        << "no temporary file left beside it";

    int64_t time = 0;
    EXPECT_EQ(QorReadShutdownStamp(&time), 0);
    EXPECT_EQ(time, 1710000000);
    for (const char* text : {"", "\n", "12x\n", "-5\n", " 12\n", "99999999999999999999\n"}) {
        WriteFile(path, text);
        EXPECT_EQ(QorReadShutdownStamp(&time), EINVAL) << text;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(QorReadShutdownStamp(&time), ENOENT);
}

} // namespace
