// Finding the target's event port, building the event from the descriptor and sending it.

#include "ZMachOAppleEventLauncher.h"

#include "Clock.h"
#include "FileRefsAlias.h"
#include "FourCharCode.h"
#include "SysVersion.h"
#include "SystemLog.h"
#include "ZMachOAppleEventDescriptor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <syslog.h>
#include <vector>

namespace {

constexpr DescType kTypePath = QorCode("path");
constexpr DescType kTypeExecArgs = QorCode("exAG");
constexpr AEKeyword kKeyPathText = QorCode("pthK");

// Events that only bring the program up: nothing to build or send.
bool IsOpenOnlyEvent(uint32_t event) {
    return event == QorCode("oapp") || event == QorCode("none") || event == QorCode("    ");
}

bool IsMarker(const char* param) {
    return strncmp(param, "kydo", 4) == 0;
}

// A parameter's type or keyword. The argument form is checked before it gets here, but the
// text form of a pending launch is not: anything but four characters is refused.
bool CodeOf(const char* text, uint32_t* code) {
    if (!ZMachOAppleEventDescriptor::Is4ByteCode(text))
        return false;
    *code = QorCodeFromBytes(text);
    return true;
}

// atoi's conversion with a defined result out of range: strtol's, cut to 32 bits.
int32_t NumberOf(const char* text) {
    return int32_t(strtol(text, nullptr, 10));
}

// Disposes of a descriptor when it goes out of scope.
class ScopedDesc {
public:
    ScopedDesc() { AEInitializeDesc(&mDesc); }
    ~ScopedDesc() { (void)AEDisposeDesc(&mDesc); }
    ScopedDesc(const ScopedDesc&) = delete;
    ScopedDesc& operator=(const ScopedDesc&) = delete;
    AEDesc* get() { return &mDesc; }

private:
    AEDesc mDesc;
};

} // namespace

mach_port_t ZMachOAppleEventLauncher::GetMachPortForPID(pid_t pid, OSStatus* outErr) {
    OSStatus status = kQorLaunchPortNotRegistered;
    mach_port_t port = MACH_PORT_NULL;
    task_t task = MACH_PORT_NULL;
    mach_port_t bootstrap = MACH_PORT_NULL;
    if (task_for_pid(mach_task_self(), pid, &task) != KERN_SUCCESS) {
        status = kQorLaunchNoTaskAccess;
    } else if (task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap) != KERN_SUCCESS) {
        status = kQorLaunchNoBootstrapPort;
    } else {
        char magic[kQorMagicNameSize];
        GetMagicName(magic);
        char name[kQorMagicNameSize + 16];
        snprintf(name, sizeof name, "%s%u", magic, unsigned(pid));
        // A program just started registers its port a moment later. Each wait lasts a second
        // at most and ends as soon as the port is registered.
        for (int lookUp = 0; lookUp < kPortLookUps; ++lookUp) {
            if (bootstrap_look_up(bootstrap, name, &port) == KERN_SUCCESS && port != 0) {
                status = 0;
                break;
            }
            port = MACH_PORT_NULL;
            (void)QorWaitForPortRegistration(bootstrap, name, 1);
        }
    }
    if (outErr != nullptr)
        *outErr = status;
    return port;
}

OSStatus ZMachOAppleEventLauncher::ParseDescriptorFromStrings(const char* type, const char* data,
                                                              AEDesc* out) {
    uint32_t typeCode;
    if (type == nullptr || data == nullptr || out == nullptr || !CodeOf(type, &typeCode))
        return paramErr;
    switch (typeCode) {
    case kTypePath: {
        FSRef ref;
        OSStatus status = FSPathMakeRef(data, &ref);
        if (status != 0)
            return status;
        std::vector<uint8_t> alias;
        status = FSNewAlias(nullptr, &ref, &alias);
        if (status != 0)
            return status;
        return AECreateDesc(typeAlias, alias.data(), long(alias.size()), out);
    }
    case typeSInt16: {
        int16_t value = int16_t(NumberOf(data));
        return AECreateDesc(typeSInt16, &value, sizeof value, out);
    }
    case typeSInt32:
    case typeMagnitude: {
        int32_t value = NumberOf(data);
        return AECreateDesc(typeCode, &value, sizeof value, out);
    }
    default:
        return AECreateDesc(typeCode, data, long(strlen(data)), out);
    }
}

OSStatus ZMachOAppleEventLauncher::BuildEvent(pid_t pid) {
    OSStatus status = 0;
    if (!mIsInit)
        status = InitForLaunch();
    if (status == 0 && mTaskDesc != nullptr && IsOpenOnlyEvent(mTaskDesc->mEvent)) {
        mEventBuilt = true;
        return 0;
    }
    if (status != 0)
        return status;
    if (mTaskDesc == nullptr)
        return -1;

    // The target: an application by its creator code, a process by its event port.
    ScopedDesc target;
    if (pid == 0 && (mAppType == kIsCFMApplication || mAppType == kIsOSXBundle)) {
        uint32_t creator = mTaskDesc->mCreator;
        status = AECreateDesc(typeApplSignature, &creator, 4, target.get());
    } else if (pid == 0 && mAppType != kIsMachoBinary) {
        status = -1;
    } else {
        if (mAEPort == 0) {
            pid_t process = pid != 0 ? pid : GetPIDForName(ExecPath());
            if (process <= 0)
                status = kQorLaunchNoProcess;
            else
                mAEPort = GetMachPortForPID(process, &status);
        }
        if (status == 0)
            status = AECreateDesc(typeMachPort, &mAEPort, 4, target.get());
    }
    if (status != 0)
        return status;

    // A second build replaces the first event.
    (void)AEDisposeDesc(&mAppleEvent);
    mEventBuilt = false;
    status = AECreateAppleEvent(mTaskDesc->mClass, mTaskDesc->mEvent, target.get(),
                                kAutoGenerateReturnID, kAnyTransactionID, &mAppleEvent);
    if (status != 0)
        return status;

    char** params = mTaskDesc->mEventParams;
    const int32_t count = params != nullptr ? mTaskDesc->mNumEventParams : 0;
    int32_t i = 0;
    bool marker = false;
    if (count > 0) {
        // (type, data) pairs: the direct-object list.
        ScopedDesc list;
        status = AECreateList(nullptr, 0, false, list.get());
        long values = 0;
        while (status == 0 && i < count) {
            if (IsMarker(params[i])) {
                marker = true;
                ++i;
                break;
            }
            uint32_t type;
            if (i + 1 >= count || !CodeOf(params[i], &type)) {
                status = paramErr; // a type without data, or no type at all
                break;
            }
            const char* typeText = params[i];
            const char* data = params[i + 1];
            i += 2;
            if (type == kTypeExecArgs)
                continue; // the program's arguments, not the event's
            ScopedDesc value;
            status = ParseDescriptorFromStrings(typeText, data, value.get());
            if (status == 0) {
                status = AEPutDesc(list.get(), 0, value.get());
                if (status == 0)
                    ++values;
            }
            // The path's text goes along even when no alias could be made of it (the file
            // may be gone): the program then still learns what was meant.
            if (type == kTypePath)
                status = AEPutParamPtr(&mAppleEvent, kKeyPathText, kTypePath, data,
                                       long(strlen(data) + 1));
        }
        if (values > 0 && status == 0)
            status = AEPutParamDesc(&mAppleEvent, keyDirectObject, list.get());
    }

    // (keyword, type, data) triples after the marker.
    while (marker && status == 0 && i < count) {
        if (IsMarker(params[i])) {
            ++i; // a repeated marker, as the argument check lets it pass
            continue;
        }
        uint32_t keyword, type;
        if (i + 2 >= count || !CodeOf(params[i], &keyword) || !CodeOf(params[i + 1], &type)) {
            status = paramErr;
            break;
        }
        ScopedDesc value;
        status = ParseDescriptorFromStrings(params[i + 1], params[i + 2], value.get());
        if (status == 0)
            status = AEPutParamDesc(&mAppleEvent, keyword, value.get());
        i += 3;
    }

    if (status == 0)
        mEventBuilt = true;
    return status;
}

OSStatus ZMachOAppleEventLauncher::DoEvent() {
    if (!mEventBuilt || !mAppIsLaunched || mTaskDesc == nullptr)
        return -1;
    if (IsOpenOnlyEvent(mTaskDesc->mEvent))
        return 0;
    char creator[5];
    QorCodeToChars(mTaskDesc->mCreator, creator);
    for (int attempt = 0; attempt < kSendTries; ++attempt) {
        OSStatus result = AESendMessage(&mAppleEvent, nullptr, kAENoReply, 0);
        if (mLogIsOpen)
            QorSyslog(LOG_INFO, "Try #%d, for %.4s, result = %d\n", attempt, creator, int(result));
        if (result != procNotFound)
            return result;
        QorSleep(kSendRetrySeconds);
    }
    return procNotFound;
}
