#pragma once

// Environment variables and the time zone changed for a test's lifetime only, and the
// environment of a program a test starts.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

extern "C" char** environ;

namespace qor_test {

/// This process's environment as "NAME=value" entries, with extra's entries in place of (or
/// beside) those of the same names.
inline std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> environment = extra;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& wins : extra)
            replaced = replaced || wins.compare(0, name.size(), name) == 0;
        if (!replaced)
            environment.push_back(entry);
    }
    return environment;
}

/// Sets an environment variable (or clears it, with no value) for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : mName(name) {
        if (const char* old = getenv(name))
            mOld = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (mOld)
            setenv(mName.c_str(), mOld->c_str(), 1);
        else
            unsetenv(mName.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string mName;
    std::optional<std::string> mOld;
};

/// TZ set to zone (cleared, for the machine's zone, with no value) for the object's lifetime;
/// the C library reads the zone again on both ends.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(std::optional<std::string> zone) {
        mZone.emplace("TZ", std::move(zone));
        tzset();
    }
    ~ScopedTimeZone() {
        mZone.reset(); // the old zone back before the library reads it again
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<ScopedEnv> mZone;
};

} // namespace qor_test
