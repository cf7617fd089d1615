// Handing a launch off to the secondary launcher.

#include "TaskKicker.h"

#include "ConsoleUser.h"
#include "FileRefsFolders.h"
#include "InstallRoot.h"
#include "LaunchServices.h"
#include "LoginItems.h"
#include "Preferences.h"
#include "SchedulerPaths.h"
#include "ZQorScheduledTaskDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace QorTaskKicker {

char gUserName[256];
char gTempBuf[kQorPendingPathSize];
char gPathName[kQorPendingPathSize];
FSRef gSecondaryLaunchRef;
OSStatus gSecondaryLaunchRefErr = 0;

namespace {

// Leaves the launch in the pending folder unless the same launch waits there already.
OSStatus LeavePending(ZQorScheduledTaskDescriptor* desc) {
    if (!ReadsBackWhole(desc))
        return kQorLaunchPendingWouldChange;
    gTempQorSchedUserDir = GetQorSchedTempFilePath();
    bool existed = false;
    if (!PreparePendingFolder(gTempQorSchedUserDir, &existed))
        return kQorLaunchPendingNotWritten;
    if (existed && DoesFileExist(desc))
        return 0;
    return WritePendingLaunchFile(desc, gTempBuf, sizeof gTempBuf) ? 0
                                                                   : kQorLaunchPendingNotWritten;
}

// Adds the secondary launcher at gPathName as a hidden login item, unless an item has that
// path already.
void RegisterLoginItemOnce() {
    const int32_t count = GetCountOfLoginItems(kCFPreferencesCurrentUser);
    for (int32_t index = 0; index < count; ++index) {
        const char* path =
            ReturnLoginItemPropertyAtIndex(kCFPreferencesCurrentUser, kLoginItemFullPath, index);
        if (path != nullptr && strcmp(path, gPathName) == 0)
            return;
    }
    (void)AddLoginItemWithPropertiesToUser(kCFPreferencesCurrentUser, gPathName, 1);
}

// Opens the secondary launcher now when the user is at the console, else makes sure it runs
// at the next login.
OSStatus StartSecondaryLauncher() {
    const std::string app = QorPath(kSecondaryLaunchAppPath);
    OSStatus status = FSPathMakeRef(app.c_str(), &gSecondaryLaunchRef);
    gSecondaryLaunchRefErr = status;
    if (status != 0)
        return status;
    status = EffectiveUserIsConsoleUser() ? LSOpenFSRef(&gSecondaryLaunchRef, nullptr)
                                          : kQorLaunchNoTaskAccess;
    if (status != 0 && FSRefMakePath(&gSecondaryLaunchRef, gPathName, sizeof gPathName) == 0)
        RegisterLoginItemOnce();
    return status;
}

} // namespace

OSStatus TrySecondaryLaunch(ZQorScheduledTaskLauncher* launcher) {
    auto* desc = dynamic_cast<ZQorScheduledTaskDescriptor*>(launcher->GetTaskDescriptor());
    OSStatus status = desc != nullptr ? LeavePending(desc) : kQorLaunchPendingNotWritten;
    if (status == 0)
        status = StartSecondaryLauncher();
    if (status != 0) {
        snprintf(gTempBuf, sizeof gTempBuf, "Tried to launch secondary launch err = %d",
                 int(status));
        launcher->Logit(gTempBuf);
    }
    return status;
}

bool GetUserName(char* /*unused*/) {
    std::string name;
    if (!SCDynamicStoreCopyConsoleUser(&name, nullptr, nullptr))
        return false;
    snprintf(gUserName, sizeof gUserName, "%s", name.c_str());
    return gUserName[0] != '\0';
}

bool EffectiveUserIsConsoleUser() {
    std::string name;
    return QorAccountHome(geteuid(), nullptr, &name) && GetUserName(nullptr) && name == gUserName;
}

} // namespace QorTaskKicker
