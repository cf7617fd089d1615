#include "ConsoleUser.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

class LogindConsoleUser : public QorConsoleUser {
public:
    bool ActiveSession(QorConsoleSession* out) override {
        return QorAskLogindForConsoleSession(out) == 0;
    }
};

LogindConsoleUser gLogind;
QorConsoleUser* gConsoleUser = &gLogind;

gid_t PrimaryGroup(uid_t uid) {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? size_t(hint) : 4096);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return gid_t(-1);
    return found->pw_gid;
}

} // namespace

QorConsoleUser& QorCurrentConsoleUser() {
    return *gConsoleUser;
}

void QorInstallConsoleUser(QorConsoleUser* service) {
    gConsoleUser = service ? service : &gLogind;
}

bool SCDynamicStoreCopyConsoleUser(std::string* outName, uid_t* outUid, gid_t* outGid) {
    QorConsoleSession session;
    if (!QorCurrentConsoleUser().ActiveSession(&session) || session.userName.empty())
        return false;
    if (outName)
        *outName = session.userName;
    if (outUid)
        *outUid = session.uid;
    if (outGid)
        *outGid = PrimaryGroup(session.uid);
    return true;
}

bool QorFakeConsoleUser::ActiveSession(QorConsoleSession* out) {
    if (!mSession)
        return false;
    if (out)
        *out = *mSession;
    return true;
}
