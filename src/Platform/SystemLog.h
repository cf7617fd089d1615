#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// The system log, with the identities, options, facility and priorities of syslog(3). When
// QORSCHED_LOG_FILE names a file, every message is also appended to it as one line
//   "YYYY-MM-DD HH:MM:SS identity[pid]: message"
// (local time from the clock service; trailing line ends dropped, other control characters
// written as "#" and three octal digits), so that tests and the demo can read what was logged.
// The file is opened for each message with O_APPEND, so several processes can share it; it
// is never followed through a symbolic link.

/// The log service: the real one writes to syslog(3) and the mirror file.
class QorSystemLog {
public:
    virtual ~QorSystemLog() = default;
    /// identity may be null (the program's name); it is copied.
    virtual void Open(const char* identity, int option, int facility) = 0;
    virtual void Write(int priority, const std::string& message) = 0;
    virtual void Close() = 0;
};

QorSystemLog& QorCurrentSystemLog();
/// nullptr puts the real log back.
void QorInstallSystemLog(QorSystemLog* log);
using QorScopedSystemLog = QorScopedService<QorSystemLog, QorCurrentSystemLog, QorInstallSystemLog>;

/// openlog, syslog and closelog through the current log service. The format is printf's
/// (syslog's "%m" is not supported).
void QorOpenLog(const char* identity, int option, int facility);
void QorSyslog(int priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
void QorCloseLog();

/// The mirror line for one message, without its line end (exposed for tests).
std::string QorFormatLogLine(int64_t time, const std::string& identity, pid_t pid,
                             const std::string& message);

/// A log for tests: keeps every message with the identity, option and facility in force.
class QorFakeSystemLog : public QorSystemLog {
public:
    struct Line {
        std::string identity;
        int option;
        int facility;
        int priority;
        std::string message;
    };

    void Open(const char* identity, int option, int facility) override;
    void Write(int priority, const std::string& message) override;
    void Close() override { mOpen = false; }

    bool IsOpen() const { return mOpen; }
    const std::vector<Line>& Lines() const { return mLines; }
    /// The messages alone, in order.
    std::vector<std::string> Messages() const;

private:
    bool mOpen = false;
    std::string mIdentity;
    int mOption = 0;
    int mFacility = 0;
    std::vector<Line> mLines;
};
