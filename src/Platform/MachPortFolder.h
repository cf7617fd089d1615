#pragma once

#include "AppleEvents.h"

#include <string>
#include <sys/types.h>

// Every receiving process has its event ports as Unix stream sockets in its user's port folder,
// QorSystemPath("/tmp") + "/qorsched-ports-" + uid. The folder is derived from the uid alone,
// never from session variables, so cron jobs, the daemon's children and the graphical session
// agree on it. Only a real directory owned by that uid with mode exactly 0700 is used: anything
// else (another owner, a wider mode, a symbolic link) makes the ports in it unreachable.

enum class QorPortFolderState {
    kReady,   // a real directory, owned by the uid, mode 0700
    kMissing, // nothing there yet
    kUnsafe,  // something else: never used
};

/// The port folder of uid.
std::string QorPortFolderPath(uid_t uid);

/// Checks the folder of uid without following a symbolic link.
QorPortFolderState QorCheckPortFolder(uid_t uid);

/// Makes sure the calling process's own folder (effective uid) exists and is safe: created
/// 0700 when missing. permErr when it is unsafe, ioErr when it cannot be created.
OSErr QorPreparePortFolder();

/// Port names are plain file names in the folder: not empty, at most 64 bytes, no "/" and no
/// NUL, not "." or "..".
bool QorIsValidPortName(const std::string& name);

/// The name of a process's own port: GetMagicName() + the process ID in decimal.
std::string QorProcessPortName(pid_t pid);

/// The name of an application's port by creator code: "sign-" + the code's four characters,
/// with "%" + two hex digits for a byte that is not a printable ASCII character, "/" or "%".
std::string QorSignaturePortName(OSType creator);

/// Path of a port in uid's folder.
std::string QorPortPath(uid_t uid, const std::string& name);
