#pragma once

#include "FileRefs.h"
#include "PendingLaunch.h"

#include <cstdint>
#include <functional>
#include <sys/types.h>

class ZQorScheduledTaskLauncher;

// The launcher command, taskKicker: what every task's cron line runs.
//
//   taskKicker [-n] [-u] taskID executablePath creatorCode eventID classID [type data]...
//              [kydo keyword type data [keyword type data]...]
//
// It starts the target when it does not run and sends it the task's event. What cannot be
// delivered from cron (a target that is no plain executable, an owner who is not at the
// console, a target out of reach, or -u) is handed off: the launch is left in the owner's
// pending-launch folder, and the secondary launcher is opened at once when the owner is at the
// console, else registered once as the owner's hidden login item.

namespace QorTaskKicker {

/// Option -n: start a further instance of the target.
extern int32_t gLaunchNewInstance;
/// Option -u: leave the launch to the secondary launcher.
extern int32_t gLaunchInUserSpace;
/// The real and effective user IDs the command started with.
extern uid_t gOrigUID;
extern uid_t gOrigEUID;
/// The console user's name, as GetUserName last found it.
extern char gUserName[256];
/// The pending file's path, and later the hand-off's log line.
extern char gTempBuf[kQorPendingPathSize];
/// The secondary launcher's path, as registered among the login items.
extern char gPathName[kQorPendingPathSize];
extern FSRef gSecondaryLaunchRef;
extern OSStatus gSecondaryLaunchRefErr;

/// Makes the launcher for the positional arguments (element 1 = task ID); tests give their
/// own.
using LauncherFactory = std::function<ZQorScheduledTaskLauncher*(int argc, char** argv)>;

/// The whole command: returns its final status (1 after a usage error). The options are read
/// with "+nu", so that nothing after the first positional argument is taken for an option.
int32_t RunTaskKicker(int argc, char** argv, const LauncherFactory& makeLauncher);

/// RunTaskKicker with the real launcher, as the process's exit status: the low 8 bits.
int TaskKickerMain(int argc, char** argv);

/// The exit status for a final status: its low 8 bits (1003 gives 235, -600 gives 168).
int ExitStatusFor(int32_t status);

/// Prints the usage line to standard error.
void usage();

/// Hands the launch off (see above). 0 when the secondary launcher was opened;
/// kQorLaunchNoTaskAccess (1003) when the owner is not at the console and the login item is
/// there; the file reference's status when the secondary launcher is not installed;
/// kQorLaunchPendingNotWritten or kQorLaunchPendingWouldChange when the launch could not be
/// left pending. Every failure is logged.
OSStatus TrySecondaryLaunch(ZQorScheduledTaskLauncher* launcher);

/// Puts the console user's name into gUserName; false when nobody is at the console. The
/// argument is not used.
bool GetUserName(char* unused);

/// True when the effective user is the user at the console.
bool EffectiveUserIsConsoleUser();

} // namespace QorTaskKicker
