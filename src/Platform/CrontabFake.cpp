#include "CrontabFake.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    size_t size = text.size();
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool ReadWholeFile(const char* path, std::string* out) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            out->append(buffer, size_t(n));
    }
    close(fd);
    return n == 0;
}

} // namespace

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
    if (!WriteAll(outFd, tab->second))
        return {QorCrontabStatus::kFailed, "the crontab listing could not be stored whole"};
    return {QorCrontabStatus::kDone, ""};
}

QorCrontabResult QorFakeCrontab::Install(const char* path) {
    mCommands.push_back(std::string("crontab ") + path);
    mInstalledPaths.push_back(path);
    if (mInstallFailure)
        return *mInstallFailure;
    std::string text;
    if (!mUserName || !ReadWholeFile(path, &text))
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
