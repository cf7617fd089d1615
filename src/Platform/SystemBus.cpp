#include "SystemBus.h"

#include "InstallRoot.h"

#include <cerrno>
#include <systemd/sd-bus.h>

namespace {

constexpr uint64_t kMethodCallTimeoutMicroseconds = 5 * 1000 * 1000;

} // namespace

std::string QorSystemBusAddress() {
    return "unix:path=" + QorSystemPath("/run/dbus/system_bus_socket");
}

int QorSystemBusOpen(sd_bus** outBus) {
    if (!outBus)
        return -EINVAL;
    *outBus = nullptr;
    sd_bus* bus = nullptr;
    int result = sd_bus_new(&bus);
    if (result < 0)
        return result;
    std::string address = QorSystemBusAddress();
    if ((result = sd_bus_set_address(bus, address.c_str())) < 0 ||
        (result = sd_bus_set_bus_client(bus, 1)) < 0 || (result = sd_bus_set_trusted(bus, 0)) < 0 ||
        (result = sd_bus_set_method_call_timeout(bus, kMethodCallTimeoutMicroseconds)) < 0 ||
        (result = sd_bus_start(bus)) < 0) {
        sd_bus_unref(bus);
        return result;
    }
    *outBus = bus;
    return 0;
}
