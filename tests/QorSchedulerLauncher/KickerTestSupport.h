#pragma once

// Helpers for the tests of the launcher command, the pending-launch folder, the login items and
// the secondary launcher: a temporary root holding the user's home folder, command lines as
// main gets them, the pending folder's contents, and the secondary launcher's bundle.

#include "ConsoleUser.h"
#include "FileRefsFolders.h"
#include "LauncherTestSupport.h"
#include "PendingLaunch.h"
#include "Preferences.h"
#include "SchedulerPaths.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kicker_test {

using launcher_test::ReadFile;
using launcher_test::ScopedEnv;
using launcher_test::WriteFile;

/// A temporary install and system root holding the effective user's home folder, with the
/// pending-folder cache and the unsaved preferences of earlier tests forgotten.
class KickerRoot {
public:
    KickerRoot() {
        QorTaskKicker::ClearQorSchedTempFilePath();
        QorDiscardPendingPreferences();
    }
    ~KickerRoot() {
        QorTaskKicker::ClearQorSchedTempFilePath();
        QorDiscardPendingPreferences();
    }

    const std::string& Path() const { return mRoot.Path(); }
    const std::string& Home() const { return mRoot.Home(); }
    /// The effective user's account name.
    const std::string& User() const { return mRoot.User(); }
    std::string PendingFolder() const { return Home() + "/.config/com.qorvanix.qorsched"; }
    std::string LoginItemsFile() const { return Home() + "/.config/loginwindow.plist"; }

    /// The names in the pending folder (dot files too), sorted.
    std::vector<std::string> PendingNames() const {
        std::vector<std::string> names;
        if (DIR* folder = opendir(PendingFolder().c_str())) {
            while (dirent* entry = readdir(folder))
                if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                    names.push_back(entry->d_name);
            closedir(folder);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    /// Puts a secondary launcher bundle at its install path whose executable is a script
    /// that appends one line to Opened() each time it runs.
    void InstallRecordingSecondaryLauncher() const {
        launcher_test::MakeBundle(Path() + kSecondaryLaunchAppPath, "QorSecondaryLaunch", "",
                                  "echo opened >> '" + Opened() + "'\n");
    }
    std::string Opened() const { return Path() + "/secondary-launcher-opened"; }

private:
    qor_test::TempRoot mRoot{{.withHome = true}};
};

/// A whole command line as main gets it (element 0 is the program's name), ending in null.
class CommandLine {
public:
    explicit CommandLine(std::vector<std::string> args) : mStrings(std::move(args)) {
        for (std::string& s : mStrings)
            mPointers.push_back(s.data());
        mPointers.push_back(nullptr);
    }
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    int argc() const { return int(mStrings.size()); }
    char** argv() { return mPointers.data(); }

private:
    std::vector<std::string> mStrings;
    std::vector<char*> mPointers;
};

/// The effective user's account name.
inline std::string EffectiveUserName() {
    std::string name;
    QorAccountHome(geteuid(), nullptr, &name);
    return name;
}

/// A console session of the effective user.
inline QorConsoleSession OwnConsoleSession() {
    QorConsoleSession session;
    session.userName = EffectiveUserName();
    session.uid = geteuid();
    session.sessionId = "c1";
    session.type = "x11";
    return session;
}

inline mode_t ModeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

} // namespace kicker_test
