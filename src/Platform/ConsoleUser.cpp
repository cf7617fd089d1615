#include "ConsoleUser.h"

#include "Accounts.h"

#include <unistd.h>

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
    QorAccount account;
    return QorLookUpAccount(uid, &account) ? account.gid : gid_t(-1);
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
