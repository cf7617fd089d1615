#pragma once

#include "Crontab.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

/// The crontab command for unit tests: every user's crontab is a string in memory, every
/// command is recorded, and any run can be made to fail.
class QorFakeCrontab : public QorCrontab {
public:
    /// userName is the effective user's account name; nullopt = no account entry.
    explicit QorFakeCrontab(std::optional<std::string> userName = std::string("tester"))
        : mUserName(std::move(userName)) {}

    bool EffectiveUserName(std::string* outName) override;
    QorCrontabResult List(const char* userName, int outFd, uint64_t maxBytes) override;
    QorCrontabResult Install(const char* path) override;

    /// The user's crontab, or nullopt when the user has none.
    std::optional<std::string> Tab(const std::string& user) const;
    void SetTab(const std::string& user, std::string text) { mTabs[user] = std::move(text); }

    /// The next runs of List (or Install) end with this result instead of doing their work.
    void FailList(QorCrontabStatus status, std::string message) {
        mListFailure = QorCrontabResult{status, std::move(message)};
    }
    void FailInstall(std::string message) {
        mInstallFailure = QorCrontabResult{QorCrontabStatus::kFailed, std::move(message)};
    }
    void Heal() {
        mListFailure.reset();
        mInstallFailure.reset();
    }

    /// Every command run so far, as a person would type it ("crontab -l", "crontab -l -u bob",
    /// "crontab /tmp/..."), in order.
    const std::vector<std::string>& Commands() const { return mCommands; }
    /// The path of every file given to Install, which the caller may have removed since.
    const std::vector<std::string>& InstalledPaths() const { return mInstalledPaths; }

private:
    std::optional<std::string> mUserName;
    std::map<std::string, std::string> mTabs;
    std::optional<QorCrontabResult> mListFailure;
    std::optional<QorCrontabResult> mInstallFailure;
    std::vector<std::string> mCommands;
    std::vector<std::string> mInstalledPaths;
};
