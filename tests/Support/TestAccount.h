#pragma once

// The unprivileged accounts that tests run steps as; only root can make them.

#include "RunProgram.h"

#include <chrono>
#include <optional>
#include <pwd.h>
#include <string>
#include <thread>
#include <vector>

namespace qor_test {

struct TestAccount {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home; ///< as the account database names it
};

/// The account called name with home as its home folder: created when missing, moved to home
/// when it has another (both need root; the folder itself is not made). None when it cannot be
/// had, and never root.
inline std::optional<TestAccount> EnsureTestAccount(const std::string& name,
                                                    const std::string& home) {
    // Tests running side by side may change the account database at the same moment; it is
    // locked while one of them does, so a refused change is tried again.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const passwd* entry = getpwnam(name.c_str());
        if (entry && entry->pw_dir == home)
            break;
        const std::vector<std::string> change =
            entry ? std::vector<std::string>{"/usr/sbin/usermod", "--home", home, name}
                  : std::vector<std::string>{
                        "/usr/sbin/useradd", "--no-create-home",  "--home-dir", home,
                        "--shell",           "/usr/sbin/nologin", name};
        if (RunProgram(change) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const passwd* entry = getpwnam(name.c_str());
    if (!entry || entry->pw_uid == 0)
        return std::nullopt;
    return TestAccount{entry->pw_name, entry->pw_uid, entry->pw_gid, entry->pw_dir};
}

} // namespace qor_test
