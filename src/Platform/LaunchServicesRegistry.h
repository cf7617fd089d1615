#pragma once

#include "Bundles.h"

#include <string>
#include <vector>

/// The application bundles ("*.app" folders with an Info.plist) found in the application
/// folders: "/Applications" and "/Library/Application Support" under the install root, and
/// the user's "~/Applications" (home from the account database, under the system root). The
/// folders are searched in that order, each in name order and at most kMaxDepth folders
/// deep; bundles are not searched inside. When several bundles match a look-up, the first
/// found wins.
class QorAppRegistry {
public:
    static constexpr int kMaxDepth = 8;

    /// The folders searched, in order.
    static std::vector<std::string> SearchFolders();

    /// Forgets what was found and searches SearchFolders() (or the given folders).
    void Scan();
    void Scan(const std::vector<std::string>& folders);

    const std::vector<QorBundleInfo>& Apps() const { return mApps; }
    const QorBundleInfo* FindByCreator(OSType creator) const;
    /// Compared without regard to case.
    const QorBundleInfo* FindByBundleID(const std::string& identifier) const;
    /// The bundle folder's name, with or without ".app".
    const QorBundleInfo* FindByName(const std::string& name) const;
    /// The bundle at path (symbolic links resolved).
    const QorBundleInfo* FindByPath(const std::string& path) const;

private:
    void ScanFolder(const std::string& folder, int depth, size_t* budget);

    std::vector<QorBundleInfo> mApps; // paths resolved
};
