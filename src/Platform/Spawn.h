#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Running programs: always with an argument vector, never through a shell. A program that
// cannot be started is reported as an error, never as a result of the program.

struct QorSpawnOptions {
    int stdinFd = -1;  ///< -1: /dev/null
    int stdoutFd = -1; ///< -1: this process's standard output
    int stderrFd = -1; ///< -1: this process's standard error
    /// "NAME=value" entries for the program; null: this process's environment.
    const std::vector<std::string>* environment = nullptr;
    /// Run as the calling (effective) user alone: every other user and group ID this process
    /// may still hold (a saved root ID, root's groups) is dropped, and checked, before exec.
    bool asCallingUserOnly = false;
};

/// Runs argv[0] (searched on PATH when it has no "/") with argv and waits for it. Returns 0
/// and the exit status (128 + the signal number when a signal ended it), or an errno value
/// when it could not be started or waited for (ENOENT for a program that is not there;
/// ECHILD when a SIGCHLD handler of the caller collected the program's status first).
int QorSpawnAndWait(const std::vector<std::string>& argv, const QorSpawnOptions& options,
                    int* outExitStatus);

/// Starts path with argv (argv[0] is what the program sees as its name) and environment,
/// detached: in a session of its own, with standard input, output and error on /dev/null,
/// working folder workingFolder ("/" by default; a plain executable started for a task keeps
/// the caller's, as a child would), as the calling user alone (as asCallingUserOnly above) and
/// not a child of this process, so nobody needs to wait for it. Returns 0 once the program's
/// image has been loaded, with its process ID in outPid (may be null), or the errno value of
/// what failed.
int QorSpawnDetached(const std::string& path, const std::vector<std::string>& argv,
                     const std::vector<std::string>& environment, pid_t* outPid,
                     const std::string& workingFolder = "/");

/// This process's environment as "NAME=value" entries.
std::vector<std::string> QorCurrentEnvironment();
