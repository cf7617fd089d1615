#include "SampleProduct.h"
#include "EventReceiver.h"
#include "InstallRoot.h"
#include "SampleProductFormat.h"
#include "SampleProductOptions.h"
#include "SampleProductRecord.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t gStopSignal = 0;

void OnStopSignal(int signal) {
    gStopSignal = signal;
}

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

std::string SelfExe() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, size_t(n)) : std::string();
}

std::string CurrentFolder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? std::string(path) : std::string("?");
}

// The stop signals stay blocked except while waiting, so one that comes between two waits is
// not lost: ppoll lets it in and returns.
sigset_t BlockStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
        sigaddset(&stops, signal);
    }
    sigprocmask(SIG_BLOCK, &stops, &previous);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigdelset(&previous, signal);
    return previous;
}

} // namespace

int SampleProductMain(int argc, char** argv) {
    SampleProductOptions options = SampleProductReadOptions(argc, argv, SelfExe());
    if (!options.error.empty()) {
        fprintf(stderr, "%s: %s\n", argc > 0 ? argv[0] : "sample product", options.error.c_str());
        return 1;
    }
    SampleProductRecord record;
    if (!record.Open(SampleProductRecordCandidates(options.recordFile, options.executable))) {
        fprintf(stderr, "%s: no place to write the record\n", options.executable.c_str());
        return 1;
    }
    record.Write("start",
                 "uid=" + std::to_string(getuid()) + " euid=" + std::to_string(geteuid()) +
                     " cwd=" + SampleProductQuote(CurrentFolder()) +
                     " exe=" + SampleProductQuote(options.executable) + " creator=" +
                     (options.creator ? SampleProductCode(options.creator) : std::string("none")) +
                     " root=" + SampleProductQuote(QorSystemRoot()));
    std::string args = "argc=" + std::to_string(options.arguments.size());
    for (const std::string& arg : options.arguments) {
        args += ' ';
        args += SampleProductQuote(arg);
    }
    record.Write("args", args);

    sigset_t waitMask = BlockStopSignals();
    QorEventReceiver receiver;
    unsigned long events = 0;
    receiver.InstallHandler(typeWildCard, typeWildCard, [&](const AppleEvent& event) {
        ++events;
        record.Write("event", SampleProductEvent(event));
    });
    receiver.SetProblemHandler([&](OSErr status, const std::string& what) {
        record.Write("dropped",
                     "status=" + std::to_string(status) + " what=" + SampleProductQuote(what));
    });
    OSErr registered = receiver.Register(options.creator);
    std::string ports = "status=" + std::to_string(registered);
    for (const std::string& path : receiver.PortPaths())
        ports += " " + SampleProductQuote(path);
    record.Write("ports", ports);
    record.Write("ready", "");

    long long idleUntil = NowMs() + options.idleSeconds * 1000LL;
    const char* reason = "idle";
    for (;;) {
        long long left = idleUntil - NowMs();
        if (left <= 0)
            break;
        pollfd watch{receiver.FileDescriptor(), POLLIN, 0};
        timespec timeout{time_t(left / 1000), long(left % 1000) * 1000000};
        int ready = ppoll(&watch, watch.fd >= 0 ? 1 : 0, &timeout, &waitMask);
        if (gStopSignal) {
            reason = "signal";
            break;
        }
        if (ready < 0 && errno != EINTR) {
            reason = "error";
            break;
        }
        if (ready > 0) {
            unsigned long before = events;
            (void)receiver.Dispatch();
            if (events != before)
                idleUntil = NowMs() + options.idleSeconds * 1000LL;
        }
    }
    record.Write("exit", "events=" + std::to_string(events) + " reason=" + reason);
    return 0;
}
