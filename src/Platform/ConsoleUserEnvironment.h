#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// The variables a graphical program needs to reach the user's session (DISPLAY,
// WAYLAND_DISPLAY, XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS), for programs started from
// outside it: cron carries none of them.

/// Those variables of uid's console session (see ConsoleUser.h) as "NAME=value", taken from
/// the environment of the session's leader when it is uid's own process, else from another
/// process of uid in that session; what no process tells comes from logind's display and
/// the user's runtime folder. Empty when uid is not the console user.
std::vector<std::string> QorGraphicalSessionVariables(uid_t uid);

/// environment as it is when it has DISPLAY or WAYLAND_DISPLAY; otherwise with uid's
/// graphical session variables in place of its own.
std::vector<std::string> QorEnvironmentForGraphicalProgram(std::vector<std::string> environment,
                                                           uid_t uid);

/// The entries of a process's environment (/proc/PID/environ) when the process belongs to
/// uid; empty otherwise. Exposed for tests.
std::vector<std::string> QorProcessEnvironment(pid_t pid, uid_t uid);
