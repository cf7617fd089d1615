#pragma once

// Helpers for the tests of files, bundles, preferences, Launch Services, the log and the
// console user: a temporary root with the current user's home in it, files written in one
// call, and waiting for what a detached program leaves behind.

#include "FileRefsFolders.h"
#include "PropertyList.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace system_test {

/// Sets or clears one environment variable for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : mName(name) {
        if (const char* old = getenv(name))
            mOld = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (mOld)
            setenv(mName.c_str(), mOld->c_str(), 1);
        else
            unsetenv(mName.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string mName;
    std::optional<std::string> mOld;
};

/// A temporary folder made the install and system root for the object's lifetime, holding
/// the effective user's home folder (as the account database names it) and a "tmp".
class TempRoot {
public:
    TempRoot()
        : mPath(MakeTemporaryFolder()), mRoot("QORSCHED_ROOT", mPath),
          mSystemRoot("QORSCHED_SYSTEM_ROOT", std::nullopt) {
        std::filesystem::create_directories(mPath + "/tmp");
        chmod((mPath + "/tmp").c_str(), 01777);
        if (QorAccountHome(geteuid(), &mHome))
            std::filesystem::create_directories(mHome);
    }
    ~TempRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& Path() const { return mPath; }
    /// The effective user's home folder under the root.
    const std::string& Home() const { return mHome; }

private:
    static std::string MakeTemporaryFolder() {
        char pattern[] = "/tmp/qorsched-system-XXXXXX";
        return mkdtemp(pattern);
    }

    std::string mPath;
    ScopedEnv mRoot, mSystemRoot;
    std::string mHome;
};

/// Writes content to path (folders made as needed) with the given mode.
inline void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    chmod(path.c_str(), mode);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

/// A bundle folder "path" whose Info.plist is info (XML or binary) and, when script is given,
/// whose Contents/MacOS/<executable> is that shell script.
inline void MakeBundle(const std::string& path, const QorPropertyList& info, bool binary = false,
                       const std::string& script = "") {
    WriteFile(path + "/Contents/Info.plist", binary ? info.ToBinary() : info.ToXML());
    const QorPropertyList* executable = info.Find("CFBundleExecutable");
    if (!script.empty() && executable)
        WriteFile(path + "/Contents/MacOS/" + executable->AsString(), "#!/bin/sh\n" + script, 0755);
}

/// An Info.plist dictionary with the executable, signature and identifier given (empty ones
/// left out).
inline QorPropertyList InfoPlist(const std::string& executable, const std::string& signature,
                                 const std::string& identifier = "") {
    QorPropertyList info;
    if (!executable.empty())
        info.Set("CFBundleExecutable", QorPropertyList::String(executable));
    if (!signature.empty())
        info.Set("CFBundleSignature", QorPropertyList::String(signature));
    if (!identifier.empty())
        info.Set("CFBundleIdentifier", QorPropertyList::String(identifier));
    return info;
}

/// Waits (at most about ten seconds) until path exists and is not empty; false if it never does.
inline bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && st.st_size > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace system_test
