#pragma once

#include "AppleEvents.h"
#include "ScopedService.h"

#include <cstddef>
#include <vector>

// How AESendMessage delivers an event: the real transport connects to the target's port socket
// and writes the whole message; a test installs QorFakeEventTransport instead.

/// Seconds a connected receiver may take to accept the whole message before the send gives up
/// with errAETimeout.
constexpr int kQorEventSendSeconds = 5;

class QorEventTransport {
public:
    virtual ~QorEventTransport() = default;
    /// 0 when delivered; procNotFound while the target's port is absent, unsafe or refuses.
    virtual OSStatus Deliver(const AppleEvent& event) = 0;
};

QorEventTransport& QorCurrentEventTransport();
/// nullptr puts the real transport back.
void QorInstallEventTransport(QorEventTransport* transport);
using QorScopedEventTransport =
    QorScopedService<QorEventTransport, QorCurrentEventTransport, QorInstallEventTransport>;

/// A transport for tests: answers each delivery with the next result set (0 once they are used
/// up) and keeps a copy of every event it was given.
class QorFakeEventTransport : public QorEventTransport {
public:
    QorFakeEventTransport() = default;
    ~QorFakeEventTransport() override;
    QorFakeEventTransport(const QorFakeEventTransport&) = delete;
    QorFakeEventTransport& operator=(const QorFakeEventTransport&) = delete;

    OSStatus Deliver(const AppleEvent& event) override;

    /// Results for the next deliveries, in order.
    void SetResults(std::vector<OSStatus> results) { mResults = std::move(results); }
    /// Every event given so far (delivered or not), oldest first.
    const std::vector<AppleEvent>& Events() const { return mEvents; }

private:
    std::vector<OSStatus> mResults;
    size_t mNextResult = 0;
    std::vector<AppleEvent> mEvents;
};
