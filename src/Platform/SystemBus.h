#pragma once

#include <string>

typedef struct sd_bus sd_bus;

// The system bus, where logind answers (console user, sleep and wake). It is always reached
// at its standard socket under the system root, never through DBUS_SYSTEM_BUS_ADDRESS or a
// session variable: programs started by cron or systemd carry no such variables, and tests
// put a private bus at that socket under their temporary root.

/// "unix:path=" + QorSystemPath("/run/dbus/system_bus_socket").
std::string QorSystemBusAddress();

/// Connects to the system bus (method calls time out after 5 seconds, so that a stuck bus
/// cannot hold a cron job). 0 and the connection (free it with sd_bus_flush_close_unref), or a
/// negative errno value.
int QorSystemBusOpen(sd_bus** outBus);
