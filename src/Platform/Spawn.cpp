#include "Spawn.h"

#include "Accounts.h"
#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How a child becomes the calling user alone. Worked out before fork: between fork and exec
// only async-signal-safe calls are made (the caller may have threads).
struct IdentityPlan {
    bool change = false;
    bool regainRoot = false; // the effective ID is a user's, but root is still held
    bool setGroups = false;
    std::vector<gid_t> groups;
    uid_t uid = 0;
    gid_t gid = 0;
};

int PlanCallingUserOnly(IdentityPlan* plan) {
    uid_t realUid, effectiveUid, savedUid;
    gid_t realGid, effectiveGid, savedGid;
    if (getresuid(&realUid, &effectiveUid, &savedUid) != 0 ||
        getresgid(&realGid, &effectiveGid, &savedGid) != 0)
        return errno;
    if (effectiveUid == 0)
        return 0; // the caller is root and runs the program as root
    plan->uid = effectiveUid;
    if (realUid == 0 || savedUid == 0) {
        // Root can still be taken back: take the account's own groups, not the ones held now.
        QorAccount account;
        if (!QorLookUpAccount(effectiveUid, &account))
            return ENOENT;
        plan->gid = account.gid;
        int count = 64;
        plan->groups.resize(size_t(count));
        while (getgrouplist(account.name.c_str(), account.gid, plan->groups.data(), &count) < 0) {
            if (count <= int(plan->groups.size()))
                count = int(plan->groups.size()) * 2;
            plan->groups.resize(size_t(count));
        }
        plan->groups.resize(size_t(count));
        plan->change = plan->regainRoot = plan->setGroups = true;
        return 0;
    }
    plan->gid = effectiveGid;
    plan->change = realUid != effectiveUid || savedUid != effectiveUid || realGid != effectiveGid ||
                   savedGid != effectiveGid;
    return 0;
}

// In the child. 0, or the errno value of the step that failed.
int ApplyPlan(const IdentityPlan& plan) {
    if (!plan.change)
        return 0;
    if (plan.regainRoot && seteuid(0) != 0)
        return errno;
    if (plan.setGroups && setgroups(plan.groups.size(), plan.groups.data()) != 0)
        return errno;
    if (setresgid(plan.gid, plan.gid, plan.gid) != 0 ||
        setresuid(plan.uid, plan.uid, plan.uid) != 0)
        return errno;
    uid_t r, e, s;
    gid_t rg, eg, sg;
    if (getresuid(&r, &e, &s) != 0 || getresgid(&rg, &eg, &sg) != 0 || r != plan.uid ||
        e != plan.uid || s != plan.uid || rg != plan.gid || eg != plan.gid || sg != plan.gid)
        return EPERM;
    if (plan.uid != 0 && setuid(0) == 0)
        return EPERM; // root must be gone for good
    return 0;
}

// Puts the given descriptors at 0, 1 and 2 (-1 keeps what is there), whatever their numbers.
bool PlaceStdio(const int fds[3]) {
    int moved[3];
    for (int i = 0; i < 3; ++i) {
        moved[i] = -1;
        if (fds[i] >= 0 && (moved[i] = fcntl(fds[i], F_DUPFD_CLOEXEC, 3)) < 0)
            return false;
    }
    for (int i = 0; i < 3; ++i)
        if (moved[i] >= 0 && dup2(moved[i], i) < 0)
            return false;
    return true;
}

void ReportAndExit(int pipeFd, char tag, int value, int status) {
    char record[1 + sizeof(int)];
    record[0] = tag;
    memcpy(record + 1, &value, sizeof value);
    (void)!write(pipeFd, record, sizeof record);
    _exit(status);
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

// Reads the (tag, value) records a child wrote until every writer is gone.
void ReadReports(int fd, int* error, pid_t* pid) {
    char record[1 + sizeof(int)];
    size_t have = 0;
    for (;;) {
        ssize_t n = read(fd, record + have, sizeof record - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += size_t(n);
        if (have < sizeof record)
            continue;
        int value;
        memcpy(&value, record + 1, sizeof value);
        if (record[0] == 'E' && *error == 0)
            *error = value ? value : EIO;
        else if (record[0] == 'P')
            *pid = pid_t(value);
        have = 0;
    }
}

int WaitFor(pid_t pid, int* status) {
    while (waitpid(pid, status, 0) < 0)
        if (errno != EINTR)
            return errno;
    return 0;
}

// Blocks every signal for its lifetime, so a child cannot run the caller's handlers before it
// has reset them.
class BlockedSignals {
public:
    BlockedSignals() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &mPrevious);
    }
    ~BlockedSignals() { pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr); }

private:
    sigset_t mPrevious;
};

} // namespace

std::vector<std::string> QorCurrentEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

int QorSpawnAndWait(const std::vector<std::string>& argv, const QorSpawnOptions& options,
                    int* outExitStatus) {
    if (argv.empty() || argv[0].empty())
        return EINVAL;
    std::string program = FindProgram(argv[0]);
    if (program.empty())
        return ENOENT;
    IdentityPlan plan;
    if (options.asCallingUserOnly)
        if (int error = PlanCallingUserOnly(&plan))
            return error;
    std::vector<char*> args = Pointers(argv);
    std::vector<std::string> environment =
        options.environment ? *options.environment : QorCurrentEnvironment();
    std::vector<char*> envp = Pointers(environment);

    int devNull = -1;
    if (options.stdinFd < 0 && (devNull = open("/dev/null", O_RDONLY | O_CLOEXEC)) < 0)
        return errno;
    int stdio[3] = {options.stdinFd < 0 ? devNull : options.stdinFd, options.stdoutFd,
                    options.stderrFd};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        int error = errno;
        if (devNull >= 0)
            close(devNull);
        return error;
    }

    pid_t pid;
    {
        BlockedSignals blocked;
        pid = fork();
        if (pid == 0) {
            QorDefaultSignals();
            if (!PlaceStdio(stdio))
                ReportAndExit(report[1], 'E', errno, 127);
            QorCloseOnExecFrom3();
            if (int error = ApplyPlan(plan))
                ReportAndExit(report[1], 'E', error, 127);
            execve(program.c_str(), args.data(), envp.data());
            ReportAndExit(report[1], 'E', errno, 127);
        }
    }
    int forkError = pid < 0 ? errno : 0;
    close(report[1]);
    if (devNull >= 0)
        close(devNull);
    if (pid < 0) {
        close(report[0]);
        return forkError;
    }
    int startError = 0;
    pid_t unused = 0;
    ReadReports(report[0], &startError, &unused);
    close(report[0]);
    int status = 0;
    int waitError = WaitFor(pid, &status);
    if (startError != 0)
        return startError;
    if (waitError != 0)
        return waitError;
    if (outExitStatus)
        *outExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return 0;
}

int QorSpawnDetached(const std::string& path, const std::vector<std::string>& argv,
                     const std::vector<std::string>& environment, pid_t* outPid,
                     const std::string& workingFolder) {
    if (path.empty() || argv.empty() || workingFolder.empty())
        return EINVAL;
    IdentityPlan plan;
    if (int error = PlanCallingUserOnly(&plan))
        return error;
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> envp = Pointers(environment);
    int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0)
        return errno;
    int stdio[3] = {devNull, devNull, devNull};
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        int error = errno;
        close(devNull);
        return error;
    }

    pid_t intermediate;
    {
        BlockedSignals blocked;
        intermediate = fork();
        if (intermediate == 0) {
            // The intermediate child only forks the program and ends, so the program is
            // handed to init (or the nearest subreaper) and this process never waits for it.
            pid_t program = fork();
            if (program < 0)
                ReportAndExit(report[1], 'E', errno, 1);
            if (program > 0)
                ReportAndExit(report[1], 'P', int(program), 0);
            QorDefaultSignals();
            if (setsid() < 0 || chdir(workingFolder.c_str()) != 0 || !PlaceStdio(stdio))
                ReportAndExit(report[1], 'E', errno, 127);
            QorCloseOnExecFrom3();
            if (int error = ApplyPlan(plan))
                ReportAndExit(report[1], 'E', error, 127);
            execve(path.c_str(), args.data(), envp.data());
            ReportAndExit(report[1], 'E', errno, 127);
        }
    }
    int forkError = intermediate < 0 ? errno : 0;
    close(report[1]);
    close(devNull);
    if (intermediate < 0) {
        close(report[0]);
        return forkError;
    }
    int error = 0;
    pid_t pid = 0;
    ReadReports(report[0], &error, &pid);
    close(report[0]);
    int status;
    (void)WaitFor(intermediate, &status);
    if (error != 0)
        return error;
    if (pid <= 0)
        return EIO;
    if (outPid)
        *outPid = pid;
    return 0;
}
