#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <functional>
#include <string>

// System power messages: sleep, wake and shutdown, from logind on the system bus.
//
// logind announces a sleep with the signal PrepareForSleep(true) and its end with
// PrepareForSleep(false), and before it goes to sleep it waits (at most InhibitDelayMaxSec, 5 s
// by default) for every program holding a "delay" inhibitor lock to let go of it. So while it
// is registered, this process holds a sleep delay lock whenever the machine is awake, and a
// shutdown delay lock:
//
//   logind                      message                        acknowledged by
//   PrepareForSleep(true)       kIOMessageSystemWillSleep      releasing the sleep lock
//   PrepareForSleep(false)      kIOMessageSystemHasPoweredOn   taking a new sleep lock
//   PrepareForShutdown(true)    kIOMessageSystemWillPowerOff   releasing the shutdown lock
//   PrepareForShutdown(false)   none; the shutdown lock is taken again
//
// logind has nothing that matches kIOMessageCanSystemSleep (an idle sleep is announced like any
// other) or kIOMessageSystemWillNotSleep (a sleep that fails once announced also ends with
// PrepareForSleep(false)), so those two never come from it; a fake source can send them.
// Signals are taken only from the bus name's current owner.

using io_connect_t = uint32_t;
using io_object_t = uint32_t;
using io_service_t = uint32_t;
using natural_t = uint32_t;
using IOReturn = int32_t;

constexpr natural_t kIOMessageSystemWillPowerOff = 0xE0000250;
constexpr natural_t kIOMessageCanSystemSleep = 0xE0000270;
constexpr natural_t kIOMessageSystemWillSleep = 0xE0000280;
constexpr natural_t kIOMessageSystemWillNotSleep = 0xE0000290;
constexpr natural_t kIOMessageSystemHasPoweredOn = 0xE0000300;

constexpr IOReturn kIOReturnSuccess = 0;
/// The acknowledgement does not belong to the message being served, or the lock could not be
/// taken again.
constexpr IOReturn kIOReturnError = IOReturn(0xE00002BC);
/// Nothing is registered.
constexpr IOReturn kIOReturnNotOpen = IOReturn(0xE00002CD);

/// Receives each message; messageArgument is what IOAllowPowerChange is given to acknowledge it.
using IOServiceInterestCallback = void (*)(void* refCon, io_service_t service,
                                           natural_t messageType, intptr_t messageArgument);

/// Where messages come from. The real source is logind; tests install a fake.
class QorPowerSource {
public:
    virtual ~QorPowerSource() = default;
    /// Starts the messages (locks taken, signals subscribed). False with a reason a person can
    /// read when there is no system bus or logind does not answer.
    virtual bool Register(std::string* outReason) = 0;
    /// Serves messages one at a time, calling deliver for each, until the source fails; returns
    /// a negative errno value then, and the reason.
    virtual int Run(const std::function<void(natural_t, intptr_t)>& deliver,
                    std::string* outReason) = 0;
    /// Acknowledges the message with this id.
    virtual IOReturn Allow(intptr_t id) = 0;
    /// Lets go of the locks and ignores further messages. Safe in a signal handler: it only
    /// closes descriptors.
    virtual void Deregister() = 0;
    /// In a child made by fork: forgets the connection and the locks without touching them (the
    /// parent still uses them). The caller then closes the inherited descriptors.
    virtual void ForgetInChild() = 0;
};

QorPowerSource& QorCurrentPowerSource();
/// nullptr puts the real source back.
void QorInstallPowerSource(QorPowerSource* source);
using QorScopedPowerSource =
    QorScopedService<QorPowerSource, QorCurrentPowerSource, QorInstallPowerSource>;

/// The registration's notification port, handed to QorRunPowerLoop.
struct QorPowerPort;
using IONotificationPortRef = QorPowerPort*;

/// Registers callback for the system's power messages: the connection (non-zero) used to
/// acknowledge them, with the port and the notification handle filled; 0 when the source
/// cannot be reached (QorPowerLastError says why).
io_connect_t IORegisterForSystemPower(void* refCon, IONotificationPortRef* thePortRef,
                                      IOServiceInterestCallback callback, io_object_t* notifier);

/// Acknowledges a message: the system goes on with, or completes, the power change.
IOReturn IOAllowPowerChange(io_connect_t kernelPort, intptr_t notificationID);

/// Undoes the registration and sets *notifier to 0. Safe in a signal handler.
IOReturn IODeregisterForSystemPower(io_object_t* notifier);

/// The run loop: serves the port's messages one at a time and does not return while the
/// source lives. Returns a negative errno value when the connection ends (QorPowerLastError
/// says why).
int QorRunPowerLoop(IONotificationPortRef port);

/// In a child made by fork: the child neither holds the parent's locks nor reads its
/// connection once the descriptors it inherited are closed.
void QorPowerForgetInChild();

/// Why the last registration failed or the loop ended.
std::string QorPowerLastError();
