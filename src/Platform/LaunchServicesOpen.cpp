#include "LaunchServices.h"

#include "AtomicFile.h"
#include "Bundles.h"
#include "ConsoleUserEnvironment.h"
#include "InstallRoot.h"
#include "ProcessTable.h"
#include "Spawn.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxCommandLine = 64u << 10;

std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The calling user's launch folder, made 0700 when missing and trusted only when it is a real
// folder of that user that nobody else can enter: "" otherwise.
std::string LaunchFolder() {
    uid_t uid = geteuid();
    std::string folder = QorSystemPath("/tmp") + "/qorsched-launch-" + std::to_string(uid);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "";
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & 07777) != 0700)
        return "";
    return folder;
}

// 64-bit FNV-1a: a short fixed-length file name for any application path.
uint64_t Hash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string LockName(const std::string& appPath) {
    char name[40];
    snprintf(name, sizeof name, "/launch-%016llx.lock",
             static_cast<unsigned long long>(Hash(appPath)));
    return name;
}

// Holds the application's launch lock for its lifetime.
class LaunchLock {
public:
    // kLSLaunchInProgressErr while another process holds it, kLSUnknownErr when the lock
    // cannot be had at all.
    OSStatus Take(const std::string& appPath) {
        std::string folder = LaunchFolder();
        if (folder.empty())
            return kLSUnknownErr;
        mFd = open((folder + LockName(appPath)).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                   0600);
        if (mFd < 0)
            return kLSUnknownErr;
        while (flock(mFd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            return errno == EWOULDBLOCK ? kLSLaunchInProgressErr : kLSUnknownErr;
        }
        return 0;
    }
    ~LaunchLock() {
        if (mFd >= 0)
            close(mFd); // releases the lock
    }

private:
    int mFd = -1;
};

std::vector<std::string> CommandLine(pid_t pid) {
    std::string content;
    if (QorReadWholeFile("/proc/" + std::to_string(pid) + "/cmdline", kMaxCommandLine, &content) !=
        0)
        return {};
    return QorNulSeparatedEntries(content);
}

// For a "#!" script, the interpreter the kernel runs (resolved), "" for "env" (any will do);
// nothing for other files.
std::optional<std::string> ScriptInterpreter(const std::string& path) {
    FILE* file = fopen(path.c_str(), "re");
    if (!file)
        return std::nullopt;
    char line[256] = "";
    bool ok = fgets(line, sizeof line, file) && line[0] == '#' && line[1] == '!';
    fclose(file);
    if (!ok)
        return std::nullopt;
    std::string rest = line + 2;
    size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::nullopt;
    std::string interpreter = rest.substr(start, rest.find_first_of(" \t\r\n", start) - start);
    if (interpreter.size() >= 4 && interpreter.compare(interpreter.size() - 4, 4, "/env") == 0)
        return std::string();
    return Resolved(interpreter);
}

// Whether a process of the calling user runs the executable: its image is the executable,
// or, for a script, its interpreter runs with the script as its first or second argument.
bool IsRunning(const std::string& executable) {
    std::string target = Resolved(executable);
    if (target.empty())
        return false;
    std::optional<std::string> interpreter = ScriptInterpreter(target);
    DIR* proc = opendir("/proc");
    if (!proc)
        return false;
    uid_t uid = geteuid();
    pid_t self = getpid();
    bool found = false;
    while (!found) {
        dirent* entry = readdir(proc);
        if (!entry)
            break;
        char* end = nullptr;
        long pid = strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self)
            continue;
        std::string folder = std::string("/proc/") + entry->d_name;
        struct stat st;
        if (stat(folder.c_str(), &st) != 0 || st.st_uid != uid)
            continue;
        char image[PATH_MAX];
        ssize_t n = readlink((folder + "/exe").c_str(), image, sizeof image - 1);
        if (n <= 0)
            continue; // gone, or a zombie
        image[n] = '\0';
        if (target == image) {
            found = true;
        } else if (interpreter && (interpreter->empty() || *interpreter == image)) {
            std::vector<std::string> args = CommandLine(pid_t(pid));
            for (size_t i = 1; i < args.size() && i <= 2 && !found; ++i)
                found = args[i] == target || args[i] == executable;
        }
    }
    closedir(proc);
    return found;
}

// What to start for the application at path: 0 and the executable, or a status.
OSStatus ExecutableOf(const std::string& path, std::string* executable) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? kQorFileNotFoundErr : kQorIOErr;
    if (S_ISDIR(st.st_mode)) {
        QorBundleInfo bundle;
        if (!QorReadBundle(path, &bundle))
            return kLSNotAnApplicationErr;
        if (bundle.executable.empty())
            return kLSNoExecutableErr;
        *executable = path + "/Contents/MacOS/" + bundle.executable;
        return 0;
    }
    if (S_ISREG(st.st_mode) && QorIsAppImage(path)) {
        *executable = path;
        return 0;
    }
    return kLSNotAnApplicationErr;
}

OSStatus LaunchStatus(int error) {
    switch (error) {
    case 0:
        return 0;
    case ENOENT:
    case ENOTDIR:
    case ENOEXEC:
        return kLSNoExecutableErr;
    case EACCES:
    case EPERM:
        return kLSNoLaunchPermissionErr;
    default:
        return kLSUnknownErr;
    }
}

} // namespace

std::string QorLaunchLockPath(const std::string& appPath) {
    std::string folder = LaunchFolder();
    return folder.empty() ? "" : folder + LockName(appPath);
}

OSStatus LSOpenFromRefSpec(const LSLaunchFSRefSpec* inLaunchSpec, FSRef* outLaunchedRef) {
    if (!inLaunchSpec || !inLaunchSpec->appRef || inLaunchSpec->appRef->path[0] != '/' ||
        (inLaunchSpec->numDocs > 0 && !inLaunchSpec->itemRefs))
        return kQorParamErr;
    const FSRef& app = *inLaunchSpec->appRef;
    std::string executable;
    if (OSStatus status = ExecutableOf(app.path, &executable))
        return status;

    LaunchLock lock;
    if (OSStatus status = lock.Take(app.path))
        return status;
    if (!(inLaunchSpec->launchFlags & kLSLaunchNewInstance) && IsRunning(executable)) {
        if (outLaunchedRef)
            *outLaunchedRef = app;
        return 0;
    }

    std::vector<std::string> argv = {executable};
    for (uint32_t i = 0; i < inLaunchSpec->numDocs; ++i)
        argv.emplace_back(inLaunchSpec->itemRefs[i].path);
    QorExportRoots();
    std::vector<std::string> environment =
        QorEnvironmentForGraphicalProgram(QorCurrentEnvironment(), geteuid());
    pid_t pid = 0;
    if (OSStatus status = LaunchStatus(QorSpawnDetached(executable, argv, environment, &pid)))
        return status;
    if (outLaunchedRef)
        *outLaunchedRef = app;
    return 0;
}

OSStatus LSOpenFSRef(const FSRef* inRef, FSRef* outLaunchedRef) {
    LSLaunchFSRefSpec launchSpec = {inRef, 0, nullptr, nullptr, kLSLaunchDefaults, nullptr};
    return LSOpenFromRefSpec(&launchSpec, outLaunchedRef);
}
