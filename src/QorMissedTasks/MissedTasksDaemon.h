#pragma once

#include "PowerSource.h"

#include <cstdint>

// TavrinMissedTasks: started at boot with "start", it detaches, runs itself again from its
// fixed path, makes up for the tasks missed while the machine was off, and then, after every
// wake from sleep, for those missed while it slept. It runs as the super-user.

/// Where the daemon is installed, under the install root.
extern const char kMissedTasksPath[];

/// When the last sleep was requested or announced; 0 when no sleep is pending.
extern int64_t gLastSleepTime;
/// The power registration (0 when not registered) and the connection that acknowledges
/// power messages.
extern io_object_t gIONotifier;
extern io_connect_t gIOService;

/// The current time in whole seconds; tLoc is ignored and never written.
int64_t MyTime(int64_t* tLoc);

/// Serves one power message: records the sleep time, forgets it when the sleep is called off,
/// forks a scan of the sleep's window after a wake, notes a shutdown; acknowledges each.
void MyPowerCallback(void* refCon, io_service_t service, natural_t messageType,
                     intptr_t messageArgument);

/// SIGCHLD: collects every finished child. SIGHUP, SIGTERM: undoes the power registration and
/// ends the process with status 0.
void MySigHandler(int sig);

/// The program: "start" as the only argument detaches and runs the daemon image from its fixed
/// path; anything else runs the daemon in this process. Exit status 0 when its run loop ends
/// (or on SIGHUP, SIGTERM), 2 when the crontabs cannot be opened at start, 1 when it cannot
/// register for power messages, 255 when the kickstarter cannot run the daemon image.
int TavrinMissedTasksMain(int argc, char** argv);
