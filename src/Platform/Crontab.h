#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <string>

/// How one run of the `crontab` command ended.
enum class QorCrontabStatus {
    kDone,      ///< the command exited with status 0
    kNoCrontab, ///< listing only: the user has no crontab ("no crontab for USER")
    kFailed,    ///< not started, killed, refused, or its output could not be stored whole
    kTooLarge,  ///< listing only: the output exceeded the caller's limit and was not kept whole
};

struct QorCrontabResult {
    QorCrontabStatus status = QorCrontabStatus::kFailed;
    /// What the command wrote to its standard error (the first few KiB), or why it could not
    /// run; empty when it said nothing.
    std::string message;
};

/// The platform's `crontab` command, which lists and replaces a user's crontab.
class QorCrontab {
public:
    virtual ~QorCrontab() = default;

    /// The account name of the effective user, whose crontab the command works on; false when
    /// the account database has no entry for that user.
    virtual bool EffectiveUserName(std::string* outName) = 0;

    /// `crontab -l`, or `crontab -l -u userName` when userName is not null (super-user only).
    /// The listing is written to outFd from its current offset. A listing longer than maxBytes
    /// ends the command and gives kTooLarge; the bytes written to outFd are then unusable.
    virtual QorCrontabResult List(const char* userName, int outFd, uint64_t maxBytes) = 0;

    /// `crontab path`: installs the file as the effective user's crontab.
    virtual QorCrontabResult Install(const char* path) = 0;
};

QorCrontab& QorCurrentCrontab();
/// nullptr puts the real command back.
void QorInstallCrontab(QorCrontab* crontab);
using QorScopedCrontab = QorScopedService<QorCrontab, QorCurrentCrontab, QorInstallCrontab>;
