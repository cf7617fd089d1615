#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Finding a running program by name: a scan of /proc, never a shell.
//
// The kernel keeps a process's command name cut to 15 bytes; for a "#!" script it is the
// script's own file name. A name shorter than 15 bytes is matched against the command name
// exactly; one of 15 bytes or more (which the kernel may have cut) must match the command name
// in its first 15 bytes and the file name of the executable or of one of the first three
// arguments (a script's path follows its interpreter). Zombies do not
// count. Among the matches a process of the caller's effective uid wins, then the lowest ID.

/// Longest command name the kernel keeps.
constexpr size_t kQorCommandNameMax = 15;

struct QorProcessInfo {
    pid_t pid = 0;
    uid_t uid = 0;                 // effective uid
    std::string commandName;       // at most 15 bytes
    std::string exePath;           // empty when not readable (another user's process)
    std::vector<std::string> args; // the first three arguments at most
    bool zombie = false;
};

/// The process list as a replaceable service.
class QorProcessTable {
public:
    virtual ~QorProcessTable() = default;
    /// Every process whose command name is exactly commandName, in any order.
    virtual std::vector<QorProcessInfo> WithCommandName(const std::string& commandName) = 0;
};

QorProcessTable& QorCurrentProcessTable();
/// nullptr puts the real table back.
void QorInstallProcessTable(QorProcessTable* table);
using QorScopedProcessTable =
    QorScopedService<QorProcessTable, QorCurrentProcessTable, QorInstallProcessTable>;

/// The running process for a program path (its last component is the name), as above; -1 when
/// there is none.
pid_t QorFindPIDForName(const char* path);

/// The rule above over a list of candidates, for a file name and a preferred uid.
pid_t QorChooseProcess(const std::vector<QorProcessInfo>& candidates, const std::string& name,
                       uid_t preferredUid);

/// The entries of a NUL-separated /proc file (cmdline, environ), the first maxEntries at most.
std::vector<std::string> QorNulSeparatedEntries(const std::string& content,
                                                size_t maxEntries = SIZE_MAX);

/// One process from /proc; false when it does not exist (any more).
bool QorReadProcessInfo(pid_t pid, QorProcessInfo* info);

/// A process table for tests: the processes added, filtered by command name.
class QorFakeProcessTable : public QorProcessTable {
public:
    void Add(QorProcessInfo process) { mProcesses.push_back(std::move(process)); }
    std::vector<QorProcessInfo> WithCommandName(const std::string& commandName) override;

private:
    std::vector<QorProcessInfo> mProcesses;
};
