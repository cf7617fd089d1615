// QorSecondaryLaunch: works off the launches left pending for the user, then exits.

#include "InstallRoot.h"
#include "SchedulerPaths.h"
#include "SecondaryLaunch.h"

int main() {
    // Opened by the launcher command or at login: the install root is where we run from, and
    // the programs we start are told.
    QorSetOwnFixedPath(kSecondaryLaunchExecutablePath);
    QorExportRoots();
    return QorSecondaryLaunch::SecondaryLaunchMain();
}
