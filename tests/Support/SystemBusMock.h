#pragma once

// A private system bus under the test's root and python3-dbusmock's logind template on it:
// the console user and the sleep and wake messages as the platform layer asks logind for them.

#include "BackgroundProgram.h"
#include "SystemBus.h"
#include "TestFiles.h"
#include "WaitUntil.h"

#include <filesystem>
#include <memory>
#include <string>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace qor_test {

/// Whether dbus-daemon and python3-dbusmock are installed.
inline bool HaveSystemBusMock() {
    return access("/usr/bin/dbus-daemon", X_OK) == 0 &&
           access("/usr/lib/python3/dist-packages/dbusmock", F_OK) == 0;
}

/// A system dbus-daemon listening at the standard socket under root, where the platform layer
/// looks for the system bus; stopped with the object.
class PrivateSystemBus {
public:
    explicit PrivateSystemBus(const std::string& root) {
        std::filesystem::create_directories(root + "/run/dbus");
        const std::string config = root + "/system-bus.conf";
        WriteFile(config,
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                  "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig><type>system</type><listen>unix:path=" +
                      root +
                      "/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>"
                      "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                      "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                      "</policy></busconfig>\n");
        mDaemon = std::make_unique<BackgroundProgram>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork",
                                     "--nosyslog", "--print-address=1"},
            std::vector<std::string>{}, true);
        // The address is printed once the bus listens.
        mReady = !mDaemon->ReadLine().empty();
    }

    /// False when the daemon could not be started.
    bool Ready() const { return mReady; }

private:
    std::unique_ptr<BackgroundProgram> mDaemon;
    bool mReady = false;
};

/// The mock logind on the system bus of the root in use, with a connection of the test's own
/// to drive it; stopped with the object.
class MockLogind {
public:
    MockLogind()
        : mMock({"/usr/bin/python3", "-m", "dbusmock", "--template", "logind"},
                {"DBUS_SYSTEM_BUS_ADDRESS=" + QorSystemBusAddress()}) {
        if (QorSystemBusOpen(&mClient) < 0)
            mClient = nullptr;
        // python3 takes its time to start on a busy machine.
        mReady = mClient && WaitUntil([this] { return OwnsItsName(); }, std::chrono::seconds(15));
    }
    ~MockLogind() {
        if (mClient)
            sd_bus_flush_close_unref(mClient);
    }
    MockLogind(const MockLogind&) = delete;
    MockLogind& operator=(const MockLogind&) = delete;

    /// False when the mock did not come up on the bus.
    bool Ready() const { return mReady; }
    /// The test's connection to the bus.
    sd_bus* Client() const { return mClient; }
    /// Ends the mock: logind is gone from the bus.
    void Stop() { mMock.Stop(); }

    /// Calls method of the mock's object at path; sd-bus's result (negative on failure).
    template <class... Args>
    int Call(const char* path, const char* interface, const char* method, const char* types,
             Args... args) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int result = sd_bus_call_method(mClient, "org.freedesktop.login1", path, interface, method,
                                        &error, &reply, types, args...);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        return result;
    }

    /// Adds session "c1" of uid (named userName) on seat0, active; of no type until set.
    bool AddSession(uid_t uid, const std::string& userName) {
        return Call("/org/freedesktop/login1", "org.freedesktop.DBus.Mock", "AddSession", "ssusb",
                    "c1", "seat0", uint32_t(uid), userName.c_str(), 1) >= 0;
    }

    /// Sets a property of session "c1": a string (type "s") or a boolean (type "b").
    template <class Value>
    bool SetSessionProperty(const char* name, const char* type, Value value) {
        return Call("/org/freedesktop/login1/session/c1", "org.freedesktop.DBus.Properties", "Set",
                    "ssv", "org.freedesktop.login1.Session", name, type, value) >= 0;
    }

private:
    bool OwnsItsName() {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int has = 0;
        if (sd_bus_call_method(mClient, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                               "org.freedesktop.login1") >= 0)
            sd_bus_message_read(reply, "b", &has);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        return has != 0;
    }

    BackgroundProgram mMock;
    sd_bus* mClient = nullptr;
    bool mReady = false;
};

/// A private system bus under root with the mock logind on it and a graphical (x11) session of
/// uid (named userName) active on seat0: the console user for the programs the test starts.
class ConsoleUserOnPrivateBus {
public:
    ConsoleUserOnPrivateBus(const std::string& root, uid_t uid, const std::string& userName) {
        if (!HaveSystemBusMock())
            return;
        mBus = std::make_unique<PrivateSystemBus>(root);
        if (!mBus->Ready())
            return;
        mLogind = std::make_unique<MockLogind>();
        mReady = mLogind->Ready() && mLogind->AddSession(uid, userName) &&
                 mLogind->SetSessionProperty("Type", "s", "x11");
    }

    /// False when the bus, the mock or the session could not be had.
    bool Ready() const { return mReady; }

private:
    std::unique_ptr<PrivateSystemBus> mBus;
    std::unique_ptr<MockLogind> mLogind;
    bool mReady = false;
};

} // namespace qor_test
