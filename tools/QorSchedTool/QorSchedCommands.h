#pragma once

#include <cstdio>

/// Exit statuses of qorsched.
enum QorSchedExit {
    kQorSchedExitOK = 0,
    kQorSchedExitCrontab = 1, ///< the crontab could not be read or written
    kQorSchedExitUsage = 2,   ///< unknown command, missing or malformed argument
    kQorSchedExitNoTask = 3,  ///< no task at the given position
    kQorSchedExitFire = 4,    ///< the fired task's launcher could not run or reported a failure
};

/// Runs one qorsched command line (argv[0] is the program name). Results go to out, problems
/// to err. Returns the exit status.
int RunQorSched(int argc, char** argv, FILE* out, FILE* err);
