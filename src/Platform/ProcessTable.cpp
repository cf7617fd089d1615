#include "ProcessTable.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads a small /proc file whole (they are a few kilobytes at most).
bool ReadSmallFile(const std::string& path, std::string* out, size_t limit = 8192) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    out->clear();
    char buffer[1024];
    while (out->size() < limit) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out->append(buffer, size_t(n));
    }
    close(fd);
    return true;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProcPath(pid_t pid, const char* entry) {
    return "/proc/" + std::to_string(pid) + "/" + entry;
}

bool ReadCommandName(pid_t pid, std::string* name) {
    if (!ReadSmallFile(ProcPath(pid, "comm"), name, 64))
        return false;
    // The kernel ends the name with one newline; the name itself may hold any other byte.
    if (!name->empty() && name->back() == '\n')
        name->pop_back();
    return true;
}

bool Matches(const QorProcessInfo& process, const std::string& name) {
    if (process.zombie)
        return false;
    // A command name of the full 15 bytes may be cut from a longer one: confirm it.
    if (name.size() < kQorCommandNameMax)
        return process.commandName == name;
    if (process.commandName != name.substr(0, kQorCommandNameMax))
        return false;
    if (!process.exePath.empty() && BaseName(process.exePath) == name)
        return true;
    for (const std::string& arg : process.args)
        if (BaseName(arg) == name)
            return true;
    return false;
}

class RealProcessTable : public QorProcessTable {
public:
    std::vector<QorProcessInfo> WithCommandName(const std::string& commandName) override {
        std::vector<QorProcessInfo> found;
        DIR* proc = opendir("/proc");
        if (!proc)
            return found;
        while (dirent* entry = readdir(proc)) {
            char* end = nullptr;
            long pid = strtol(entry->d_name, &end, 10);
            if (!*entry->d_name || *end || pid <= 0 || pid > INT_MAX)
                continue;
            std::string name;
            if (!ReadCommandName(pid_t(pid), &name) || name != commandName)
                continue;
            QorProcessInfo info;
            if (QorReadProcessInfo(pid_t(pid), &info))
                found.push_back(std::move(info));
        }
        closedir(proc);
        return found;
    }
};

RealProcessTable gRealTable;
QorProcessTable* gTable = &gRealTable;

} // namespace

QorProcessTable& QorCurrentProcessTable() {
    return *gTable;
}

void QorInstallProcessTable(QorProcessTable* table) {
    gTable = table ? table : &gRealTable;
}

std::vector<std::string> QorNulSeparatedEntries(const std::string& content, size_t maxEntries) {
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < content.size() && entries.size() < maxEntries) {
        size_t end = content.find('\0', start);
        if (end == std::string::npos)
            end = content.size();
        entries.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

bool QorReadProcessInfo(pid_t pid, QorProcessInfo* info) {
    QorProcessInfo result;
    result.pid = pid;
    std::string status;
    if (!ReadCommandName(pid, &result.commandName) ||
        !ReadSmallFile(ProcPath(pid, "status"), &status))
        return false;
    // "State:\tZ (zombie)" and "Uid:\treal\teffective\tsaved\tfs".
    bool haveUid = false;
    size_t at = 0;
    while (at < status.size()) {
        size_t end = status.find('\n', at);
        if (end == std::string::npos)
            end = status.size();
        std::string line = status.substr(at, end - at);
        if (line.rfind("State:", 0) == 0) {
            size_t letter = line.find_first_not_of(" \t", 6);
            result.zombie =
                letter != std::string::npos && (line[letter] == 'Z' || line[letter] == 'X');
        } else if (line.rfind("Uid:", 0) == 0) {
            unsigned long real = 0, effective = 0;
            if (sscanf(line.c_str() + 4, "%lu %lu", &real, &effective) == 2) {
                result.uid = uid_t(effective);
                haveUid = true;
            }
        }
        at = end + 1;
    }
    if (!haveUid)
        return false;
    char exe[PATH_MAX];
    ssize_t n = readlink(ProcPath(pid, "exe").c_str(), exe, sizeof exe - 1);
    if (n > 0)
        result.exePath.assign(exe, size_t(n));
    std::string cmdline;
    if (ReadSmallFile(ProcPath(pid, "cmdline"), &cmdline, 3 * PATH_MAX))
        result.args = QorNulSeparatedEntries(cmdline, 3);
    *info = std::move(result);
    return true;
}

pid_t QorChooseProcess(const std::vector<QorProcessInfo>& candidates, const std::string& name,
                       uid_t preferredUid) {
    const QorProcessInfo* best = nullptr;
    for (const QorProcessInfo& process : candidates) {
        if (!Matches(process, name))
            continue;
        bool own = process.uid == preferredUid;
        bool bestOwn = best && best->uid == preferredUid;
        if (!best || (own && !bestOwn) || (own == bestOwn && process.pid < best->pid))
            best = &process;
    }
    return best ? best->pid : -1;
}

pid_t QorFindPIDForName(const char* path) {
    if (!path)
        return -1;
    std::string name = BaseName(path);
    if (name.empty())
        return -1;
    std::string commandName = name.substr(0, std::min(name.size(), kQorCommandNameMax));
    return QorChooseProcess(gTable->WithCommandName(commandName), name, geteuid());
}

std::vector<QorProcessInfo> QorFakeProcessTable::WithCommandName(const std::string& commandName) {
    std::vector<QorProcessInfo> found;
    for (const QorProcessInfo& process : mProcesses)
        if (process.commandName == commandName)
            found.push_back(process);
    return found;
}
