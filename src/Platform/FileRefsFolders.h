#pragma once

#include "FileRefs.h"

#include <string>
#include <sys/types.h>

// The folders the system finds by kind rather than by fixed path. A user's folders are under
// the home folder the account database gives (never $HOME, so that cron, the daemon and the
// session agree), taken under the system root.

constexpr int16_t kUserDomain = -32763;  ///< the current (effective) user's folders
constexpr int16_t kLocalDomain = -32765; ///< the machine's folders, under the install root
constexpr OSType kPreferencesFolderType = 0x70726566; ///< 'pref'

/// The account's name and home folder (under the system root); false for an unknown uid.
bool QorAccountHome(uid_t uid, std::string* outHome, std::string* outName = nullptr);

/// The folder of the given kind: for kUserDomain the effective user's "~/.config", for
/// kLocalDomain "/Library/Preferences" under the install root. With createFolder a missing
/// folder is made (0700 for a user's, 0755 for the machine's; a user's home is never made).
/// 0, kQorFileNotFoundErr when it is missing (or cannot be made), kQorParamErr for a domain
/// or kind that does not exist here.
OSStatus FSFindFolder(int16_t domain, OSType folderType, bool createFolder, FSRef* foundRef);

/// The same folder as a path: "" when it cannot be found.
std::string QorFindFolderPath(int16_t domain, OSType folderType, bool createFolder);
