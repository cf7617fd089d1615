#include "Preferences.h"

#include "FileRefsFolders.h"
#include "InstallRoot.h"
#include "PreferencesArguments.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

const char* const kCFPreferencesCurrentUser = "kCFPreferencesCurrentUser";
const char* const kCFPreferencesAnyUser = "kCFPreferencesAnyUser";
const char* const kCFPreferencesAnyHost = "kCFPreferencesAnyHost";
const char* const kCFPreferencesCurrentHost = "kCFPreferencesCurrentHost";
const char* const kCFPreferencesCurrentApplication = "kCFPreferencesCurrentApplication";
const char* const kCFPreferencesAnyApplication = "kCFPreferencesAnyApplication";

namespace {

// Preferences files stay small; anything larger is not one of ours.
constexpr size_t kMaxPreferencesFileSize = 8u << 20;
constexpr size_t kMaxDomainLength = 200;
const char* const kGlobalDomain = ".GlobalPreferences";

std::string gApplicationID;

// The changes not yet written, per file, in the order they were made; nothing = removal.
using Change = std::pair<std::string, std::optional<QorPropertyList>>;
std::map<std::string, std::vector<Change>> gPending;

bool Same(const char* a, const char* b) {
    return a && strcmp(a, b) == 0;
}

std::string DomainName(const char* applicationID) {
    if (Same(applicationID, kCFPreferencesCurrentApplication))
        return QorCurrentApplicationID();
    if (Same(applicationID, kCFPreferencesAnyApplication))
        return kGlobalDomain;
    if (!applicationID)
        return "";
    std::string name = applicationID;
    if (name.empty() || name.size() > kMaxDomainLength || name == "." || name == ".." ||
        name.find('/') != std::string::npos)
        return "";
    return name;
}

// Reads the domain file: false only when it exists and is not a property-list dictionary
// (or cannot be read), so that such a file is never overwritten.
bool ReadDomain(const std::string& path, QorPropertyList* out, bool* wasBinary) {
    *out = QorPropertyList();
    *wasBinary = false;
    int error = QorReadPropertyListFile(path, kMaxPreferencesFileSize, out, wasBinary);
    if (error == ENOENT || error == ENOTDIR) {
        *out = QorPropertyList();
        return true;
    }
    return error == 0 && out->Is(QorPropertyList::Type::kDictionary);
}

void Apply(const std::vector<Change>& changes, QorPropertyList* domain) {
    for (const Change& change : changes) {
        if (change.second)
            domain->Set(change.first, *change.second);
        else
            domain->Remove(change.first);
    }
}

} // namespace

void QorSetCurrentApplicationID(const std::string& applicationID) {
    gApplicationID = applicationID;
}

std::string QorCurrentApplicationID() {
    if (!gApplicationID.empty())
        return gApplicationID;
    return program_invocation_short_name ? program_invocation_short_name : "";
}

std::string QorPreferencesFilePath(const char* applicationID, const char* userName,
                                   const char* hostName) {
    if (!Same(hostName, kCFPreferencesAnyHost))
        return "";
    std::string domain = DomainName(applicationID);
    if (domain.empty())
        return "";
    if (Same(userName, kCFPreferencesCurrentUser)) {
        std::string home;
        if (!QorAccountHome(geteuid(), &home))
            return "";
        return home + "/.config/" + domain + ".plist";
    }
    if (Same(userName, kCFPreferencesAnyUser))
        return QorPath("/Library/Preferences/") + domain + ".plist";
    return "";
}

std::optional<QorPropertyList> CFPreferencesCopyValue(const char* key, const char* applicationID,
                                                      const char* userName, const char* hostName) {
    std::string path = QorPreferencesFilePath(applicationID, userName, hostName);
    if (!key || path.empty())
        return std::nullopt;
    QorPropertyList domain;
    bool wasBinary;
    if (!ReadDomain(path, &domain, &wasBinary))
        domain = QorPropertyList(); // unreadable: this process's own changes still count
    auto pending = gPending.find(path);
    if (pending != gPending.end())
        Apply(pending->second, &domain);
    if (const QorPropertyList* value = domain.Find(key))
        return *value;
    return std::nullopt;
}

void CFPreferencesSetValue(const char* key, const QorPropertyList* value, const char* applicationID,
                           const char* userName, const char* hostName) {
    std::string path = QorPreferencesFilePath(applicationID, userName, hostName);
    if (!key || !*key || path.empty())
        return;
    gPending[path].emplace_back(key, value ? std::optional<QorPropertyList>(*value)
                                           : std::optional<QorPropertyList>());
}

bool CFPreferencesSynchronize(const char* applicationID, const char* userName,
                              const char* hostName) {
    std::string path = QorPreferencesFilePath(applicationID, userName, hostName);
    if (path.empty())
        return false;
    auto pending = gPending.find(path);
    if (pending == gPending.end() || pending->second.empty())
        return true;

    bool forCurrentUser = Same(userName, kCFPreferencesCurrentUser);
    int16_t folderDomain = forCurrentUser ? kUserDomain : kLocalDomain;
    if (QorFindFolderPath(folderDomain, kPreferencesFolderType, true).empty())
        return false;

    QorPropertyList domain;
    bool wasBinary;
    if (!ReadDomain(path, &domain, &wasBinary))
        return false;
    Apply(pending->second, &domain);
    if (QorWritePropertyListFile(path, domain, wasBinary, forCurrentUser ? 0600 : 0644) != 0)
        return false;
    gPending.erase(pending);
    return true;
}

std::optional<QorPropertyList> CFPreferencesCopyAppValue(const char* key,
                                                         const char* applicationID) {
    if (!key)
        return std::nullopt;
    if (DomainName(applicationID) == QorCurrentApplicationID())
        if (std::optional<std::string> argument = QorArgumentDomainValue(key))
            return QorPropertyList::String(*argument);
    if (auto value = CFPreferencesCopyValue(key, applicationID, kCFPreferencesCurrentUser,
                                            kCFPreferencesAnyHost))
        return value;
    return CFPreferencesCopyValue(key, applicationID, kCFPreferencesAnyUser, kCFPreferencesAnyHost);
}

void CFPreferencesSetAppValue(const char* key, const QorPropertyList* value,
                              const char* applicationID) {
    CFPreferencesSetValue(key, value, applicationID, kCFPreferencesCurrentUser,
                          kCFPreferencesAnyHost);
}

bool CFPreferencesAppSynchronize(const char* applicationID) {
    return CFPreferencesSynchronize(applicationID, kCFPreferencesCurrentUser,
                                    kCFPreferencesAnyHost);
}

void QorDiscardPendingPreferences() {
    gPending.clear();
}
