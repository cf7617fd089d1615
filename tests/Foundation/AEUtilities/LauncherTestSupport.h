#pragma once

// Helpers for the launcher tests: a temporary install root with small target files in it,
// the platform services the launcher waits on or talks to replaced by fakes, and a launcher
// made from a command line in one call.

#include "AppleEvents.h"
#include "Clock.h"
#include "DescriptorTestSupport.h"
#include "EventTransport.h"
#include "MachPorts.h"
#include "OwnedDesc.h"
#include "ProcessTable.h"
#include "PropertyList.h"
#include "ScopedEnv.h"
#include "SystemLog.h"
#include "TempRoot.h"
#include "TestFiles.h"
#include "WaitUntil.h"
#include "ZMachOAppleEventLauncher.h"

#include <string>
#include <unistd.h>
#include <vector>

namespace launcher_test {

using qor_test::ReadFile;
using qor_test::ScopedEnv;
using qor_test::TempRoot;
using qor_test::WriteFile;

/// Waits (about ten seconds at most) until path exists and ends in a line end.
inline bool WaitForLine(const std::string& path) {
    return qor_test::WaitUntil([&] {
        std::string content = ReadFile(path);
        return !content.empty() && content.back() == '\n';
    });
}

/// A bundle folder with its Info.plist and, when script is given, its executable as that
/// shell script.
inline void MakeBundle(const std::string& path, const std::string& executable,
                       const std::string& signature, const std::string& script = "") {
    QorPropertyList info;
    info.Set("CFBundleExecutable", QorPropertyList::String(executable));
    info.Set("CFBundleSignature", QorPropertyList::String(signature));
    WriteFile(path + "/Contents/Info.plist", info.ToXML());
    if (!script.empty())
        WriteFile(path + "/Contents/MacOS/" + executable, "#!/bin/sh\n" + script, 0755);
}

/// The first bytes of an ELF file; with appImage, the AppImage magic at offset 8.
inline std::string ElfHead(bool appImage = false) {
    std::string head("\x7f"
                     "ELF\x02\x01\x01\x00",
                     8);
    head += appImage ? std::string("AI\x02", 3) : std::string(3, '\0');
    return head + std::string(53, '\0');
}

/// The platform services the launcher waits on or talks to, replaced for the object's
/// lifetime: nothing sleeps, nothing is sent, no real process or port is looked at, and the
/// log is kept in memory.
struct FakeServices {
    QorFakeClock clock{1700000000};
    QorFakeEventTransport transport;
    QorFakePortService ports;
    QorFakeProcessTable processes;
    QorFakeSystemLog log;
    QorScopedClock useClock{&clock};
    QorScopedEventTransport useTransport{&transport};
    QorScopedPortService usePorts{&ports};
    QorScopedProcessTable useProcesses{&processes};
    QorScopedSystemLog useLog{&log};

    /// A running process of the calling user for the program at path.
    void AddProcess(const std::string& path, pid_t pid, uid_t uid = geteuid()) {
        QorProcessInfo info;
        info.pid = pid;
        info.uid = uid;
        std::string name = path.substr(path.rfind('/') + 1);
        info.commandName = name.substr(0, kQorCommandNameMax);
        info.exePath = path;
        processes.Add(info);
    }
};

/// A launcher made from the positional arguments of a launcher command line; it borrows the
/// argument vector, so both live here.
template <class Launcher = ZMachOAppleEventLauncher> class LauncherFor {
public:
    explicit LauncherFor(std::vector<std::string> positional)
        : mArgs(std::move(positional)), mLauncher(mArgs.argc(), mArgs.argv()) {}
    Launcher* operator->() { return &mLauncher; }
    Launcher& operator*() { return mLauncher; }

private:
    TestArgs mArgs;
    Launcher mLauncher;
};

using Desc = qor_test::OwnedDesc;

/// The bytes of a plain descriptor.
inline std::string DataOf(const AEDesc& desc) {
    std::string bytes(size_t(AEGetDescDataSize(&desc)), '\0');
    (void)AEGetDescData(&desc, bytes.data(), long(bytes.size()));
    return bytes;
}

/// The event's target: its type and its 4-byte number.
inline std::pair<DescType, uint32_t> TargetOf(const AppleEvent& event) {
    Desc address;
    uint32_t number = 0;
    if (AEGetAttributeDesc(&event, keyAddressAttr, typeWildCard, address.get()) == noErr)
        (void)AEGetDescData(address.get(), &number, 4);
    return {(*address).descriptorType, number};
}

} // namespace launcher_test
