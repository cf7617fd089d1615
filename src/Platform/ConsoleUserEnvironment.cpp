#include "ConsoleUserEnvironment.h"

#include "AtomicFile.h"
#include "ConsoleUser.h"
#include "InstallRoot.h"
#include "ProcessTable.h"

#include <array>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::array<const char*, 4> kSessionVariables = {
    "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"};
constexpr size_t kMaxEnvironmentSize = 1u << 20;
constexpr size_t kMaxValueLength = 4096;

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

const std::string* Find(const std::vector<std::string>& environment, const std::string& name) {
    for (const std::string& entry : environment)
        if (entry.size() > name.size() && entry[name.size()] == '=' &&
            entry.compare(0, name.size(), name) == 0)
            return &entry;
    return nullptr;
}

// Values come from another process: bounded, printable, and runtime folders absolute.
bool IsSoundEntry(const std::string& entry) {
    std::string name = NameOf(entry);
    std::string value = entry.substr(name.size() + 1);
    if (value.empty() || value.size() > kMaxValueLength)
        return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7f)
            return false;
    return name != "XDG_RUNTIME_DIR" || value[0] == '/';
}

bool IsUidsProcess(pid_t pid, uid_t uid) {
    struct stat st;
    std::string folder = "/proc/" + std::to_string(pid);
    return pid > 0 && stat(folder.c_str(), &st) == 0 && st.st_uid == uid;
}

// The session variables a process holds, when it belongs to the session.
std::vector<std::string> SessionVariablesOf(const std::vector<std::string>& environment) {
    std::vector<std::string> found;
    for (const char* name : kSessionVariables)
        if (const std::string* entry = Find(environment, name); entry && IsSoundEntry(*entry))
            found.push_back(*entry);
    return found;
}

bool HasDisplay(const std::vector<std::string>& environment) {
    return Find(environment, "DISPLAY") || Find(environment, "WAYLAND_DISPLAY");
}

// Another process of uid in the session that can reach its display.
std::vector<std::string> ScanSessionProcesses(uid_t uid, const std::string& sessionId) {
    DIR* proc = opendir("/proc");
    if (!proc)
        return {};
    std::vector<std::string> found;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0)
            continue;
        std::vector<std::string> environment = QorProcessEnvironment(pid_t(pid), uid);
        const std::string* session = Find(environment, "XDG_SESSION_ID");
        if (!session || session->substr(sizeof "XDG_SESSION_ID") != sessionId ||
            !HasDisplay(environment))
            continue;
        found = SessionVariablesOf(environment);
        if (HasDisplay(found))
            break;
    }
    closedir(proc);
    return found;
}

void AddMissing(std::vector<std::string>* variables, const std::string& entry) {
    if (!Find(*variables, NameOf(entry)))
        variables->push_back(entry);
}

} // namespace

std::vector<std::string> QorProcessEnvironment(pid_t pid, uid_t uid) {
    if (!IsUidsProcess(pid, uid))
        return {};
    std::string content;
    if (QorReadWholeFile("/proc/" + std::to_string(pid) + "/environ", kMaxEnvironmentSize,
                         &content) != 0)
        return {};
    std::vector<std::string> entries;
    for (std::string& entry : QorNulSeparatedEntries(content))
        if (entry.find('=') != std::string::npos && entry[0] != '=')
            entries.push_back(std::move(entry));
    return entries;
}

std::vector<std::string> QorGraphicalSessionVariables(uid_t uid) {
    QorConsoleSession session;
    if (!QorCurrentConsoleUser().ActiveSession(&session) || session.uid != uid)
        return {};
    std::vector<std::string> variables =
        SessionVariablesOf(QorProcessEnvironment(session.leader, uid));
    if (!HasDisplay(variables) && !session.sessionId.empty())
        if (std::vector<std::string> found = ScanSessionProcesses(uid, session.sessionId);
            HasDisplay(found))
            variables = std::move(found);

    if (!session.display.empty())
        AddMissing(&variables, "DISPLAY=" + session.display);
    std::string runtime = QorSystemPath("/run/user/" + std::to_string(uid));
    struct stat st;
    if (stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid) {
        AddMissing(&variables, "XDG_RUNTIME_DIR=" + runtime);
        std::string bus = runtime + "/bus";
        if (stat(bus.c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            AddMissing(&variables, "DBUS_SESSION_BUS_ADDRESS=unix:path=" + bus);
    }
    std::vector<std::string> sound;
    for (const std::string& entry : variables)
        if (IsSoundEntry(entry))
            sound.push_back(entry);
    return sound;
}

std::vector<std::string> QorEnvironmentForGraphicalProgram(std::vector<std::string> environment,
                                                           uid_t uid) {
    if (HasDisplay(environment))
        return environment;
    std::vector<std::string> session = QorGraphicalSessionVariables(uid);
    for (const std::string& entry : session) {
        std::string name = NameOf(entry);
        std::erase_if(environment, [&](const std::string& own) { return NameOf(own) == name; });
        environment.push_back(entry);
    }
    return environment;
}
