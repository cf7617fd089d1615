#pragma once

// Steps that change the process for good (users, groups, environment) run in a forked child,
// so that the test process stays as it was.

#include <cerrno>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace qor_test {

/// Runs step in a forked child; the text step returned (by convention "" for success), or
/// "the child died: " and what it wrote when it did not end normally.
inline std::string InChild(const std::function<std::string()>& step) {
    int out[2];
    if (pipe(out) != 0)
        return "pipe failed";
    fflush(nullptr); // nothing buffered is written twice
    pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return "fork failed";
    }
    if (pid == 0) {
        close(out[0]);
        const std::string text = step();
        (void)!write(out[1], text.data(), text.size());
        _exit(0);
    }
    close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "the child died: " + text;
}

/// In a forked child: become the account completely (no supplementary groups, real, effective
/// and saved IDs alike, root never to be had back). False when that fails.
inline bool BecomeAccount(uid_t uid, gid_t gid) {
    return setgroups(0, nullptr) == 0 && setresgid(gid, gid, gid) == 0 &&
           setresuid(uid, uid, uid) == 0 && geteuid() == uid && setuid(0) != 0;
}

} // namespace qor_test
