// The launcher command's main flow.

#include "TaskKicker.h"

#include "AppleEvents.h"
#include "LaunchServices.h"
#include "UserIDs.h"
#include "ZMachOAppleEventDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace QorTaskKicker {

int32_t gLaunchNewInstance = 0;
int32_t gLaunchInUserSpace = 0;
uid_t gOrigUID = 0;
uid_t gOrigEUID = 0;

namespace {

// The target process or its event port is out of reach from here.
bool IsOutOfReach(OSStatus status) {
    return status == kQorLaunchNoTaskAccess || status == kQorLaunchNoBootstrapPort ||
           status == kQorLaunchPortNotRegistered;
}

// The hand-off could not even leave the launch pending: it is lost unless somebody hears.
bool LeftNothingPending(OSStatus status) {
    return status == kQorLaunchPendingNotWritten || status == kQorLaunchPendingWouldChange;
}

// The state of one run, as at the start of a process.
void ResetRunState() {
    gLaunchNewInstance = 0;
    gLaunchInUserSpace = 0;
    gOrigUID = 0;
    gOrigEUID = 0;
    gUserName[0] = '\0';
    gTempQorSchedUserDir = nullptr;
    gTempBuf[0] = '\0';
    gPathName[0] = '\0';
    gSecondaryLaunchRefErr = 0;
    ClearQorSchedTempFilePath();
}

// The event once more with the IDs the command started with, which may reach a target the
// real user's cannot. -1 when the real user's ID cannot be taken back afterwards: nothing
// more may be done with the other one.
OSStatus BuildEventWithStartIDs(ZQorScheduledTaskLauncher* launcher, pid_t pid, OSStatus status) {
    QorUserIDs& ids = QorCurrentUserIDs();
    if (ids.SetEffectiveUserID(gOrigEUID) != 0)
        return status;
    status = launcher->BuildEvent(pid);
    if (ids.SetEffectiveUserID(gOrigUID) != 0)
        return -1;
    return status;
}

// Starts the target when needed and delivers the event, handing off what cannot be delivered.
OSStatus LaunchAndDeliver(ZQorScheduledTaskLauncher* launcher) {
    OSStatus status = 0;
    pid_t pid = 0;
    if (gLaunchNewInstance)
        status = launcher->LaunchTheAppAsNewInstance(&pid);
    else if (!launcher->IsLaunched())
        status = launcher->LaunchTheApp();

    if (status == 0 || status == kQorLaunchAlreadyRunning) {
        status = EffectiveUserIsConsoleUser() ? launcher->BuildEvent(pid) : kQorLaunchNoTaskAccess;
        if (IsOutOfReach(status) && gOrigUID != 0) {
            status = BuildEventWithStartIDs(launcher, pid, status);
            if (status == -1)
                return status;
        }
        if (IsOutOfReach(status))
            status = TrySecondaryLaunch(launcher);
        if (status == 0)
            status = launcher->DoEvent();
    }
    if (status == procNotFound)
        status = TrySecondaryLaunch(launcher);
    return status;
}

} // namespace

void usage() {
    fputs("usage: taskKicker [-n] executablePath creatorCode EventID classID [ type data ]...\n",
          stderr);
}

int ExitStatusFor(int32_t status) {
    return int(uint32_t(status) & 0xFF);
}

int32_t RunTaskKicker(int argc, char** argv, const LauncherFactory& makeLauncher) {
    ResetRunState();
    optind = 0; // a full restart of getopt, so the flow can run more than once in a process
    for (int option; (option = getopt(argc, argv, "+nu")) != -1;) {
        if (option == 'n')
            gLaunchNewInstance = 1;
        else if (option == 'u')
            gLaunchInUserSpace = 1;
        else
            usage();
    }
    // The descriptor's vector starts one before the first positional argument: its element 0
    // is the command's name, or the last option argument.
    const int first = optind > 0 ? optind : 1;
    const int count = argc - first + 1;
    char** args = argv + first - 1;

    QorUserIDs& ids = QorCurrentUserIDs();
    gOrigUID = ids.RealUserID();
    gOrigEUID = ids.EffectiveUserID();
    if (!ZMachOAppleEventDescriptor::CheckArgs(count, args)) {
        usage();
        return 1;
    }
    OSStatus status = LSInit(kLSInitializeDefaults);
    if (status != 0)
        return status;
    // Everything from here on is done as the real user, but for the one retry above.
    if (ids.SetEffectiveUserID(gOrigUID) != 0) {
        (void)LSTerm();
        return -1;
    }

    std::unique_ptr<ZQorScheduledTaskLauncher> launcher(makeLauncher(count, args));
    (void)launcher->OpenLogFile(args[0]);
    if (!launcher->IsLaunchable(kIsMachoBinary) || gLaunchInUserSpace) {
        // Left to the secondary launcher as it is: no result line. Only a launch that could not
        // be left pending at all is reported, since nothing will ever run it.
        status = TrySecondaryLaunch(launcher.get());
        if (!LeftNothingPending(status))
            status = 0;
    } else {
        status = LaunchAndDeliver(launcher.get());
        launcher->Logit(long(status));
    }
    (void)LSTerm();
    launcher.reset(); // closes the log
    return status;
}

int TaskKickerMain(int argc, char** argv) {
    return ExitStatusFor(RunTaskKicker(argc, argv, [](int count, char** args) {
        return new ZQorScheduledTaskLauncher(count, args);
    }));
}

} // namespace QorTaskKicker
