#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// The account database, read in one place for every part of the suite.

struct QorAccount {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    /// The home folder under the system root, without a trailing "/"; none when the database
    /// gives no absolute path.
    std::optional<std::string> home;
};

/// The account of uid; false when the account database has none.
bool QorLookUpAccount(uid_t uid, QorAccount* outAccount);

/// The account called name; false when the account database has none.
bool QorLookUpAccountNamed(const char* name, QorAccount* outAccount);
