#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The machine's own record of logins, shutdowns and boots, read from the newest entry back.
// Two stores exist on Linux: the accounting file (glibc's struct utmp, appended in time order)
// and wtmpdb's SQLite database. Both come out as the same records: a time, and whether it marks
// a shutdown, a boot or anything else.

enum class QorAccountingKind { kOther, kShutdown, kReboot };

struct QorAccountingRecord {
    int64_t time; ///< seconds since 1970-01-01 00:00 UTC
    QorAccountingKind kind;
};

/// Called with each record, newest first; returning false stops the reading.
using QorAccountingVisitor = std::function<bool(const QorAccountingRecord&)>;

/// One record of the accounting file (Debian 12, glibc's struct utmp).
constexpr size_t kQorWtmpRecordSize = 384;

/// Reads the accounting file at path from its newest whole record back to its oldest; a cut
/// record at the end (a write the machine did not finish) is left out. A record is a system
/// record when its line is "~" or "~~"; a system record whose user field, taken whole, is
/// "shutdown" or "reboot" marks that event. The host field is not looked at: on Linux it holds
/// the kernel release in these records. Returns 0, ENOENT when the file is missing, or the
/// errno value of a failed read (the records visited before it stand).
int QorReadWtmp(const std::string& path, const QorAccountingVisitor& visit);

/// Reads wtmpdb's database at path the same way: each entry gives a record at its login time
/// and, once set, one at its logout time; a boot entry (type 1) gives a reboot at its login and
/// a shutdown at its logout. Returns 0, ENOENT when the file is missing, or EIO when it is not a
/// database of that form.
int QorReadWtmpdb(const std::string& path, const QorAccountingVisitor& visit);

/// When the running kernel booted, by the wall clock (/proc/stat): 0, or an errno value.
int QorReadBootTime(int64_t* outTime);
