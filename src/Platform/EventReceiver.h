#pragma once

#include "AppleEvents.h"

#include <functional>
#include <map>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

/// Seconds a sender may take to deliver its whole message before it is cut off.
constexpr int kQorEventReceiveSeconds = 5;
/// Senders read at the same time; beyond it the oldest is cut off.
constexpr size_t kQorEventMaxPendingSenders = 32;

/// The receiving side of events for a program: its ports ("AE2000-" + PID, and "sign-" + its
/// creator code when it has one) in its user's port folder, and handlers by class and ID.
///
/// FileDescriptor() becomes readable whenever something arrived; a poll loop or a Qt
/// QSocketNotifier watches it and calls Dispatch(), which never blocks: each sender's bytes
/// are collected as they come, a message is decoded and checked completely before any handler
/// sees it, and a malformed, oversized, foreign or too slow message is dropped and reported to
/// the problem handler, or without one to the system log (at LOG_WARNING, under the identity
/// the program opened it with). Single-threaded, like the programs that use it.
class QorEventReceiver {
public:
    using Handler = std::function<void(const AppleEvent& event)>;
    using ProblemHandler = std::function<void(OSErr status, const std::string& what)>;

    QorEventReceiver();
    /// Closes the ports and removes their sockets.
    ~QorEventReceiver();
    QorEventReceiver(const QorEventReceiver&) = delete;
    QorEventReceiver& operator=(const QorEventReceiver&) = delete;

    /// Binds the process's own port and, when creator is not 0, the application's signature
    /// port. permErr when the port folder is unsafe, ioErr when a socket cannot be made,
    /// dupFNErr when another live process holds the signature port (the own port stays bound).
    OSErr Register(OSType creator = 0);

    /// typeWildCard as class or ID matches any; an exact match wins over a wildcard one.
    void InstallHandler(AEEventClass eventClass, AEEventID eventID, Handler handler);
    void RemoveHandler(AEEventClass eventClass, AEEventID eventID);
    void SetProblemHandler(ProblemHandler handler) { mProblemHandler = std::move(handler); }

    /// Watch for readability; -1 when the receiver could not be set up.
    int FileDescriptor() const { return mPollFd; }

    /// Handles what has arrived. noErr, or the status of the last message dropped
    /// (errAECorruptData, errAEEventNotHandled, errAETimeout, permErr for a foreign sender).
    OSErr Dispatch();

    /// Paths of the bound port sockets.
    std::vector<std::string> PortPaths() const;

private:
    struct Listener {
        int fd;
        std::string path;
        dev_t device;
        ino_t inode;
    };
    struct Sender {
        int fd;
        long long deadline; // monotonic milliseconds
        unsigned long serial;
        std::vector<uint8_t> bytes;
        uint32_t bodyLength; // known once the header is in
        bool haveHeader;
    };

    OSErr Bind(const std::string& name);
    void AcceptAll(int listenFd);
    void ReadFrom(Sender& sender);
    void Drop(int fd);
    void Report(OSErr status, const std::string& what);
    void Handle(const std::vector<uint8_t>& message);

    int mPollFd = -1;
    pid_t mOwner;
    std::vector<Listener> mListeners;
    std::map<int, Sender> mSenders;
    unsigned long mNextSerial = 0;
    std::map<std::pair<AEEventClass, AEEventID>, Handler> mHandlers;
    ProblemHandler mProblemHandler;
    OSErr mLastDrop = noErr;
};
