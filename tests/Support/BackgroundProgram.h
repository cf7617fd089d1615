#pragma once

// A program a test runs beside itself (a bus daemon, a mock service, a process to look at).

#include "ScopedEnv.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace qor_test {

/// A program started with argv and this process's environment plus extraEnv ("NAME=value"
/// entries that win over this process's), standard input and error on /dev/null and standard
/// output on /dev/null or, withOutput, on a pipe for ReadLine. Stopped with the object
/// (SIGTERM, then waited for).
class BackgroundProgram {
public:
    BackgroundProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraEnv = {}, bool withOutput = false) {
        int out[2] = {-1, -1};
        if (withOutput && pipe2(out, O_CLOEXEC) != 0)
            return;
        const std::vector<std::string> env = EnvironmentWith(extraEnv);
        std::vector<char*> args, envp;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        mPid = fork();
        if (mPid == 0) {
            int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, 0);
            dup2(withOutput ? out[1] : devNull, 1);
            dup2(devNull, 2);
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
        if (withOutput) {
            close(out[1]);
            mOutput = out[0];
        }
    }
    ~BackgroundProgram() {
        Stop();
        if (mOutput >= 0)
            close(mOutput);
    }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    pid_t Pid() const { return mPid; }
    void Signal(int sig) const { kill(mPid, sig); }

    /// The program's next line of output, without its line end; "" when it ended first.
    std::string ReadLine() {
        std::string line;
        char c;
        while (mOutput >= 0 && read(mOutput, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    /// Waits for the program to end: its exit status, or 128 + the signal that ended it (-1 when
    /// it never started).
    int Wait() {
        if (mPid <= 0)
            return -1;
        int status = 0;
        while (waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
        }
        mPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void Stop() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGTERM);
        (void)Wait();
    }

private:
    pid_t mPid = -1;
    int mOutput = -1;
};

} // namespace qor_test
