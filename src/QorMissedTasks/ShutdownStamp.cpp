#include "ShutdownStamp.h"

#include "AtomicFile.h"
#include "InstallRoot.h"

#include <cerrno>
#include <filesystem>
#include <string>

const char gShutdownStampFile[] = "/var/lib/TavrinMissedTasks/last-shutdown";

namespace {

// Digits and a line end; anything longer was not written by this program.
constexpr size_t kMaxStampBytes = 32;

} // namespace

int QorWriteShutdownStamp(int64_t time) {
    if (time < 0)
        return EINVAL;
    std::filesystem::path path(QorSystemPath(gShutdownStampFile));
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return error.value();
    std::string text = std::to_string(time) + "\n";
    return QorWriteFileAtomically(path.string(), text.data(), text.size(), 0644, false);
}

int QorReadShutdownStamp(int64_t* outTime) {
    std::string text;
    int error = QorReadWholeFile(QorSystemPath(gShutdownStampFile), kMaxStampBytes, &text);
    if (error == EFBIG)
        return EINVAL;
    if (error != 0)
        return error;
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (text.empty() || text.size() > 18)
        return EINVAL;
    int64_t time = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return EINVAL;
        time = time * 10 + (c - '0');
    }
    if (outTime)
        *outTime = time;
    return 0;
}
