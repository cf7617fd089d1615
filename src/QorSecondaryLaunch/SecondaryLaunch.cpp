#include "SecondaryLaunch.h"

#include "PendingLaunch.h"
#include "ZMachOAppleEventDescriptor.h"
#include "ZQorScheduledTaskDescriptor.h"
#include "ZQorScheduledTaskLauncher.h"

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace QorSecondaryLaunch {

char* gTempQorSchedUserDir = nullptr;

namespace {

// The launcher's own reading of a pending file keeps no result: the line is read once first,
// so that an incomplete one is dropped instead of launched with half its fields.
bool HoldsWholeDescriptor(FILE* file) {
    ZQorScheduledTaskDescriptor desc(nullptr, ZMachOAppleEventDescriptor::kDefaultBufferSize,
                                     nullptr, ZMachOAppleEventDescriptor::kDefaultBufferSize);
    const bool whole = desc.Read(file) == 6;
    rewind(file);
    return whole;
}

// One pending launch: launched when needed, sent its event, the result logged. A target that
// cannot be launched from here is dropped without a word.
void PerformPendingLaunch(FILE* file) {
    if (!HoldsWholeDescriptor(file))
        return;
    ZQorScheduledTaskLauncher launcher(file);
    (void)launcher.OpenLogFile("QorSecondaryLaunch");
    (void)launcher.GetTaskDescriptor()->SplitEventDataToSeparateParams();
    if (!launcher.IsLaunchable(kSecondaryLaunchMask))
        return;
    OSStatus status = 0;
    if (!launcher.IsLaunched())
        status = launcher.LaunchTheApp();
    if (status == 0 || status == kQorLaunchAlreadyRunning) {
        status = launcher.BuildEvent(0);
        if (status == 0)
            status = launcher.DoEvent();
    }
    launcher.Logit(long(status));
}

// One walk of the folder; the number of pending files removed.
int WorkOffFolder(int folderFd) {
    int removed = 0;
    for (const QorTaskKicker::PendingEntry& entry : QorTaskKicker::ListPendingFolder(folderFd)) {
        const char* name = entry.name.c_str();
        if (entry.isDirectory) {
            (void)unlinkat(folderFd, name, AT_REMOVEDIR); // only when empty
            continue;
        }
        if (FILE* file = QorTaskKicker::OpenPendingFile(folderFd, name)) {
            PerformPendingLaunch(file);
            fclose(file);
        }
        // Tried once, whatever came of it: a launch that failed is not retried at every login.
        if (unlinkat(folderFd, name, 0) == 0)
            ++removed;
    }
    return removed;
}

} // namespace

int SecondaryLaunchMain() {
    gTempQorSchedUserDir = QorTaskKicker::GetQorSchedTempFilePath();
    int folderFd = QorTaskKicker::OpenPendingFolder(gTempQorSchedUserDir);
    if (folderFd < 0)
        return 0;
    // The launcher command leaves new files while we work and only opens us when we do not run
    // already: walk again until a walk finds nothing more to remove.
    while (WorkOffFolder(folderFd) > 0) {
    }
    close(folderFd);
    return 0;
}

} // namespace QorSecondaryLaunch
