#include "EventReceiver.h"
#include "EventWire.h"
#include "MachPortFolder.h"
#include "SystemLog.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>

namespace {

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

bool MakeAddress(const std::string& path, sockaddr_un* address) {
    memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path)
        return false;
    memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A socket left at path by a process that is gone refuses connections.
bool IsStaleSocket(const std::string& path) {
    sockaddr_un address;
    if (!MakeAddress(path, &address))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool stale = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
                 errno == ECONNREFUSED;
    close(fd);
    return stale;
}

} // namespace

QorEventReceiver::QorEventReceiver() : mOwner(getpid()) {
    mPollFd = epoll_create1(EPOLL_CLOEXEC);
}

QorEventReceiver::~QorEventReceiver() {
    for (auto& [fd, sender] : mSenders)
        close(fd);
    for (const Listener& listener : mListeners) {
        close(listener.fd);
        // Remove only our own socket: a forked child does not own it, and a successor may
        // have replaced it already.
        struct stat st;
        if (getpid() == mOwner && lstat(listener.path.c_str(), &st) == 0 &&
            st.st_dev == listener.device && st.st_ino == listener.inode)
            unlink(listener.path.c_str());
    }
    if (mPollFd >= 0)
        close(mPollFd);
}

OSErr QorEventReceiver::Register(OSType creator) {
    if (mPollFd < 0)
        return ioErr;
    OSErr status = QorPreparePortFolder();
    if (status)
        return status;
    status = Bind(QorProcessPortName(getpid()));
    if (status == noErr && creator != 0)
        status = Bind(QorSignaturePortName(creator));
    return status;
}

OSErr QorEventReceiver::Bind(const std::string& name) {
    std::string path = QorPortPath(geteuid(), name);
    for (const Listener& listener : mListeners)
        if (listener.path == path)
            return noErr;
    // The socket listens under a hidden name first and is then linked in under its own, so a
    // sender that sees the name (a look-up, or a wait for the name to appear) can connect.
    std::string hidden = QorPortPath(geteuid(), "." + name + "." + std::to_string(getpid()));
    sockaddr_un address, named;
    if (!MakeAddress(hidden, &address) || !MakeAddress(path, &named))
        return ioErr;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return ioErr;
    (void)unlink(hidden.c_str()); // left by an earlier process with this ID
    struct stat st;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 || lstat(hidden.c_str(), &st) != 0) {
        close(fd);
        (void)unlink(hidden.c_str());
        return ioErr;
    }
    int linked = link(hidden.c_str(), path.c_str());
    if (linked != 0 && errno == EEXIST) {
        // Our own folder: whatever is there is ours to replace unless a live process listens.
        struct stat old;
        bool replaceable =
            lstat(path.c_str(), &old) == 0 && (!S_ISSOCK(old.st_mode) || IsStaleSocket(path));
        if (replaceable) {
            (void)unlink(path.c_str());
            linked = link(hidden.c_str(), path.c_str());
        }
    }
    OSErr status = linked == 0 ? noErr : errno == EEXIST ? dupFNErr : ioErr;
    (void)unlink(hidden.c_str());
    epoll_event watch{};
    watch.events = EPOLLIN;
    watch.data.fd = fd;
    if (status == noErr && epoll_ctl(mPollFd, EPOLL_CTL_ADD, fd, &watch) != 0) {
        (void)unlink(path.c_str());
        status = ioErr;
    }
    if (status != noErr) {
        close(fd);
        return status;
    }
    mListeners.push_back({fd, path, st.st_dev, st.st_ino});
    return noErr;
}

void QorEventReceiver::InstallHandler(AEEventClass eventClass, AEEventID eventID, Handler handler) {
    mHandlers[{eventClass, eventID}] = std::move(handler);
}

void QorEventReceiver::RemoveHandler(AEEventClass eventClass, AEEventID eventID) {
    mHandlers.erase({eventClass, eventID});
}

std::vector<std::string> QorEventReceiver::PortPaths() const {
    std::vector<std::string> paths;
    for (const Listener& listener : mListeners)
        paths.push_back(listener.path);
    return paths;
}

void QorEventReceiver::Report(OSErr status, const std::string& what) {
    mLastDrop = status;
    if (mProblemHandler)
        mProblemHandler(status, what);
    else
        QorSyslog(LOG_WARNING, "%s", what.c_str());
}

void QorEventReceiver::Drop(int fd) {
    (void)epoll_ctl(mPollFd, EPOLL_CTL_DEL, fd, nullptr);
    close(fd);
    mSenders.erase(fd);
}

OSErr QorEventReceiver::Dispatch() {
    mLastDrop = noErr;
    if (mPollFd < 0)
        return ioErr;
    epoll_event ready[16];
    // A bounded number of rounds: a flood of senders cannot keep the caller here; what is
    // left keeps the descriptor readable and is handled at the next call.
    for (int round = 0; round < 64; ++round) {
        int n = epoll_wait(mPollFd, ready, 16, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (int i = 0; i < n; ++i) {
            int fd = ready[i].data.fd;
            bool listening = false;
            for (const Listener& listener : mListeners)
                listening = listening || listener.fd == fd;
            if (listening) {
                AcceptAll(fd);
            } else if (auto found = mSenders.find(fd); found != mSenders.end()) {
                ReadFrom(found->second);
            }
        }
    }
    long long now = NowMs();
    std::vector<int> late;
    for (const auto& [fd, sender] : mSenders)
        if (sender.deadline <= now)
            late.push_back(fd);
    for (int fd : late) {
        Drop(fd);
        Report(errAETimeout, "event dropped: the sender did not finish in time");
    }
    return mLastDrop;
}

void QorEventReceiver::AcceptAll(int listenFd) {
    for (;;) {
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: nothing more waiting; anything else: try at the next readiness
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
            (peer.uid != geteuid() && peer.uid != 0)) {
            close(fd);
            Report(permErr, "event dropped: the sender runs as another user");
            continue;
        }
        if (mSenders.size() >= kQorEventMaxPendingSenders) {
            int oldest = mSenders.begin()->first;
            for (const auto& [other, sender] : mSenders)
                if (sender.serial < mSenders[oldest].serial)
                    oldest = other;
            Drop(oldest);
            Report(errAETimeout, "event dropped: too many senders at once");
        }
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.fd = fd;
        if (epoll_ctl(mPollFd, EPOLL_CTL_ADD, fd, &watch) != 0) {
            close(fd);
            continue;
        }
        mSenders[fd] = {fd,   NowMs() + kQorEventReceiveSeconds * 1000LL, mNextSerial++, {}, 0,
                        false};
    }
}

void QorEventReceiver::ReadFrom(Sender& sender) {
    int fd = sender.fd;
    for (;;) {
        size_t want = sender.haveHeader ? kQorEventWireHeaderSize + sender.bodyLength
                                        : kQorEventWireHeaderSize;
        size_t have = sender.bytes.size();
        if (have < want) {
            sender.bytes.resize(want);
            ssize_t n = read(fd, sender.bytes.data() + have, want - have);
            sender.bytes.resize(have + size_t(n > 0 ? n : 0));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (n <= 0) {
                // A connection closed before its first byte is a mere probe, not a problem.
                bool empty = sender.bytes.empty();
                Drop(fd);
                if (!empty)
                    Report(errAECorruptData, "event dropped: truncated message");
                return;
            }
            continue;
        }
        if (!sender.haveHeader) {
            std::string why;
            if (QorCheckEventHeader(sender.bytes.data(), sender.bytes.size(), &sender.bodyLength,
                                    &why) != noErr) {
                Drop(fd);
                Report(errAECorruptData, "event dropped: " + why);
                return;
            }
            sender.haveHeader = true;
            continue;
        }
        std::vector<uint8_t> message = std::move(sender.bytes);
        Drop(fd);
        Handle(message);
        return;
    }
}

void QorEventReceiver::Handle(const std::vector<uint8_t>& message) {
    AppleEvent event;
    std::string why;
    if (QorDecodeEvent(message.data(), message.size(), &event, &why) != noErr) {
        Report(errAECorruptData, "event dropped: " + why);
        return;
    }
    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    (void)AEGetAttributePtr(&event, keyEventClassAttr, typeType, nullptr, &eventClass, 4, nullptr);
    (void)AEGetAttributePtr(&event, keyEventIDAttr, typeType, nullptr, &eventID, 4, nullptr);
    const std::pair<AEEventClass, AEEventID> keys[] = {{eventClass, eventID},
                                                       {eventClass, typeWildCard},
                                                       {typeWildCard, eventID},
                                                       {typeWildCard, typeWildCard}};
    Handler handler;
    for (const auto& key : keys) {
        if (auto found = mHandlers.find(key); found != mHandlers.end()) {
            handler = found->second; // a copy: the handler may change the table
            break;
        }
    }
    if (handler)
        handler(event);
    else
        Report(errAEEventNotHandled, "event dropped: no handler for it");
    (void)AEDisposeDesc(&event);
}
