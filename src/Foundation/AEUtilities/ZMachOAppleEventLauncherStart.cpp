// Starting the target: a plain executable as a program of its own, anything else through
// Launch Services.

#include "ZMachOAppleEventLauncher.h"

#include "Bundles.h"
#include "ConsoleUserEnvironment.h"
#include "InstallRoot.h"
#include "LaunchServices.h"
#include "Spawn.h"
#include "ZMachOAppleEventDescriptor.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Starts path detached, without a shell, as the calling user alone, with the install roots in
// its environment so that it agrees with us on where the suite lives. args (null-terminated)
// may be null: the path is then the only argument. A graphical program gets the console
// session's variables when we have none (we may run from cron).
OSStatus StartProgram(const char* path, char** args, bool graphical, pid_t* outPid) {
    std::vector<std::string> argv;
    if (args != nullptr) {
        for (char** arg = args; *arg != nullptr; ++arg)
            argv.emplace_back(*arg);
    } else {
        argv.emplace_back(path);
    }
    QorExportRoots();
    std::vector<std::string> environment = QorCurrentEnvironment();
    if (graphical)
        environment = QorEnvironmentForGraphicalProgram(std::move(environment), geteuid());
    // A product started for a task works where the launcher was started (the owner's home
    // when cron or the daemon runs it), as a plain child process would.
    char here[PATH_MAX];
    std::string workingFolder = getcwd(here, sizeof here) ? here : "/";
    pid_t pid = 0;
    if (QorSpawnDetached(path, argv, environment, &pid, workingFolder) != 0)
        return -1;
    if (outPid != nullptr)
        *outPid = pid;
    return 0;
}

} // namespace

OSStatus ZMachOAppleEventLauncher::LaunchTheApp() {
    return LaunchTheApp(kLSLaunchDefaults);
}

OSStatus ZMachOAppleEventLauncher::LaunchTheApp(unsigned long flags) {
    OSStatus status = mIsInit ? 0 : -1;
    if (mAppType == kIsMachoBinary) {
        status = ExecBinaryFile();
    } else {
        if (status == -1)
            return -1;
        if (flags & kLSLaunchNewInstance)
            return LaunchTheAppAsNewInstance(nullptr);
        LSLaunchFSRefSpec request = {&mAppFSRef, 0, nullptr, nullptr, uint32_t(flags), nullptr};
        status = LSOpenFromRefSpec(&request, nullptr);
        if (status == kLSLaunchInProgressErr)
            status = kQorLaunchAlreadyRunning;
    }
    if (status == 0 || status == kQorLaunchAlreadyRunning)
        mAppIsLaunched = true;
    return status;
}

OSStatus ZMachOAppleEventLauncher::ExecBinaryFile() {
    const char* path = ExecPath();
    struct stat st;
    if (*path == '\0' || stat(path, &st) != 0)
        return -1;
    if (GetPIDForName(path) != -1)
        return kQorLaunchAlreadyRunning;
    // Reported only once the program's image is loaded: a file that cannot be run is a
    // failure, not a start.
    return StartProgram(path, FillExecArgsArray(path), false, &mChildPID);
}

OSStatus ZMachOAppleEventLauncher::LaunchTheAppAsNewInstance(pid_t* outPid) {
    const bool bundle = mAppType == kIsOSXBundle;
    char* bundleExecutable = bundle ? CreateBundleExecutablePath(ExecPath()) : nullptr;
    const char* path = bundle ? bundleExecutable : ExecPath();
    OSStatus status = -1;
    if (path != nullptr && *path != '\0') {
        char** args = mAppType == kIsMachoBinary ? FillExecArgsArray(path) : nullptr;
        status = StartProgram(path, args, mAppType != kIsMachoBinary, outPid);
    }
    free(bundleExecutable);
    if (status == 0)
        mAppIsLaunched = true;
    return status;
}
