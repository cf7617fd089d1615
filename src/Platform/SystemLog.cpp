#include "SystemLog.h"

#include "Clock.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

namespace {

std::string ProgramName() {
    return program_invocation_short_name ? program_invocation_short_name : "";
}

class RealSystemLog : public QorSystemLog {
public:
    void Open(const char* identity, int option, int facility) override {
        // syslog(3) keeps the pointer: close first, then replace the text it points to.
        closelog();
        mIdentity = identity ? identity : ProgramName();
        mOpened = true;
        openlog(mIdentity.c_str(), option, facility);
    }

    void Write(int priority, const std::string& message) override {
        syslog(priority, "%s", message.c_str());
        const char* mirror = getenv("QORSCHED_LOG_FILE");
        if (!mirror || !*mirror)
            return;
        std::string line =
            QorFormatLogLine(QorNow(), mOpened ? mIdentity : ProgramName(), getpid(), message) +
            "\n";
        int fd = open(mirror, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            return; // the log must never stop the program that logs
        // One write per line: appends of a line each stay whole between processes.
        (void)!write(fd, line.data(), line.size());
        close(fd);
    }

    void Close() override {
        closelog();
        mOpened = false;
    }

private:
    std::string mIdentity;
    bool mOpened = false;
};

RealSystemLog gRealLog;
QorSystemLog* gLog = &gRealLog;

} // namespace

QorSystemLog& QorCurrentSystemLog() {
    return *gLog;
}

void QorInstallSystemLog(QorSystemLog* log) {
    gLog = log ? log : &gRealLog;
}

void QorOpenLog(const char* identity, int option, int facility) {
    QorCurrentSystemLog().Open(identity, option, facility);
}

void QorSyslog(int priority, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message;
    if (length > 0) {
        message.resize(size_t(length) + 1);
        vsnprintf(message.data(), message.size(), format, args);
        message.resize(size_t(length));
    }
    va_end(args);
    QorCurrentSystemLog().Write(priority, message);
}

void QorCloseLog() {
    QorCurrentSystemLog().Close();
}

std::string QorFormatLogLine(int64_t time, const std::string& identity, pid_t pid,
                             const std::string& message) {
    time_t seconds = time_t(time);
    struct tm local;
    char stamp[32] = "";
    if (localtime_r(&seconds, &local))
        strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line = std::string(stamp) + " " + identity + "[" + std::to_string(pid) + "]: ";
    size_t end = message.size();
    while (end > 0 && (message[end - 1] == '\n' || message[end - 1] == '\r'))
        --end;
    for (size_t i = 0; i < end; ++i) {
        unsigned char c = static_cast<unsigned char>(message[i]);
        if (c < 0x20 && c != '\t') {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "#%03o", c);
            line += escaped;
        } else {
            line += char(c);
        }
    }
    return line;
}

void QorFakeSystemLog::Open(const char* identity, int option, int facility) {
    mOpen = true;
    mIdentity = identity ? identity : "";
    mOption = option;
    mFacility = facility;
}

void QorFakeSystemLog::Write(int priority, const std::string& message) {
    mLines.push_back({mOpen ? mIdentity : "", mOption, mFacility, priority, message});
}

std::vector<std::string> QorFakeSystemLog::Messages() const {
    std::vector<std::string> messages;
    for (const Line& line : mLines)
        messages.push_back(line.message);
    return messages;
}
