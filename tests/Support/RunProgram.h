#pragma once

// A program run to its end from a test, as a set-up step (an account made, a crontab removed).

#include "ScopedEnv.h"
#include "Spawn.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace qor_test {

/// Runs args[0] (searched on PATH when it has no "/"; never through a shell) with this process's
/// environment plus extraEnv ("NAME=value" entries that win), its output on /dev/null. Its exit
/// status, or -1 when it could not be run.
inline int RunProgram(const std::vector<std::string>& args,
                      const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> environment = EnvironmentWith(extraEnv);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    QorSpawnOptions options;
    options.stdoutFd = quiet;
    options.stderrFd = quiet;
    options.environment = &environment;
    int status = -1;
    const int error = QorSpawnAndWait(args, options, &status);
    if (quiet >= 0)
        close(quiet);
    return error == 0 ? status : -1;
}

} // namespace qor_test
