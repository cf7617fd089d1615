#pragma once

// Helpers for the event, port and process tests: a temporary system root, events built in one
// call, and children that run as another user.

#include "AppleEvents.h"

#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace events_test {

/// A temporary folder made the install and system root for the object's lifetime, with a
/// world-writable sticky "tmp" in it like the real one.
class TempRoot {
public:
    TempRoot() {
        char pattern[] = "/tmp/qorsched-events-XXXXXX";
        mPath = mkdtemp(pattern);
        chmod(mPath.c_str(), 0755); // other users' children must get to their own port folder
        std::filesystem::create_directory(mPath + "/tmp");
        chmod((mPath + "/tmp").c_str(), 01777);
        Remember("QORSCHED_ROOT", &mOldRoot);
        Remember("QORSCHED_SYSTEM_ROOT", &mOldSystemRoot);
        setenv("QORSCHED_ROOT", mPath.c_str(), 1);
        unsetenv("QORSCHED_SYSTEM_ROOT");
    }
    ~TempRoot() {
        Restore("QORSCHED_ROOT", mOldRoot);
        Restore("QORSCHED_SYSTEM_ROOT", mOldSystemRoot);
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::string& Path() const { return mPath; }

private:
    static void Remember(const char* name, std::optional<std::string>* old) {
        if (const char* value = getenv(name))
            *old = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& old) {
        if (old)
            setenv(name, old->c_str(), 1);
        else
            unsetenv(name);
    }

    std::string mPath;
    std::optional<std::string> mOldRoot, mOldSystemRoot;
};

/// Owns one descriptor.
class Desc {
public:
    Desc() { AEInitializeDesc(&mDesc); }
    ~Desc() { (void)AEDisposeDesc(&mDesc); }
    Desc(const Desc&) = delete;
    Desc& operator=(const Desc&) = delete;
    AEDesc* operator&() { return &mDesc; }
    const AEDesc& operator*() const { return mDesc; }

private:
    AEDesc mDesc;
};

/// An event addressed by creator code or port name (a 4-byte number in native order).
inline OSErr MakeEvent(AEEventClass eventClass, AEEventID eventID, DescType targetType,
                       uint32_t target, AppleEvent* event) {
    AEDesc address;
    OSErr status = AECreateDesc(targetType, &target, 4, &address);
    if (status)
        return status;
    status = AECreateAppleEvent(eventClass, eventID, &address, kAutoGenerateReturnID,
                                kAnyTransactionID, event);
    (void)AEDisposeDesc(&address);
    return status;
}

/// The uid of the unprivileged account tests run children as.
constexpr uid_t kNobody = 65534;

/// In a forked child: become nobody completely (groups too). False when that fails.
inline bool BecomeNobody() {
    return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
           setresuid(kNobody, kNobody, kNobody) == 0 && geteuid() == kNobody;
}

} // namespace events_test
