#include "MachPorts.h"
#include "Clock.h"
#include "MachPortFolder.h"
#include "ProcessTable.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mach_port_t kSelfTask = 0x0103;
constexpr mach_port_t kFirstHandle = 0x1000;
// Handles are never given back; the look-up loops of a launch ask for the same few again, and
// equal entries share one handle, so the table stays small.
constexpr size_t kMaxHandles = 4096;

enum class Kind { kTask, kBootstrap, kPort };

struct Handle {
    Kind kind;
    uid_t uid;
    pid_t pid;
    std::string name;

    bool operator==(const Handle&) const = default;
};

std::vector<Handle> gHandles;

mach_port_t HandleFor(const Handle& handle) {
    for (size_t i = 0; i < gHandles.size(); ++i)
        if (gHandles[i] == handle)
            return kFirstHandle + mach_port_t(i);
    if (gHandles.size() >= kMaxHandles)
        return MACH_PORT_NULL;
    gHandles.push_back(handle);
    return kFirstHandle + mach_port_t(gHandles.size() - 1);
}

const Handle* Lookup(mach_port_t port, Kind kind) {
    if (port < kFirstHandle || port - kFirstHandle >= gHandles.size())
        return nullptr;
    const Handle& handle = gHandles[port - kFirstHandle];
    return handle.kind == kind ? &handle : nullptr;
}

class RealPortService : public QorPortService {
public:
    kern_return_t TaskForPid(mach_port_t, int pid, task_t* task) override {
        if (!task || pid <= 0)
            return KERN_INVALID_ARGUMENT;
        *task = MACH_PORT_NULL;
        QorProcessInfo info;
        if (!QorReadProcessInfo(pid, &info))
            return KERN_FAILURE;
        uid_t caller = geteuid();
        if (caller != 0 && info.uid != caller)
            return KERN_FAILURE;
        *task = HandleFor({Kind::kTask, info.uid, pid, {}});
        return *task ? KERN_SUCCESS : KERN_FAILURE;
    }

    kern_return_t TaskGetSpecialPort(task_t task, int whichPort,
                                     mach_port_t* specialPort) override {
        if (!specialPort || whichPort != TASK_BOOTSTRAP_PORT)
            return KERN_INVALID_ARGUMENT;
        *specialPort = MACH_PORT_NULL;
        uid_t uid;
        if (task == kSelfTask) {
            uid = geteuid();
        } else if (const Handle* handle = Lookup(task, Kind::kTask)) {
            uid = handle->uid;
        } else {
            return KERN_INVALID_ARGUMENT;
        }
        if (QorCheckPortFolder(uid) == QorPortFolderState::kUnsafe)
            return KERN_FAILURE;
        *specialPort = HandleFor({Kind::kBootstrap, uid, 0, {}});
        return *specialPort ? KERN_SUCCESS : KERN_FAILURE;
    }

    kern_return_t BootstrapLookUp(mach_port_t bootstrapPort, const char* serviceName,
                                  mach_port_t* servicePort) override {
        if (!servicePort || !serviceName)
            return KERN_INVALID_ARGUMENT;
        *servicePort = MACH_PORT_NULL;
        const Handle* bootstrap = Lookup(bootstrapPort, Kind::kBootstrap);
        if (!bootstrap || !QorIsValidPortName(serviceName))
            return KERN_INVALID_ARGUMENT;
        uid_t uid = bootstrap->uid;
        if (QorCheckPortFolder(uid) != QorPortFolderState::kReady)
            return BOOTSTRAP_UNKNOWN_SERVICE;
        struct stat st;
        if (lstat(QorPortPath(uid, serviceName).c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
            return BOOTSTRAP_UNKNOWN_SERVICE;
        *servicePort = HandleFor({Kind::kPort, uid, 0, serviceName});
        return *servicePort ? KERN_SUCCESS : KERN_FAILURE;
    }

    bool WaitForRegistration(mach_port_t bootstrapPort, const char* serviceName,
                             unsigned seconds) override {
        // On a test's clock the wait is that clock's to count.
        const Handle* bootstrap = Lookup(bootstrapPort, Kind::kBootstrap);
        if (!QorUsingRealClock() || !bootstrap || !serviceName ||
            !QorIsValidPortName(serviceName) ||
            QorCheckPortFolder(bootstrap->uid) != QorPortFolderState::kReady)
            return QorPortService::WaitForRegistration(bootstrapPort, serviceName, seconds);
        int watcher = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (watcher < 0)
            return QorPortService::WaitForRegistration(bootstrapPort, serviceName, seconds);
        bool registered = false;
        // A receiver links its socket into the folder under its name once it listens, so
        // the name's appearance means the port can be reached.
        if (inotify_add_watch(watcher, QorPortFolderPath(bootstrap->uid).c_str(),
                              IN_CREATE | IN_MOVED_TO | IN_ONLYDIR) < 0) {
            close(watcher);
            return QorPortService::WaitForRegistration(bootstrapPort, serviceName, seconds);
        }
        struct stat st;
        registered = lstat(QorPortPath(bootstrap->uid, serviceName).c_str(), &st) == 0;
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
        while (!registered) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd ready{watcher, POLLIN, 0};
            int n = poll(&ready, 1, int(left.count()));
            if (n < 0 && errno != EINTR)
                break;
            alignas(inotify_event) char events[4096];
            ssize_t got;
            while ((got = read(watcher, events, sizeof events)) > 0) {
                for (ssize_t at = 0; at < got;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                    if (event->len > 0 && strcmp(event->name, serviceName) == 0)
                        registered = true;
                    at += ssize_t(sizeof(inotify_event) + event->len);
                }
            }
        }
        close(watcher);
        return registered;
    }
};

RealPortService gRealPortService;
QorPortService* gPortService = &gRealPortService;

} // namespace

QorPortService& QorCurrentPortService() {
    return *gPortService;
}

void QorInstallPortService(QorPortService* service) {
    gPortService = service ? service : &gRealPortService;
}

mach_port_t mach_task_self() {
    return kSelfTask;
}

kern_return_t task_for_pid(mach_port_t targetTask, int pid, task_t* task) {
    return gPortService->TaskForPid(targetTask, pid, task);
}

kern_return_t task_get_special_port(task_t task, int whichPort, mach_port_t* specialPort) {
    return gPortService->TaskGetSpecialPort(task, whichPort, specialPort);
}

kern_return_t bootstrap_look_up(mach_port_t bootstrapPort, const char* serviceName,
                                mach_port_t* servicePort) {
    return gPortService->BootstrapLookUp(bootstrapPort, serviceName, servicePort);
}

bool QorPortService::WaitForRegistration(mach_port_t, const char*, unsigned seconds) {
    QorSleep(seconds);
    return false;
}

bool QorWaitForPortRegistration(mach_port_t bootstrapPort, const char* serviceName,
                                unsigned seconds) {
    return gPortService->WaitForRegistration(bootstrapPort, serviceName, seconds);
}

bool QorPortTarget(mach_port_t port, uid_t* uid, std::string* name) {
    const Handle* handle = Lookup(port, Kind::kPort);
    if (!handle)
        return false;
    if (uid)
        *uid = handle->uid;
    if (name)
        *name = handle->name;
    return true;
}

kern_return_t QorFakePortService::TaskForPid(mach_port_t, int pid, task_t* task) {
    mTaskPids.push_back(pid);
    if (task)
        *task = mTaskResult == KERN_SUCCESS ? mach_port_t(0x7000 + pid) : MACH_PORT_NULL;
    return mTaskResult;
}

kern_return_t QorFakePortService::TaskGetSpecialPort(task_t, int, mach_port_t* specialPort) {
    if (specialPort)
        *specialPort = mSpecialPortResult == KERN_SUCCESS ? 0x6000 : MACH_PORT_NULL;
    return mSpecialPortResult;
}

kern_return_t QorFakePortService::BootstrapLookUp(mach_port_t, const char* serviceName,
                                                  mach_port_t* servicePort) {
    mLookedUpNames.push_back(serviceName ? serviceName : "");
    bool found = mLookUpMisses == 0;
    if (mLookUpMisses > 0)
        --mLookUpMisses;
    if (servicePort)
        *servicePort = found ? Port() : MACH_PORT_NULL;
    return found ? KERN_SUCCESS : BOOTSTRAP_UNKNOWN_SERVICE;
}
