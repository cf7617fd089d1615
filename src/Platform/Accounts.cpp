#include "Accounts.h"

#include "InstallRoot.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

// Runs lookUp (getpwuid_r or getpwnam_r bound to its key) with a buffer that grows while the
// entry does not fit, and copies the entry found.
template <class LookUp> bool LookUpWith(LookUp lookUp, QorAccount* outAccount) {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? size_t(hint) : 4096);
    passwd entry;
    passwd* found = nullptr;
    int error;
    while ((error = lookUp(&entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (error != 0 || !found)
        return false;
    QorAccount account;
    account.name = found->pw_name ? found->pw_name : "";
    account.uid = found->pw_uid;
    account.gid = found->pw_gid;
    if (found->pw_dir && found->pw_dir[0] == '/') {
        std::string home = found->pw_dir;
        while (home.size() > 1 && home.back() == '/')
            home.pop_back();
        account.home = QorSystemPath(home == "/" ? "" : home);
    }
    *outAccount = std::move(account);
    return true;
}

} // namespace

bool QorLookUpAccount(uid_t uid, QorAccount* outAccount) {
    return LookUpWith([uid](passwd* entry, char* buffer, size_t size,
                            passwd** found) { return getpwuid_r(uid, entry, buffer, size, found); },
                      outAccount);
}

bool QorLookUpAccountNamed(const char* name, QorAccount* outAccount) {
    return LookUpWith(
        [name](passwd* entry, char* buffer, size_t size, passwd** found) {
            return getpwnam_r(name, entry, buffer, size, found);
        },
        outAccount);
}
