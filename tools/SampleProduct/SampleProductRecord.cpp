#include "SampleProductRecord.h"
#include "InstallRoot.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

SampleProductRecord::~SampleProductRecord() {
    if (mFd >= 0)
        close(mFd);
}

bool SampleProductRecord::Open(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        // O_NONBLOCK: a FIFO planted there must not hold the program; it is refused below.
        int fd = open(path.c_str(),
                      O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
        if (fd < 0)
            continue;
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) {
            mFd = fd;
            mPath = path;
            return true;
        }
        close(fd);
    }
    return false;
}

void SampleProductRecord::Write(const std::string& kind, const std::string& text) {
    if (mFd < 0)
        return;
    std::string line = kind + " pid=" + std::to_string(getpid());
    if (!text.empty())
        line += " " + text;
    line += "\n";
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = write(mFd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

std::vector<std::string> SampleProductRecordCandidates(const std::string& option,
                                                       const std::string& executable) {
    if (!option.empty())
        return {option};
    std::vector<std::string> candidates;
    if (!executable.empty())
        candidates.push_back(executable + ".record");
    size_t slash = executable.rfind('/');
    std::string name = slash == std::string::npos ? executable : executable.substr(slash + 1);
    if (passwd* account = getpwuid(geteuid()); account && account->pw_dir && !name.empty())
        candidates.push_back(QorSystemPath(account->pw_dir) + "/" + name + ".record");
    return candidates;
}
