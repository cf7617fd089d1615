#include "LoginAccounting.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utmp.h>
#include <vector>

namespace {

static_assert(sizeof(struct utmp) == kQorWtmpRecordSize, "the accounting file's record layout");
static_assert(sizeof(utmp::ut_tv.tv_sec) == 4, "the accounting file keeps 32-bit times");

// Records read back per call: large files are read in steps, not record by record.
constexpr size_t kRecordsPerRead = 256;

std::string_view Field(const char* bytes, size_t size) {
    return std::string_view(bytes, strnlen(bytes, size));
}

QorAccountingRecord Decode(const unsigned char* bytes) {
    struct utmp entry;
    memcpy(&entry, bytes, sizeof entry);
    std::string_view line = Field(entry.ut_line, sizeof entry.ut_line);
    std::string_view user = Field(entry.ut_user, sizeof entry.ut_user);
    bool system = line == "~" || line == "~~";
    QorAccountingRecord record;
    // The field is 32 bits wide; read as unsigned it stays right until 2106 (no record of this
    // machine predates 1970).
    record.time = int64_t(uint32_t(entry.ut_tv.tv_sec));
    record.kind = QorAccountingKind::kOther;
    if (system && user == "shutdown")
        record.kind = QorAccountingKind::kShutdown;
    else if (system && user == "reboot")
        record.kind = QorAccountingKind::kReboot;
    return record;
}

int ReadAt(int fd, unsigned char* buffer, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO; // the file shrank under us
        done += size_t(n);
    }
    return 0;
}

class Database {
public:
    ~Database() {
        sqlite3_finalize(mStatement);
        sqlite3_close(mDb);
    }
    sqlite3* mDb = nullptr;
    sqlite3_stmt* mStatement = nullptr;
};

// Every login and logout as one record each, newest first. At equal times the later entry
// comes first, and within one entry its logout before its login.
constexpr char kWtmpdbQuery[] =
    "SELECT Time, Kind FROM ("
    " SELECT Login AS Time, CASE WHEN Type = 1 THEN 2 ELSE 0 END AS Kind, ID, 0 AS Part"
    "  FROM wtmp WHERE Login IS NOT NULL"
    " UNION ALL"
    " SELECT Logout, CASE WHEN Type = 1 THEN 1 ELSE 0 END, ID, 1"
    "  FROM wtmp WHERE Logout IS NOT NULL"
    ") ORDER BY Time DESC, ID DESC, Part DESC";

constexpr int64_t kMicrosecondsPerSecond = 1000000;

} // namespace

int QorReadWtmp(const std::string& path, const QorAccountingVisitor& visit) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    // Whole records only, from the last one back.
    uint64_t records = S_ISREG(st.st_mode) ? uint64_t(st.st_size) / kQorWtmpRecordSize : 0;
    std::vector<unsigned char> buffer(kRecordsPerRead * kQorWtmpRecordSize);
    int error = 0;
    while (records > 0 && error == 0) {
        uint64_t count = records < kRecordsPerRead ? records : kRecordsPerRead;
        uint64_t first = records - count;
        error = ReadAt(fd, buffer.data(), size_t(count) * kQorWtmpRecordSize,
                       off_t(first * kQorWtmpRecordSize));
        if (error != 0)
            break;
        for (uint64_t i = count; i > 0; --i) {
            if (!visit(Decode(buffer.data() + (i - 1) * kQorWtmpRecordSize))) {
                close(fd);
                return 0;
            }
        }
        records = first;
    }
    close(fd);
    return error;
}

int QorReadWtmpdb(const std::string& path, const QorAccountingVisitor& visit) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno;
    Database db;
    if (sqlite3_open_v2(path.c_str(), &db.mDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return EIO;
    // wtmpdb may be writing a login at this moment.
    (void)sqlite3_busy_timeout(db.mDb, 2000);
    if (sqlite3_prepare_v2(db.mDb, kWtmpdbQuery, -1, &db.mStatement, nullptr) != SQLITE_OK)
        return EIO;
    int step;
    while ((step = sqlite3_step(db.mStatement)) == SQLITE_ROW) {
        if (sqlite3_column_type(db.mStatement, 0) != SQLITE_INTEGER)
            continue;
        int64_t microseconds = sqlite3_column_int64(db.mStatement, 0);
        QorAccountingRecord record;
        // Rounded down to the second, also before 1970.
        record.time = microseconds / kMicrosecondsPerSecond -
                      (microseconds % kMicrosecondsPerSecond < 0 ? 1 : 0);
        switch (sqlite3_column_int(db.mStatement, 1)) {
        case 1:
            record.kind = QorAccountingKind::kShutdown;
            break;
        case 2:
            record.kind = QorAccountingKind::kReboot;
            break;
        default:
            record.kind = QorAccountingKind::kOther;
        }
        if (!visit(record))
            return 0;
    }
    return step == SQLITE_DONE ? 0 : EIO;
}

int QorReadBootTime(int64_t* outTime) {
    FILE* file = fopen("/proc/stat", "re");
    if (!file)
        return errno;
    char line[256];
    int error = ENOENT;
    bool atLineStart = true; // some lines are longer than the buffer
    while (fgets(line, sizeof line, file)) {
        bool lineStart = atLineStart;
        atLineStart = strchr(line, '\n') != nullptr;
        long long seconds = 0;
        if (lineStart && sscanf(line, "btime %lld", &seconds) == 1 && seconds > 0) {
            if (outTime)
                *outTime = int64_t(seconds);
            error = 0;
            break;
        }
    }
    fclose(file);
    return error;
}
