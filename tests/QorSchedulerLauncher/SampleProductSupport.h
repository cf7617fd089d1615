#pragma once

// Helpers for the tests that run the sample product through the launcher: install a copy at
// a path, read the lines it records, and stop it at the end.

#include "LauncherTestSupport.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace launcher_test {

/// Copies the built sample product to path (folders made as needed).
inline void InstallSampleProduct(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(QORSCHED_SAMPLE_PRODUCT, path,
                               std::filesystem::copy_options::overwrite_existing);
    chmod(path.c_str(), 0755);
}

/// A bundle "Name.app" with the sample product as its executable.
inline std::string InstallSampleBundle(const std::string& bundlePath, const std::string& name,
                                       const std::string& signature) {
    MakeBundle(bundlePath, name, signature);
    std::string executable = bundlePath + "/Contents/MacOS/" + name;
    InstallSampleProduct(executable);
    return executable;
}

/// The record of the product installed at executable.
class SampleRecord {
public:
    explicit SampleRecord(std::string executable) : mPath(std::move(executable) + ".record") {}

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(mPath));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    /// Lines of one kind ("start", "args", "event", ...), in order.
    std::vector<std::string> Lines(const std::string& kind) const {
        std::vector<std::string> found;
        for (const std::string& line : Lines())
            if (line.rfind(kind + " ", 0) == 0)
                found.push_back(line);
        return found;
    }

    /// Waits (about ten seconds at most) until count lines of the kind are there.
    bool WaitFor(const std::string& kind, size_t count = 1) const {
        return qor_test::WaitUntil([&] { return Lines(kind).size() >= count; });
    }

    /// The process ID of the first start.
    pid_t Pid() const {
        std::vector<std::string> starts = Lines("start");
        return starts.empty() ? -1 : pid_t(atoi(starts[0].c_str() + strlen("start pid=")));
    }

    /// What follows "kind pid=N " in a line.
    static std::string Body(const std::string& line) {
        size_t blank = line.find(' ', line.find("pid="));
        return blank == std::string::npos ? "" : line.substr(blank + 1);
    }

    /// Stops the product and waits until it has ended, so that the next test never finds it
    /// running under the same name.
    void Stop() const {
        pid_t pid = Pid();
        if (pid <= 0 || kill(pid, SIGTERM) != 0)
            return;
        (void)WaitFor("exit");
        (void)qor_test::WaitUntil([pid] {
            QorProcessInfo info;
            return !QorReadProcessInfo(pid, &info) || info.zombie;
        });
    }

private:
    std::string mPath;
};

} // namespace launcher_test
