#include "EventTransport.h"
#include "EventWire.h"
#include "MachPortFolder.h"
#include "MachPorts.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The socket of the event's target: a port name found by bootstrap_look_up, or an application
// signature in the sender's own folder.
OSStatus TargetOf(const AppleEvent& event, uid_t* uid, std::string* name) {
    AEDesc address;
    if (AEGetAttributeDesc(&event, keyAddressAttr, typeWildCard, &address) != noErr)
        return errAEUnknownAddressType;
    uint8_t code[4] = {};
    bool fourBytes = AEGetDescDataSize(&address) == 4 && AEGetDescData(&address, code, 4) == 0;
    DescType type = address.descriptorType;
    (void)AEDisposeDesc(&address);
    if (!fourBytes)
        return errAEUnknownAddressType;
    // Both are 32-bit numbers in the machine's own byte order, as the sender stored them.
    uint32_t number;
    memcpy(&number, code, 4);
    if (type == typeMachPort)
        return QorPortTarget(number, uid, name) ? OSStatus(noErr) : OSStatus(procNotFound);
    if (type == typeApplSignature) {
        *uid = geteuid();
        *name = QorSignaturePortName(number);
        return noErr;
    }
    return errAEUnknownAddressType;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes, OSStatus* status) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *status = errno == EAGAIN || errno == EWOULDBLOCK ? errAETimeout : procNotFound;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

class SocketTransport : public QorEventTransport {
public:
    OSStatus Deliver(const AppleEvent& event) override {
        std::vector<uint8_t> message;
        OSErr encoded = QorEncodeEvent(&event, &message);
        if (encoded)
            return encoded;
        uid_t uid = 0;
        std::string name;
        OSStatus status = TargetOf(event, &uid, &name);
        if (status)
            return status;
        if (QorCheckPortFolder(uid) != QorPortFolderState::kReady)
            return procNotFound;
        std::string path = QorPortPath(uid, name);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path)
            return procNotFound;
        memcpy(address.sun_path, path.c_str(), path.size() + 1);

        // Non-blocking connect: a receiver whose backlog is full refuses at once (and the
        // sender tries again later) instead of holding the sender.
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return ioErr;
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return procNotFound;
        }
        // Only the folder's owner (or root) can have bound there; make sure of it anyway.
        ucred peer{};
        socklen_t peerSize = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0 ||
            (peer.uid != uid && peer.uid != 0)) {
            close(fd);
            return procNotFound;
        }
        timeval limit{kQorEventSendSeconds, 0};
        int flags = fcntl(fd, F_GETFL);
        if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
            setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0) {
            close(fd);
            return ioErr;
        }
        status = noErr;
        (void)WriteAll(fd, message, &status);
        close(fd);
        return status;
    }
};

SocketTransport gSocketTransport;
QorEventTransport* gTransport = &gSocketTransport;

} // namespace

QorEventTransport& QorCurrentEventTransport() {
    return *gTransport;
}

void QorInstallEventTransport(QorEventTransport* transport) {
    gTransport = transport ? transport : &gSocketTransport;
}

OSStatus AESendMessage(const AppleEvent* event, AppleEvent* reply, AESendMode sendMode, long) {
    if (reply)
        AEInitializeDesc(reply);
    if (!event || (sendMode & 3) != kAENoReply)
        return paramErr;
    if (event->descriptorType != typeAppleEvent || !event->dataHandle)
        return errAENotAEDesc;
    return gTransport->Deliver(*event);
}

QorFakeEventTransport::~QorFakeEventTransport() {
    for (AppleEvent& event : mEvents)
        (void)AEDisposeDesc(&event);
}

OSStatus QorFakeEventTransport::Deliver(const AppleEvent& event) {
    AppleEvent copy;
    if (AEDuplicateDesc(&event, &copy) == noErr)
        mEvents.push_back(copy);
    return mNextResult < mResults.size() ? mResults[mNextResult++] : OSStatus(noErr);
}
