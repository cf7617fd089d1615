// taskKicker: the launcher command that every task's cron line runs.

#include "InstallRoot.h"
#include "SchedulerPaths.h"
#include "TaskKicker.h"

int main(int argc, char** argv) {
    // cron gives us none of our environment: the install root is where we run from, and the
    // programs we start are told.
    QorSetOwnFixedPath(kTaskKickerPath);
    QorExportRoots();
    return QorTaskKicker::TaskKickerMain(argc, argv);
}
