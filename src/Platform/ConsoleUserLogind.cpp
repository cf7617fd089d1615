#include "ConsoleUser.h"
#include "SystemBus.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <systemd/sd-bus.h>

namespace {

const char* const kLogind = "org.freedesktop.login1";
const char* const kSeatInterface = "org.freedesktop.login1.Seat";
const char* const kSessionInterface = "org.freedesktop.login1.Session";
const char* const kSeat0 = "/org/freedesktop/login1/seat/seat0";
constexpr size_t kMaxUserName = 255;

struct BusDeleter {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageDeleter {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Bus = std::unique_ptr<sd_bus, BusDeleter>;
using Message = std::unique_ptr<sd_bus_message, MessageDeleter>;

// What the session's properties say; the fields stay at their defaults when absent.
struct SessionProperties {
    std::string id, name, type, sessionClass, display;
    uint32_t uid = uint32_t(-1);
    uint32_t leader = 0;
    bool active = false;
};

// A user name from the bus is used to compare with account names and is logged: only printable
// bytes, none of the account database's separators.
bool IsSoundUserName(const std::string& name) {
    if (name.empty() || name.size() > kMaxUserName || name[0] == '-')
        return false;
    for (unsigned char c : name)
        if (c <= 0x20 || c == 0x7f || c == '/' || c == ':')
            return false;
    return true;
}

int ReadString(sd_bus_message* message, std::string* out) {
    const char* text = nullptr;
    int result = sd_bus_message_read(message, "s", &text);
    if (result >= 0)
        *out = text ? text : "";
    return result;
}

// One entry of the a{sv} that GetAll returns; unknown keys and unexpected types are skipped.
int ReadProperty(sd_bus_message* reply, SessionProperties* out) {
    const char* key = nullptr;
    int result = sd_bus_message_read(reply, "s", &key);
    if (result < 0)
        return result;
    const char* contents = nullptr;
    if ((result = sd_bus_message_peek_type(reply, nullptr, &contents)) < 0)
        return result;
    std::string name = key ? key : "";
    std::string signature = contents ? contents : "";
    if ((result = sd_bus_message_enter_container(reply, 'v', contents)) < 0)
        return result;
    if (signature == "s" && (name == "Id" || name == "Name" || name == "Type" || name == "Class" ||
                             name == "Display")) {
        std::string* target = name == "Id"      ? &out->id
                              : name == "Name"  ? &out->name
                              : name == "Type"  ? &out->type
                              : name == "Class" ? &out->sessionClass
                                                : &out->display;
        result = ReadString(reply, target);
    } else if (signature == "b" && name == "Active") {
        int active = 0;
        result = sd_bus_message_read(reply, "b", &active);
        out->active = active != 0;
    } else if (signature == "u" && name == "Leader") {
        result = sd_bus_message_read(reply, "u", &out->leader);
    } else if (signature == "(uo)" && name == "User") {
        const char* path = nullptr;
        result = sd_bus_message_read(reply, "(uo)", &out->uid, &path);
    } else {
        result = sd_bus_message_skip(reply, contents);
    }
    if (result < 0)
        return result;
    return sd_bus_message_exit_container(reply);
}

int ReadSessionProperties(sd_bus* bus, const char* sessionPath, SessionProperties* out) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* rawReply = nullptr;
    int result = sd_bus_call_method(bus, kLogind, sessionPath, "org.freedesktop.DBus.Properties",
                                    "GetAll", &error, &rawReply, "s", kSessionInterface);
    sd_bus_error_free(&error);
    if (result < 0)
        return result;
    Message reply(rawReply);
    if ((result = sd_bus_message_enter_container(reply.get(), 'a', "{sv}")) < 0)
        return result;
    while ((result = sd_bus_message_enter_container(reply.get(), 'e', "sv")) > 0) {
        if ((result = ReadProperty(reply.get(), out)) < 0 ||
            (result = sd_bus_message_exit_container(reply.get())) < 0)
            return result;
    }
    if (result < 0)
        return result;
    return sd_bus_message_exit_container(reply.get());
}

bool IsGraphical(const SessionProperties& session) {
    return session.active && session.sessionClass == "user" &&
           (session.type == "x11" || session.type == "wayland" || session.type == "mir");
}

} // namespace

int QorAskLogindForConsoleSession(QorConsoleSession* out) {
    sd_bus* rawBus = nullptr;
    int result = QorSystemBusOpen(&rawBus);
    if (result < 0)
        return result;
    Bus bus(rawBus);

    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* rawReply = nullptr;
    result = sd_bus_get_property(bus.get(), kLogind, kSeat0, kSeatInterface, "ActiveSession",
                                 &error, &rawReply, "(so)");
    bool noSeat = sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_OBJECT) ||
                  sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_INTERFACE) ||
                  sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_PROPERTY) ||
                  sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_METHOD);
    sd_bus_error_free(&error);
    if (result < 0)
        return noSeat ? 1 : result; // a logind without seat0 has nobody at the console
    Message reply(rawReply);
    const char* sessionId = nullptr;
    const char* sessionPath = nullptr;
    if ((result = sd_bus_message_read(reply.get(), "(so)", &sessionId, &sessionPath)) < 0)
        return result;
    if (!sessionId || !*sessionId || !sessionPath || strcmp(sessionPath, "/") == 0)
        return 1;

    SessionProperties session;
    if ((result = ReadSessionProperties(bus.get(), sessionPath, &session)) < 0)
        return result;
    if (!IsGraphical(session) || !IsSoundUserName(session.name) || session.uid == uint32_t(-1))
        return 1;
    if (out) {
        out->userName = session.name;
        out->uid = uid_t(session.uid);
        out->sessionId = session.id.empty() ? sessionId : session.id;
        out->type = session.type;
        out->display = session.display;
        out->leader = pid_t(session.leader);
    }
    return 0;
}
