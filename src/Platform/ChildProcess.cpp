#include "ChildProcess.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <unistd.h>

void QorDefaultSignals() {
    struct sigaction standard;
    memset(&standard, 0, sizeof standard);
    standard.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        if (sig != SIGKILL && sig != SIGSTOP)
            (void)sigaction(sig, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    (void)sigprocmask(SIG_SETMASK, &none, nullptr);
}

void QorCloseOnExecFrom3() {
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    // Kernels before 5.11 know no CLOSE_RANGE_CLOEXEC.
    for (int fd = 3; fd < 65536; ++fd)
        (void)fcntl(fd, F_SETFD, FD_CLOEXEC);
}
