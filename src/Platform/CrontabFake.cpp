#include "CrontabFake.h"

#include "AtomicFile.h"

#include <limits>

bool QorFakeCrontab::EffectiveUserName(std::string* outName) {
    if (!mUserName)
        return false;
    if (outName)
        *outName = *mUserName;
    return true;
}

QorCrontabResult QorFakeCrontab::List(const char* userName, int outFd, uint64_t maxBytes) {
    std::string user = userName ? userName : mUserName.value_or("");
    mCommands.push_back(userName ? "crontab -l -u " + user : "crontab -l");
    if (mListFailure)
        return *mListFailure;
    auto tab = mTabs.find(user);
    if (tab == mTabs.end())
        return {QorCrontabStatus::kNoCrontab, "no crontab for " + user};
    if (tab->second.size() > maxBytes)
        return {QorCrontabStatus::kTooLarge, "the crontab listing is too large"};
    if (!QorWriteAll(outFd, tab->second.data(), tab->second.size()))
        return {QorCrontabStatus::kFailed, "the crontab listing could not be stored whole"};
    return {QorCrontabStatus::kDone, ""};
}

QorCrontabResult QorFakeCrontab::Install(const char* path) {
    mCommands.push_back(std::string("crontab ") + path);
    mInstalledPaths.push_back(path);
    if (mInstallFailure)
        return *mInstallFailure;
    std::string text;
    if (!mUserName || QorReadWholeFile(path, std::numeric_limits<size_t>::max(), &text) != 0)
        return {QorCrontabStatus::kFailed, std::string(path) + ": cannot read"};
    mTabs[*mUserName] = std::move(text);
    return {QorCrontabStatus::kDone, ""};
}

std::optional<std::string> QorFakeCrontab::Tab(const std::string& user) const {
    auto tab = mTabs.find(user);
    if (tab == mTabs.end())
        return std::nullopt;
    return tab->second;
}
