#pragma once

#include "ScopedService.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// The task and bootstrap port operations the event sender uses to find a process's event port.
// Handles are process-local 32-bit numbers:
//  - a task stands for a process the caller may control (same effective uid, or the caller is
//    root), checked through /proc;
//  - a bootstrap port stands for that process's user's port folder (MachPortFolder.h);
//  - a port name stands for one socket in a port folder, found by bootstrap_look_up.
// Every use checks the folder again, so a folder that became unsafe is never reached.

using mach_port_t = uint32_t;
using task_t = mach_port_t;
using kern_return_t = int;

constexpr kern_return_t KERN_SUCCESS = 0;
constexpr kern_return_t KERN_INVALID_ARGUMENT = 4;
constexpr kern_return_t KERN_FAILURE = 5;
constexpr kern_return_t BOOTSTRAP_UNKNOWN_SERVICE = 1102;
constexpr mach_port_t MACH_PORT_NULL = 0;
constexpr int TASK_BOOTSTRAP_PORT = 4;

/// The port operations as a replaceable service.
class QorPortService {
public:
    virtual ~QorPortService() = default;
    virtual kern_return_t TaskForPid(mach_port_t targetTask, int pid, task_t* task) = 0;
    virtual kern_return_t TaskGetSpecialPort(task_t task, int whichPort,
                                             mach_port_t* specialPort) = 0;
    virtual kern_return_t BootstrapLookUp(mach_port_t bootstrapPort, const char* serviceName,
                                          mach_port_t* servicePort) = 0;
    /// Waits up to seconds for serviceName to be registered in the bootstrap port's folder;
    /// true when it was (the wait then ends early). The plain form sleeps the whole time on
    /// the platform clock.
    virtual bool WaitForRegistration(mach_port_t bootstrapPort, const char* serviceName,
                                     unsigned seconds);
};

QorPortService& QorCurrentPortService();
/// nullptr puts the real service back.
void QorInstallPortService(QorPortService* service);
using QorScopedPortService =
    QorScopedService<QorPortService, QorCurrentPortService, QorInstallPortService>;

/// The calling process's own task.
mach_port_t mach_task_self();

/// A task for pid when the caller may control it: KERN_SUCCESS only when the process exists and
/// runs as the caller's effective uid, or the caller is root.
kern_return_t task_for_pid(mach_port_t targetTask, int pid, task_t* task);

/// The bootstrap port (whichPort TASK_BOOTSTRAP_PORT) of a task: its user's port folder.
/// KERN_FAILURE when that folder exists but is unsafe; a folder not made yet is fine, the
/// look-ups in it simply miss until its owner registers a port.
kern_return_t task_get_special_port(task_t task, int whichPort, mach_port_t* specialPort);

/// The port registered under serviceName in the bootstrap port's folder;
/// BOOTSTRAP_UNKNOWN_SERVICE while there is none (or the folder is missing or unsafe).
kern_return_t bootstrap_look_up(mach_port_t bootstrapPort, const char* serviceName,
                                mach_port_t* servicePort);

/// The wait between two look-ups of a port that is not registered yet: at most seconds, ended
/// as soon as serviceName appears in the bootstrap port's folder (a program just started
/// registers its port a few milliseconds after it runs). True when it appeared.
bool QorWaitForPortRegistration(mach_port_t bootstrapPort, const char* serviceName,
                                unsigned seconds);

/// What a port name from the real bootstrap_look_up stands for: the folder's uid and the name
/// in it. False for a name this process was never given.
bool QorPortTarget(mach_port_t port, uid_t* uid, std::string* name);

/// Port operations for tests: task_for_pid and task_get_special_port give the results set;
/// bootstrap_look_up misses a set number of times (or always) and then gives Port().
class QorFakePortService : public QorPortService {
public:
    kern_return_t TaskForPid(mach_port_t targetTask, int pid, task_t* task) override;
    kern_return_t TaskGetSpecialPort(task_t task, int whichPort, mach_port_t* specialPort) override;
    kern_return_t BootstrapLookUp(mach_port_t bootstrapPort, const char* serviceName,
                                  mach_port_t* servicePort) override;

    void SetTaskResult(kern_return_t result) { mTaskResult = result; }
    void SetSpecialPortResult(kern_return_t result) { mSpecialPortResult = result; }
    /// Misses before the look-up succeeds; -1 = it never does.
    void SetLookUpMisses(int misses) { mLookUpMisses = misses; }
    mach_port_t Port() const { return 0x5151; }

    const std::vector<int>& TaskPids() const { return mTaskPids; }
    const std::vector<std::string>& LookedUpNames() const { return mLookedUpNames; }

private:
    kern_return_t mTaskResult = KERN_SUCCESS;
    kern_return_t mSpecialPortResult = KERN_SUCCESS;
    int mLookUpMisses = 0;
    std::vector<int> mTaskPids;
    std::vector<std::string> mLookedUpNames;
};
