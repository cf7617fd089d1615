#pragma once

#include "ScopedService.h"

#include <optional>
#include <string>
#include <sys/types.h>

// The console user: the user of seat0's active graphical session, as logind tells it on the
// system bus (see SystemBus.h). No logind, or no active graphical session on seat0: nobody
// is at the console.

/// The session of the console user.
struct QorConsoleSession {
    std::string userName;
    uid_t uid = 0;
    std::string sessionId;
    std::string type;    ///< "x11", "wayland" or "mir"
    std::string display; ///< the X display logind knows of, often empty for Wayland
    pid_t leader = 0;    ///< the session's leader process, 0 when unknown
};

/// The console-user service: the real one asks logind.
class QorConsoleUser {
public:
    virtual ~QorConsoleUser() = default;
    /// seat0's active graphical session; false when there is none.
    virtual bool ActiveSession(QorConsoleSession* out) = 0;
};

QorConsoleUser& QorCurrentConsoleUser();
/// nullptr puts the real service back.
void QorInstallConsoleUser(QorConsoleUser* service);
using QorScopedConsoleUser =
    QorScopedService<QorConsoleUser, QorCurrentConsoleUser, QorInstallConsoleUser>;

/// The console user's name, user ID and primary group ID (from the account database; -1 when
/// the account is unknown there). False when nobody is at the console. Any pointer may be
/// null.
bool SCDynamicStoreCopyConsoleUser(std::string* outName, uid_t* outUid, gid_t* outGid);

/// A console user for tests: whatever session it was given, or nobody.
class QorFakeConsoleUser : public QorConsoleUser {
public:
    QorFakeConsoleUser() = default;
    explicit QorFakeConsoleUser(QorConsoleSession session) : mSession(std::move(session)) {}
    bool ActiveSession(QorConsoleSession* out) override;
    void SetSession(std::optional<QorConsoleSession> session) { mSession = std::move(session); }

private:
    std::optional<QorConsoleSession> mSession;
};

/// The real service's question to logind, for tests of it: 0 and the session, 1 when there is
/// no active graphical session on seat0, or a negative errno value when logind could not be
/// asked (no bus, no logind).
int QorAskLogindForConsoleSession(QorConsoleSession* out);
