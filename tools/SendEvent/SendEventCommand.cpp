#include "SendEventCommand.h"

#include "FourCharCode.h"
#include "LaunchServices.h"
#include "ZMachOAppleEventDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr char kUsage[] =
    "usage: qorsched-send-event [-s] [-p pid] taskID executablePath creatorCode eventID "
    "classID [type data]... [kydo keyword type data...]\n";

constexpr uint32_t kAnyLaunchableType = kIsMachoBinary | kIsCFMApplication | kIsOSXBundle;

const char* KindText(AppType type) {
    switch (type) {
    case kIsMachoBinary:
        return "plain executable";
    case kIsCFMApplication:
        return "single-file application";
    case kIsOSXBundle:
        return "application bundle";
    case kIsClassicApp:
        return "classic application";
    default:
        return "not a program";
    }
}

bool ReadPid(const char* text, pid_t* pid) {
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value <= 0 || value > INT_MAX)
        return false;
    *pid = pid_t(value);
    return true;
}

struct Options {
    bool start = false;
    pid_t pid = 0;
};

// The options end at the first positional argument ("+"): what follows is the launcher
// command line, whose data may well begin with a dash.
bool ReadOptions(int argc, char** argv, Options* options, FILE* err) {
    optind = 0; // a full restart of glibc's getopt, for every call
    opterr = 0;
    for (int option; (option = getopt(argc, argv, "+sp:")) != -1;) {
        switch (option) {
        case 's':
            options->start = true;
            break;
        case 'p':
            if (!ReadPid(optarg, &options->pid)) {
                fprintf(err, "qorsched-send-event: not a process ID: %s\n", optarg);
                return false;
            }
            break;
        default:
            return false;
        }
    }
    return true;
}

// Makes sure the target runs: 0, or why not.
OSStatus BringUp(ZQorScheduledTaskLauncher& launcher, const Options& options, FILE* out) {
    const char* path = launcher.GetTaskDescriptor()->mExecPath;
    if (options.pid != 0) {
        fprintf(out, "process: %d, as given\n", int(options.pid));
        launcher.mAppIsLaunched = true;
        return 0;
    }
    if (launcher.mAppType == kIsMachoBinary && launcher.IsLaunched()) {
        fprintf(out, "running: process %d\n", int(ZMachOAppleEventLauncher::GetPIDForName(path)));
        return 0;
    }
    if (options.start) {
        OSStatus status = launcher.LaunchTheApp();
        if (status == kQorLaunchAlreadyRunning)
            status = 0;
        if (status == 0 && launcher.mChildPID > 0)
            fprintf(out, "started: process %d\n", int(launcher.mChildPID));
        else if (status == 0)
            fprintf(out, "opened\n");
        return status;
    }
    if (launcher.mAppType == kIsMachoBinary)
        return kQorLaunchNoProcess;
    // An application is reached by its creator code: whether it runs shows in the delivery.
    launcher.mAppIsLaunched = true;
    return 0;
}

} // namespace

const char* SendEventStatusText(int32_t status) {
    switch (status) {
    case 0:
        return "delivered";
    case -1:
        return "failed: the target is not a known kind of program, could not be started, or the "
               "event could not be built";
    case kQorLaunchNothingToLocate:
        return "nothing to locate: no path and no creator code";
    case kQorLaunchAlreadyRunning:
        return "the program runs already";
    case kQorLaunchNoTaskAccess:
        return "the process is out of reach (another user's, or gone)";
    case kQorLaunchNoBootstrapPort:
        return "the user's event port folder is unsafe";
    case kQorLaunchPortNotRegistered:
        return "the process registered no event port within 30 seconds";
    case kQorLaunchNoProcess:
        return "the program does not run (-s starts it)";
    case -43:
        return "no file at the path, or a \"path\" parameter names a missing file";
    case -50:
        return "malformed event parameters";
    case -600:
        return "not delivered: the program could not be reached in 15 tries";
    case -1712:
        return "not delivered: the program did not take the event in time";
    case kLSApplicationNotFoundErr:
        return "no application with that creator code";
    case kLSNoExecutableErr:
        return "the application has no usable executable";
    case kLSNoLaunchPermissionErr:
        return "the application may not be run";
    default:
        return "failed";
    }
}

int SendEventMain(int argc, char** argv, FILE* out, FILE* err) {
    Options options;
    if (!ReadOptions(argc, argv, &options, err)) {
        fputs(kUsage, err);
        return 2;
    }
    // The launcher's vector: element 1 is the task ID.
    int count = argc - optind + 1;
    char** vector = argv + optind - 1;
    if (!ZMachOAppleEventDescriptor::CheckArgs(count, vector)) {
        fputs(kUsage, err);
        return 2;
    }

    (void)LSInit(kLSInitializeDefaults);
    OSStatus status;
    {
        ZQorScheduledTaskLauncher launcher(count, vector);
        (void)launcher.OpenLogFile("qorsched-send-event");
        ZMachOAppleEventDescriptor* desc = launcher.GetTaskDescriptor();
        char creator[5], event[5], eventClass[5];
        QorCodeToChars(desc->mCreator, creator);
        QorCodeToChars(desc->mEvent, event);
        QorCodeToChars(desc->mClass, eventClass);

        if (!launcher.IsLaunchable(kAnyLaunchableType)) {
            status = launcher.mAppFSRefFound ? -1 : launcher.InitForLaunch();
            fprintf(out, "target: %s '%.4s': %s\n", desc->mExecPath, creator,
                    launcher.mAppFSRefFound ? KindText(launcher.mAppType) : "not found");
        } else {
            fprintf(out, "target: %s (%s)\n", launcher.mAppFSRef.path, KindText(launcher.mAppType));
            status = BringUp(launcher, options, out);
            if (status == 0)
                status = launcher.BuildEvent(options.pid);
            if (status == 0)
                status = launcher.DoEvent();
        }
        launcher.Logit(long(status));
        fprintf(out, "event class '%.4s' id '%.4s' to '%.4s': %s (%d)\n", eventClass, event,
                creator, SendEventStatusText(status), int(status));
    }
    (void)LSTerm();
    return status == 0 ? 0 : 1;
}
