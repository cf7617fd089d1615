#include "PowerSource.h"

#include "SystemBus.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

constexpr char kLogind[] = "org.freedesktop.login1";
constexpr char kLogindPath[] = "/org/freedesktop/login1";
constexpr char kManager[] = "org.freedesktop.login1.Manager";
constexpr char kWho[] = "TavrinMissedTasks";
constexpr char kSleepWhy[] = "Notes when the machine sleeps, to run the tasks it misses";
constexpr char kShutdownWhy[] = "Notes when the machine shuts down, to run the tasks it misses";

std::string ErrorText(int result, const sd_bus_error* error) {
    if (error && error->message)
        return error->message;
    return strerror(-result);
}

void CloseLock(int* fd) {
    int old = *fd;
    *fd = -1;
    if (old >= 0)
        close(old);
}

class LogindPowerSource : public QorPowerSource {
public:
    bool Register(std::string* outReason) override {
        ForgetConnection();
        int result = QorSystemBusOpen(&mBus);
        if (result < 0) {
            *outReason = "cannot connect to the system bus at " + QorSystemBusAddress() + ": " +
                         strerror(-result);
            return false;
        }
        // Subscribed before the locks are taken, so no announcement can slip between the two.
        if ((result = sd_bus_match_signal(mBus, nullptr, kLogind, kLogindPath, kManager,
                                          "PrepareForSleep", &OnPrepareForSleep, this)) < 0 ||
            (result = sd_bus_match_signal(mBus, nullptr, kLogind, kLogindPath, kManager,
                                          "PrepareForShutdown", &OnPrepareForShutdown, this)) < 0) {
            *outReason = std::string("cannot subscribe to logind's signals: ") + strerror(-result);
            ForgetConnection();
            return false;
        }
        if (!TakeLock("sleep", &mSleepLock, outReason) ||
            !TakeLock("shutdown", &mShutdownLock, outReason)) {
            CloseLock(&mSleepLock);
            ForgetConnection();
            return false;
        }
        mRegistered = true;
        return true;
    }

    int Run(const std::function<void(natural_t, intptr_t)>& deliver,
            std::string* outReason) override {
        if (!mBus) {
            *outReason = "not registered";
            return -ENOTCONN;
        }
        mDeliver = deliver;
        for (;;) {
            int result = sd_bus_process(mBus, nullptr);
            if (result > 0)
                continue;
            if (result == 0)
                result = sd_bus_wait(mBus, UINT64_MAX);
            if (result < 0 && result != -EINTR) {
                *outReason = std::string("the system bus connection ended: ") + strerror(-result);
                return result;
            }
        }
    }

    IOReturn Allow(intptr_t id) override {
        if (id == 0 || id != mPendingId)
            return kIOReturnError;
        mPendingId = 0;
        std::string ignored;
        switch (mPendingType) {
        case kIOMessageSystemWillSleep:
            CloseLock(&mSleepLock);
            return kIOReturnSuccess;
        case kIOMessageSystemWillPowerOff:
            CloseLock(&mShutdownLock);
            return kIOReturnSuccess;
        case kIOMessageSystemHasPoweredOn:
            if (mSleepLock >= 0)
                return kIOReturnSuccess;
            return TakeLock("sleep", &mSleepLock, &ignored) ? kIOReturnSuccess : kIOReturnError;
        default:
            return kIOReturnSuccess;
        }
    }

    void Deregister() override {
        mRegistered = false;
        CloseLock(&mSleepLock);
        CloseLock(&mShutdownLock);
    }

    void ForgetInChild() override {
        mRegistered = false;
        mSleepLock = -1;
        mShutdownLock = -1;
        mBus = nullptr; // the parent's: never freed here, never used again
        mLogindOwner.clear();
    }

private:
    void ForgetConnection() {
        if (mBus)
            sd_bus_flush_close_unref(mBus);
        mBus = nullptr;
        mLogindOwner.clear();
    }

    bool TakeLock(const char* what, int* fd, std::string* outReason) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        const char* why = strcmp(what, "sleep") == 0 ? kSleepWhy : kShutdownWhy;
        int result = sd_bus_call_method(mBus, kLogind, kLogindPath, kManager, "Inhibit", &error,
                                        &reply, "ssss", what, kWho, why, "delay");
        int lock = -1;
        if (result >= 0) {
            int received = -1;
            result = sd_bus_message_read(reply, "h", &received);
            // The message owns the descriptor it carries; keep a copy of our own.
            if (result >= 0 && (lock = fcntl(received, F_DUPFD_CLOEXEC, 3)) < 0)
                result = -errno;
        }
        if (result < 0)
            *outReason = std::string("logind did not grant a ") + what +
                         " delay lock: " + ErrorText(result, &error);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        if (result < 0)
            return false;
        CloseLock(fd);
        *fd = lock;
        return true;
    }

    // Any program on the bus may send a signal to this connection; only logind's count.
    bool FromLogind(sd_bus_message* message) {
        const char* sender = sd_bus_message_get_sender(message);
        if (!sender)
            return false;
        if (mLogindOwner == sender)
            return true;
        // logind may have been restarted since: ask who owns the name now.
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        const char* owner = nullptr;
        if (sd_bus_call_method(mBus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "GetNameOwner", &error, &reply, "s",
                               kLogind) >= 0 &&
            sd_bus_message_read(reply, "s", &owner) >= 0 && owner)
            mLogindOwner = owner;
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        return mLogindOwner == sender;
    }

    // The boolean argument of a signal from logind; false for anything else.
    bool ReadAnnouncement(sd_bus_message* message, bool* outStarting) {
        if (!mRegistered || !FromLogind(message))
            return false;
        int value = 0;
        if (sd_bus_message_read(message, "b", &value) < 0)
            return false;
        *outStarting = value != 0;
        return true;
    }

    void Deliver(natural_t type) {
        mPendingType = type;
        mPendingId = ++mLastId;
        if (mDeliver)
            mDeliver(type, mPendingId);
    }

    static int OnPrepareForSleep(sd_bus_message* message, void* self, sd_bus_error*) {
        auto* source = static_cast<LogindPowerSource*>(self);
        bool starting = false;
        if (source->ReadAnnouncement(message, &starting))
            source->Deliver(starting ? kIOMessageSystemWillSleep : kIOMessageSystemHasPoweredOn);
        return 0;
    }

    static int OnPrepareForShutdown(sd_bus_message* message, void* self, sd_bus_error*) {
        auto* source = static_cast<LogindPowerSource*>(self);
        bool starting = false;
        if (!source->ReadAnnouncement(message, &starting))
            return 0;
        if (starting) {
            source->Deliver(kIOMessageSystemWillPowerOff);
        } else if (source->mShutdownLock < 0) {
            std::string ignored; // the shutdown was called off
            (void)source->TakeLock("shutdown", &source->mShutdownLock, &ignored);
        }
        return 0;
    }

    sd_bus* mBus = nullptr;
    std::string mLogindOwner;
    // Plain descriptors, so that Deregister can run in a signal handler.
    int mSleepLock = -1;
    int mShutdownLock = -1;
    volatile bool mRegistered = false;
    std::function<void(natural_t, intptr_t)> mDeliver;
    intptr_t mLastId = 0;
    intptr_t mPendingId = 0;
    natural_t mPendingType = 0;
};

LogindPowerSource gLogindSource;
QorPowerSource* gSource = &gLogindSource;

// The registration this process holds: its callback and what it was given.
struct Registration {
    IOServiceInterestCallback callback = nullptr;
    void* refCon = nullptr;
};
Registration gRegistration;
std::string gLastError;

constexpr io_connect_t kConnection = 1;
constexpr io_object_t kNotifier = 1;

} // namespace

struct QorPowerPort {};

namespace {
QorPowerPort gPort;
} // namespace

QorPowerSource& QorCurrentPowerSource() {
    return *gSource;
}

void QorInstallPowerSource(QorPowerSource* source) {
    gSource = source ? source : &gLogindSource;
}

io_connect_t IORegisterForSystemPower(void* refCon, IONotificationPortRef* thePortRef,
                                      IOServiceInterestCallback callback, io_object_t* notifier) {
    if (!callback)
        return 0;
    std::string reason;
    if (!QorCurrentPowerSource().Register(&reason)) {
        gLastError = reason;
        return 0;
    }
    gRegistration.callback = callback;
    gRegistration.refCon = refCon;
    if (thePortRef)
        *thePortRef = &gPort;
    if (notifier)
        *notifier = kNotifier;
    return kConnection;
}

IOReturn IOAllowPowerChange(io_connect_t kernelPort, intptr_t notificationID) {
    if (kernelPort != kConnection)
        return kIOReturnNotOpen;
    return QorCurrentPowerSource().Allow(notificationID);
}

IOReturn IODeregisterForSystemPower(io_object_t* notifier) {
    if (!notifier || *notifier == 0)
        return kIOReturnNotOpen;
    QorCurrentPowerSource().Deregister();
    *notifier = 0;
    return kIOReturnSuccess;
}

int QorRunPowerLoop(IONotificationPortRef port) {
    if (port != &gPort || !gRegistration.callback) {
        gLastError = "not registered for power messages";
        return -ENOTCONN;
    }
    const Registration registration = gRegistration;
    std::string reason;
    int result = QorCurrentPowerSource().Run(
        [registration](natural_t type, intptr_t id) {
            registration.callback(registration.refCon, kConnection, type, id);
        },
        &reason);
    gLastError = reason;
    return result;
}

void QorPowerForgetInChild() {
    QorCurrentPowerSource().ForgetInChild();
}

std::string QorPowerLastError() {
    return gLastError;
}
