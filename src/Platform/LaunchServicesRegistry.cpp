#include "LaunchServicesRegistry.h"

#include "FileRefsFolders.h"
#include "InstallRoot.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Entries looked at in one scan at most, so that a huge or looping tree cannot stall a look-up.
constexpr size_t kEntryBudget = 100000;

bool HasAppSuffix(const std::string& name) {
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".app") == 0;
}

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::vector<std::string> SortedEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::vector<std::string> QorAppRegistry::SearchFolders() {
    std::vector<std::string> folders = {QorPath("/Applications"),
                                        QorPath("/Library/Application Support")};
    std::string home;
    if (QorAccountHome(geteuid(), &home))
        folders.push_back(home + "/Applications");
    return folders;
}

void QorAppRegistry::Scan() {
    Scan(SearchFolders());
}

void QorAppRegistry::Scan(const std::vector<std::string>& folders) {
    mApps.clear();
    size_t budget = kEntryBudget;
    for (const std::string& folder : folders)
        ScanFolder(folder, 0, &budget);
}

void QorAppRegistry::ScanFolder(const std::string& folder, int depth, size_t* budget) {
    for (const std::string& name : SortedEntries(folder)) {
        if (*budget == 0)
            return;
        --*budget;
        std::string path = folder + "/" + name;
        struct stat link;
        if (lstat(path.c_str(), &link) != 0)
            continue;
        if (HasAppSuffix(name)) {
            // A linked bundle counts; a linked folder is not searched (it could loop).
            QorBundleInfo bundle;
            if (QorReadBundle(path, &bundle)) {
                bundle.path = Resolved(path);
                if (!bundle.path.empty())
                    mApps.push_back(std::move(bundle));
                continue;
            }
        }
        if (S_ISDIR(link.st_mode) && depth + 1 < kMaxDepth)
            ScanFolder(path, depth + 1, budget);
    }
}

const QorBundleInfo* QorAppRegistry::FindByCreator(OSType creator) const {
    for (const QorBundleInfo& app : mApps)
        if (creator != 0 && app.signature == creator)
            return &app;
    return nullptr;
}

const QorBundleInfo* QorAppRegistry::FindByBundleID(const std::string& identifier) const {
    for (const QorBundleInfo& app : mApps)
        if (!identifier.empty() && strcasecmp(app.identifier.c_str(), identifier.c_str()) == 0)
            return &app;
    return nullptr;
}

const QorBundleInfo* QorAppRegistry::FindByName(const std::string& name) const {
    for (const QorBundleInfo& app : mApps) {
        std::string folderName = app.path.substr(app.path.rfind('/') + 1);
        if (!name.empty() &&
            (folderName == name || folderName.substr(0, folderName.size() - 4) == name))
            return &app;
    }
    return nullptr;
}

const QorBundleInfo* QorAppRegistry::FindByPath(const std::string& path) const {
    std::string resolved = Resolved(path);
    for (const QorBundleInfo& app : mApps)
        if (!resolved.empty() && app.path == resolved)
            return &app;
    return nullptr;
}
