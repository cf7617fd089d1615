#pragma once

#include "EventReceiver.h"

#include <QObject>

class QSocketNotifier;

/// The application's receiving side of events, served from the Qt event loop: the handlers
/// installed on receiver() run whenever an event arrives.
class SCEventPort : public QObject {
    Q_OBJECT

public:
    explicit SCEventPort(QObject* parent = nullptr);
    ~SCEventPort() override;

    /// Binds the process's own port and, with a creator code, the application's signature port
    /// (see QorEventReceiver::Register); dupFNErr when another running instance holds it.
    OSErr registerPorts(OSType creator);

    QorEventReceiver& receiver() { return mReceiver; }

private:
    QorEventReceiver mReceiver;
    QSocketNotifier* mNotifier = nullptr;
};
