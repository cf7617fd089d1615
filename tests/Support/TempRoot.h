#pragma once

// A temporary folder that stands in for the whole file system of the suite during a test.

#include "FileRefsFolders.h"
#include "ScopedEnv.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qor_test {

struct TempRootOptions {
    /// Searchable by other users, for tests whose children run as another account.
    bool openToOthers = false;
    /// The effective user's home folder, as the account database names it, made under the root.
    bool withHome = false;
};

/// A temporary folder made the install and system root for the object's lifetime
/// (QORSCHED_ROOT names it, QORSCHED_SYSTEM_ROOT is cleared), with a world-writable sticky
/// "tmp" in it like the real one; removed with everything in it afterwards.
class TempRoot {
public:
    explicit TempRoot(const TempRootOptions& options = {})
        : mPath(MakeFolder()), mRoot("QORSCHED_ROOT", mPath),
          mSystemRoot("QORSCHED_SYSTEM_ROOT", std::nullopt) {
        if (options.openToOthers)
            chmod(mPath.c_str(), 0755);
        std::filesystem::create_directories(TempFolder());
        chmod(TempFolder().c_str(), 01777);
        if (options.withHome && QorAccountHome(geteuid(), &mHome, &mUser))
            std::filesystem::create_directories(mHome);
    }
    ~TempRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& Path() const { return mPath; }
    /// The effective user's home folder under the root (made with withHome only).
    const std::string& Home() const { return mHome; }
    /// The effective user's account name (with withHome only).
    const std::string& User() const { return mUser; }
    std::string TempFolder() const { return mPath + "/tmp"; }
    std::string CrontabFolder() const { return mPath + "/var/spool/cron/crontabs"; }

    /// The names of the files left in the root's "tmp".
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(TempFolder()))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    static std::string MakeFolder() {
        char pattern[] = "/tmp/qorsched-test-XXXXXX";
        return mkdtemp(pattern);
    }

    std::string mPath;
    ScopedEnv mRoot, mSystemRoot;
    std::string mHome;
    std::string mUser;
};

} // namespace qor_test
