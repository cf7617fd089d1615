// QorLoginItems: opens the user's login items; run by the graphical login's autostart entry.

#include "InstallRoot.h"
#include "LoginItemsRunner.h"
#include "SchedulerPaths.h"

int main() {
    // The session's environment is not ours: the install root is where we run from, and the
    // programs we open are told.
    QorSetOwnFixedPath(kLoginItemsRunnerPath);
    QorExportRoots();
    return QorLoginItems::OpenLoginItems();
}
