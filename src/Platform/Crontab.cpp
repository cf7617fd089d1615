#include "Crontab.h"

#include "Accounts.h"
#include "AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Enough of the command's complaints to show a person; the rest is read and dropped.
constexpr size_t kMaxMessageBytes = 4096;
constexpr char kNoCrontabPrefix[] = "no crontab for ";

struct RunOutcome {
    bool started = false;
    int waitStatus = 0;
    bool outputFailed = false; // a write to the sink failed: the listing is incomplete
    bool tooLarge = false;
    std::string error; // why the command could not be started or waited for
    std::string stderrText;
};

void CloseIfOpen(int* fd) {
    if (*fd >= 0)
        close(*fd);
    *fd = -1;
}

// Runs `crontab` with args (found on PATH, no shell), stdin on /dev/null. Its standard output
// goes to sinkFd (dropped when sinkFd < 0) up to maxBytes; its standard error is kept.
RunOutcome RunCrontab(const std::vector<const char*>& args, int sinkFd, uint64_t maxBytes) {
    RunOutcome outcome;
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
        outcome.error = std::string("cannot create a pipe: ") + strerror(errno);
        CloseIfOpen(&outPipe[0]);
        CloseIfOpen(&outPipe[1]);
        return outcome;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

    // The caller may block or ignore signals (a daemon does); the command gets the defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const char* arg : args)
        argv.push_back(const_cast<char*>(arg));
    argv.push_back(nullptr);

    // "no crontab for USER" is recognised by its words: keep them untranslated.
    std::vector<char*> envp;
    for (char** variable = environ; *variable; ++variable) {
        if (strncmp(*variable, "LC_ALL=", 7) != 0 && strncmp(*variable, "LC_MESSAGES=", 12) != 0 &&
            strncmp(*variable, "LANGUAGE=", 9) != 0)
            envp.push_back(*variable);
    }
    static char cLocale[] = "LC_ALL=C";
    envp.push_back(cLocale);
    envp.push_back(nullptr);

    pid_t pid = -1;
    int spawnErr = posix_spawnp(&pid, "crontab", &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    CloseIfOpen(&outPipe[1]);
    CloseIfOpen(&errPipe[1]);
    if (spawnErr != 0) {
        outcome.error = std::string("cannot run crontab: ") + strerror(spawnErr);
        CloseIfOpen(&outPipe[0]);
        CloseIfOpen(&errPipe[0]);
        return outcome;
    }
    outcome.started = true;

    uint64_t written = 0;
    char buffer[65536];
    while (outPipe[0] >= 0 || errPipe[0] >= 0) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            outcome.outputFailed = true;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            int* fd = i == 0 ? &outPipe[0] : &errPipe[0];
            if (*fd < 0 || fds[i].revents == 0)
                continue;
            ssize_t n = read(*fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                CloseIfOpen(fd);
                continue;
            }
            if (i == 1) {
                size_t room = kMaxMessageBytes - outcome.stderrText.size();
                outcome.stderrText.append(buffer, std::min(size_t(n), room));
                continue;
            }
            if (outcome.tooLarge || outcome.outputFailed)
                continue; // the command is being stopped; drain what it already wrote
            if (written + uint64_t(n) > maxBytes) {
                outcome.tooLarge = true;
                kill(pid, SIGKILL);
                continue;
            }
            written += uint64_t(n);
            if (sinkFd >= 0 && !QorWriteAll(sinkFd, buffer, size_t(n))) {
                outcome.outputFailed = true;
                kill(pid, SIGKILL);
            }
        }
    }
    CloseIfOpen(&outPipe[0]);
    CloseIfOpen(&errPipe[0]);

    while (waitpid(pid, &outcome.waitStatus, 0) < 0) {
        if (errno != EINTR) {
            outcome.error = std::string("cannot wait for crontab: ") + strerror(errno);
            outcome.started = false;
            break;
        }
    }
    return outcome;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string Describe(const RunOutcome& outcome) {
    if (!outcome.started)
        return outcome.error;
    std::string text = Trimmed(outcome.stderrText);
    if (WIFSIGNALED(outcome.waitStatus)) {
        std::string killed =
            "crontab was killed by signal " + std::to_string(WTERMSIG(outcome.waitStatus));
        return text.empty() ? killed : text + " (" + killed + ")";
    }
    if (text.empty() && WIFEXITED(outcome.waitStatus))
        return "crontab exited with status " + std::to_string(WEXITSTATUS(outcome.waitStatus));
    return text;
}

bool ExitedCleanly(const RunOutcome& outcome) {
    return outcome.started && WIFEXITED(outcome.waitStatus) && WEXITSTATUS(outcome.waitStatus) == 0;
}

class RealCrontab : public QorCrontab {
public:
    bool EffectiveUserName(std::string* outName) override {
        QorAccount account;
        if (!QorLookUpAccount(geteuid(), &account))
            return false;
        if (outName)
            *outName = account.name;
        return true;
    }

    QorCrontabResult List(const char* userName, int outFd, uint64_t maxBytes) override {
        QorCrontabResult result;
        std::vector<const char*> args = {"crontab", "-l"};
        if (userName) {
            // Without a shell nothing but an option can be smuggled in through the name.
            if (userName[0] == '\0' || userName[0] == '-') {
                result.message = std::string("invalid user name \"") + userName + "\"";
                return result;
            }
            args.push_back("-u");
            args.push_back(userName);
        }
        RunOutcome outcome = RunCrontab(args, outFd, maxBytes);
        result.message = Describe(outcome);
        if (outcome.tooLarge) {
            result.status = QorCrontabStatus::kTooLarge;
            result.message =
                "the crontab listing is larger than " + std::to_string(maxBytes) + " bytes";
        } else if (outcome.outputFailed) {
            result.message = "the crontab listing could not be stored whole";
        } else if (ExitedCleanly(outcome)) {
            result.status = QorCrontabStatus::kDone;
        } else if (outcome.started && WIFEXITED(outcome.waitStatus) &&
                   outcome.stderrText.compare(0, sizeof kNoCrontabPrefix - 1, kNoCrontabPrefix) ==
                       0) {
            result.status = QorCrontabStatus::kNoCrontab;
        }
        return result;
    }

    QorCrontabResult Install(const char* path) override {
        QorCrontabResult result;
        if (!path || path[0] != '/') {
            result.message = "the crontab to install needs an absolute path";
            return result;
        }
        RunOutcome outcome = RunCrontab({"crontab", path}, -1, UINT64_MAX);
        result.message = Describe(outcome);
        if (ExitedCleanly(outcome))
            result.status = QorCrontabStatus::kDone;
        return result;
    }
};

RealCrontab gRealCrontab;
QorCrontab* gCrontab = &gRealCrontab;

} // namespace

QorCrontab& QorCurrentCrontab() {
    return *gCrontab;
}

void QorInstallCrontab(QorCrontab* crontab) {
    gCrontab = crontab ? crontab : &gRealCrontab;
}
