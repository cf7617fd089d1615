#include "FileRefsFolders.h"

#include "Accounts.h"
#include "InstallRoot.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// mkdir -p below an existing base: only the parts after base are made.
bool MakeFolders(const std::string& base, const std::string& rest, mode_t mode) {
    std::string path = base;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find('/', start + 1);
        if (end == std::string::npos)
            end = rest.size();
        path += rest.substr(start, end - start);
        start = end;
        if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool QorAccountHome(uid_t uid, std::string* outHome, std::string* outName) {
    QorAccount account;
    if (!QorLookUpAccount(uid, &account) || !account.home)
        return false;
    if (outHome)
        *outHome = *account.home;
    if (outName)
        *outName = account.name;
    return true;
}

std::string QorFindFolderPath(int16_t domain, OSType folderType, bool createFolder) {
    if (folderType != kPreferencesFolderType)
        return "";
    std::string base, rest;
    mode_t mode;
    if (domain == kUserDomain) {
        if (!QorAccountHome(geteuid(), &base))
            return "";
        rest = "/.config";
        mode = 0700;
    } else if (domain == kLocalDomain) {
        base = QorInstallRoot();
        rest = "/Library/Preferences";
        mode = 0755;
    } else {
        return "";
    }
    std::string path = base + rest;
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? path : "";
    if (!createFolder)
        return "";
    if (domain == kUserDomain) {
        // The home folder itself is the account's business; only the folder inside is made.
        if (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return "";
        if (mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
            return "";
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? path : "";
    }
    if (!base.empty() && (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
        return "";
    return MakeFolders(base, rest, mode) ? path : "";
}

OSStatus FSFindFolder(int16_t domain, OSType folderType, bool createFolder, FSRef* foundRef) {
    if (!foundRef || folderType != kPreferencesFolderType ||
        (domain != kUserDomain && domain != kLocalDomain))
        return kQorParamErr;
    std::string path = QorFindFolderPath(domain, folderType, createFolder);
    if (path.empty())
        return kQorFileNotFoundErr;
    return FSPathMakeRef(path.c_str(), foundRef);
}
