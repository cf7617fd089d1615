#pragma once

// A private system bus under the test's root with a mock logind on it, so that programs the
// test starts find the test's own user at the console.

#include "SystemBus.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>
#include <vector>

namespace kicker_test {

/// A program started with argv and the environment plus extra entries; stopped (SIGTERM, then
/// waited for) with the object. With printsLine, its first line of output is kept.
class BackgroundProgram {
public:
    BackgroundProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraEnv, bool printsLine = false) {
        int out[2] = {-1, -1};
        if (printsLine && pipe2(out, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> args, envp;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        mPid = fork();
        if (mPid == 0) {
            int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, 0);
            dup2(printsLine ? out[1] : devNull, 1);
            dup2(devNull, 2);
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
        if (printsLine) {
            close(out[1]);
            char c;
            while (read(out[0], &c, 1) == 1 && c != '\n')
                mLine += c;
            close(out[0]);
        }
    }
    ~BackgroundProgram() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGTERM);
        int status;
        waitpid(mPid, &status, 0);
    }
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    const std::string& Line() const { return mLine; }

private:
    pid_t mPid = -1;
    std::string mLine;
};

/// A system bus at the standard socket under root, with logind's mock on it and a graphical
/// session of uid (named userName) active on seat0.
class MockLogind {
public:
    MockLogind(const std::string& root, uid_t uid, const std::string& userName) {
        if (access("/usr/bin/dbus-daemon", X_OK) != 0 ||
            access("/usr/lib/python3/dist-packages/dbusmock", F_OK) != 0)
            return;
        std::filesystem::create_directories(root + "/run/dbus");
        const std::string config = root + "/system-bus.conf";
        std::ofstream(config)
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << root
            << "/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>"
               "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
               "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
               "</policy></busconfig>\n";
        mBus = std::make_unique<BackgroundProgram>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork",
                                     "--nosyslog", "--print-address=1"},
            std::vector<std::string>{}, true);
        if (mBus->Line().empty())
            return;
        mLogind = std::make_unique<BackgroundProgram>(
            std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock", "--template", "logind"},
            std::vector<std::string>{"DBUS_SYSTEM_BUS_ADDRESS=" + QorSystemBusAddress()});
        sd_bus* bus = nullptr;
        if (QorSystemBusOpen(&bus) < 0)
            return;
        mReady = WaitForLogind(bus) &&
                 Call(bus, "/org/freedesktop/login1", "org.freedesktop.DBus.Mock", "AddSession",
                      "ssusb", "c1", "seat0", uint32_t(uid), userName.c_str(), 1) >= 0 &&
                 Call(bus, "/org/freedesktop/login1/session/c1", "org.freedesktop.DBus.Properties",
                      "Set", "ssv", "org.freedesktop.login1.Session", "Type", "s", "x11") >= 0;
        sd_bus_flush_close_unref(bus);
    }

    /// False when the bus, the mock or the session could not be had.
    bool Ready() const { return mReady; }

private:
    template <class... Args>
    static int Call(sd_bus* bus, const char* path, const char* interface, const char* method,
                    const char* types, Args... args) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        int result = sd_bus_call_method(bus, "org.freedesktop.login1", path, interface, method,
                                        &error, &reply, types, args...);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
        return result;
    }

    static bool WaitForLogind(sd_bus* bus) {
        for (int i = 0; i < 1000; ++i) {
            sd_bus_error error = SD_BUS_ERROR_NULL;
            sd_bus_message* reply = nullptr;
            int has = 0;
            if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s",
                                   "org.freedesktop.login1") >= 0)
                sd_bus_message_read(reply, "b", &has);
            sd_bus_message_unref(reply);
            sd_bus_error_free(&error);
            if (has)
                return true;
            usleep(10000);
        }
        return false;
    }

    std::unique_ptr<BackgroundProgram> mBus;
    std::unique_ptr<BackgroundProgram> mLogind;
    bool mReady = false;
};

} // namespace kicker_test
