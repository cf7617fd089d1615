#pragma once

#include "FileRefs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class ZMachOAppleEventDescriptor;
class ZQorScheduledTaskDescriptor;

// The pending-launch folder: launches the launcher command could not deliver from cron wait
// there, one descriptor line per file, until the secondary launcher works them off inside the
// user's graphical session. The folder is "com.qorvanix.qorsched" in the effective user's
// preferences folder; files are named "qorsched" + at most five characters of the account
// name + the writer's process ID in eight digits + "." + an index of at least three digits.
// A file is written under its name with a leading "." and renamed into place once complete,
// so a reader never meets half a file: names beginning with "." are not pending launches.

/// The hand-off could not leave the launch in a pending file: no folder, no account entry, or
/// the file could not be created or written.
constexpr OSStatus kQorLaunchPendingNotWritten = 1007;
/// The launch cannot be left pending: its descriptor would not read back from a pending file
/// as it is (path or event data too long for the reader, more parameters than it keeps, or a
/// parameter the line form cannot carry), and a launch is never delivered cut.
constexpr OSStatus kQorLaunchPendingWouldChange = 1008;

/// Size of the buffers that hold the folder and file paths.
constexpr size_t kQorPendingPathSize = 1024;

// Program-level names of the launcher programs; kept in a namespace of their own because the
// schedule library has a getTempFilePath and a gTempFileIndex for its own temporary files.
namespace QorTaskKicker {

extern const char* const kPendingFolderName;
extern const char* const kPendingFilePrefix;

/// The folder path once computed; empty until then.
extern char gQorSchedTempFilePath[kQorPendingPathSize];
/// Index of the next pending file name; moves on with every name taken.
extern int32_t gTempFileIndex;

/// The pending-launch folder of the effective user (the preferences folder is made when
/// missing; the folder itself is not), kept until ClearQorSchedTempFilePath; null when the
/// preferences folder cannot be found or the path would not fit.
char* GetQorSchedTempFilePath();
void ClearQorSchedTempFilePath();

/// The pending file name for the folder, the account name, a process ID and index into buf
/// (bufSize bytes): "qorsched", at most five characters of the name, the process ID in eight
/// digits, "." and the index in at least three digits. False, with buf unchanged, when the name
/// would not fit.
bool FormatPendingFilePath(char* buf, size_t bufSize, const char* folder, const char* userName,
                           int pid, int32_t index);

/// The pending file name for index in the folder, into buf (bufSize bytes). False, with buf
/// unchanged, when buf is null, there is no folder path or account entry, or the name would not
/// fit.
bool getTempFilePath(char* buf, int32_t index, size_t bufSize = kQorPendingPathSize);

/// Makes sure the folder at path is a directory: anything else there (a file, a symbolic link)
/// is removed, and a missing folder is created with mode 0700. outExisted tells whether it was
/// a directory already. False when there is no folder afterwards.
bool PreparePendingFolder(const char* path, bool* outExisted);

/// The folder opened for the walk (never through a symbolic link), or -1.
int OpenPendingFolder(const char* path);

/// One entry directly inside the folder.
struct PendingEntry {
    std::string name;
    bool isDirectory = false;
};

/// The pending files (regular files whose names do not begin with ".") and subfolders directly
/// inside the open folder, in the folder's order. Files inside subfolders are never pending.
std::vector<PendingEntry> ListPendingFolder(int folderFd);

/// A pending file of the open folder for reading, never through a symbolic link; null when it
/// cannot be opened or is no regular file.
FILE* OpenPendingFile(int folderFd, const char* name);

/// The same launch: the same path, creator, event ID and class, and the same parameters in
/// the same order (the task ID does not count).
bool SameLaunch(const ZMachOAppleEventDescriptor& a, const ZMachOAppleEventDescriptor& b);

/// True when the descriptor, written to a pending file, reads back as the same launch.
bool ReadsBackWhole(ZQorScheduledTaskDescriptor* desc);

/// True when a pending file of the folder in gTempQorSchedUserDir holds the same launch.
bool DoesFileExist(ZQorScheduledTaskDescriptor* testDesc);

/// Writes the descriptor into a new pending file of the folder (mode 0600) and puts its path
/// into outPath. A name already taken is passed over for the next index. False when nothing
/// was left behind.
bool WritePendingLaunchFile(ZQorScheduledTaskDescriptor* desc, char* outPath, size_t outSize);

/// The folder path the launcher command uses in this run (may be null).
extern char* gTempQorSchedUserDir;

} // namespace QorTaskKicker
