#pragma once

#include "AppType.h"
#include "AppleEvents.h"
#include "FileRefs.h"
#include "MachPorts.h"

#include <cstdint>
#include <sys/types.h>

class ZMachOAppleEventDescriptor;

/// Statuses of the launcher besides 0 (success), -1 (failure) and the platform's own.
constexpr OSStatus kQorLaunchNothingToLocate = 1000;   ///< empty path and creator code 0
constexpr OSStatus kQorLaunchAlreadyRunning = 1002;    ///< already runs, or is being launched
constexpr OSStatus kQorLaunchNoTaskAccess = 1003;      ///< the target process is out of reach
constexpr OSStatus kQorLaunchNoBootstrapPort = 1004;   ///< its user's port folder is unusable
constexpr OSStatus kQorLaunchPortNotRegistered = 1005; ///< no event port within the look-ups
constexpr OSStatus kQorLaunchNoProcess = 1006;         ///< a plain executable that does not run

/// Turns one launch descriptor into a running program and a delivered event: locates the
/// target by path or creator code, classifies it, tells whether it runs, starts it when needed,
/// finds its event port, builds the event from the descriptor and sends it without waiting for
/// a reply, retrying while the target is not yet reachable.
///
/// Made for one descriptor and used once, in this order: IsLaunchable, IsLaunched,
/// LaunchTheApp (or LaunchTheAppAsNewInstance), BuildEvent, DoEvent, Logit. Every step answers
/// with a status; the callers chain them. The waits (port look-up, delivery) go through the
/// clock service, so tests run them on a fake clock.
class ZMachOAppleEventLauncher {
public:
    /// The port look-up: tries, one second apart.
    static constexpr int kPortLookUps = 30;
    /// The delivery: tries, two seconds apart while the target cannot be reached.
    static constexpr int kSendTries = 15;
    static constexpr unsigned kSendRetrySeconds = 2;
    /// The process-wide arguments of a started plain executable: its path, at most nine
    /// arguments and a null; their text holds at most 80 characters.
    static constexpr int kMaxExecArgs = 9;
    static constexpr int kExecArgsTextMax = 80;

    /// No descriptor; nothing located.
    ZMachOAppleEventLauncher();
    /// A plain descriptor taken over from a launcher argument vector (see InitWithArgs).
    ZMachOAppleEventLauncher(int argc, char** argv);
    /// Closes the log when open, deletes the descriptor and the event.
    virtual ~ZMachOAppleEventLauncher();

    ZMachOAppleEventLauncher(const ZMachOAppleEventLauncher&) = delete;
    ZMachOAppleEventLauncher& operator=(const ZMachOAppleEventLauncher&) = delete;

    /// Makes the descriptor when there is none (MakeTaskDesc without event data buffer), takes
    /// the argument vector over (element 1 = task ID, as the descriptor wants it; argv must
    /// outlive the launcher) and forgets everything located, launched or built. Always 0.
    virtual OSStatus InitWithArgs(int argc, char** argv);

    /// Locates the target (by path, else by creator code) and classifies it. 0 when located
    /// (mIsInit only when the kind is known), kQorLaunchNothingToLocate for an empty path and
    /// creator 0, or the look-up's status.
    virtual OSStatus InitForLaunch();

    /// Builds the event: addressed by creator code to an application or bundle when pid is 0,
    /// otherwise by event port (of pid, or of the plain executable found running). Parameters:
    /// (type, data) pairs into the direct-object list ("path" as an alias, plus its text under
    /// "pthK"; "exAG" left for the program's arguments), then (keyword, type, data) triples
    /// after a "kydo" marker. The events "oapp", "none" and "    " need nothing built: 0.
    virtual OSStatus BuildEvent(pid_t pid = 0);

    /// LaunchTheApp(kLSLaunchDefaults).
    virtual OSStatus LaunchTheApp();

    /// Starts a further instance (a bundle's executable, or the executable with its "exAG"
    /// arguments) whether one runs or not; its process ID goes to outPid (may be null).
    /// 0, or -1 when there is nothing to start or it could not be started.
    virtual OSStatus LaunchTheAppAsNewInstance(pid_t* outPid);

    /// Sends the built event, up to kSendTries times while the target cannot be reached
    /// (procNotFound), logging every try when the log is open. -1 before BuildEvent or before
    /// the target is known to run.
    virtual OSStatus DoEvent();

    /// True when the target is located and of one of the kinds in mask.
    virtual bool IsLaunchable(uint32_t mask);

    /// True when the target is known to run: launched here, or a plain executable found
    /// running by name. A bundle or application is never looked for.
    virtual bool IsLaunched();

    /// Opens the system log under the identity progName (option LOG_PID, facility LOG_USER).
    /// Always 0.
    virtual OSStatus OpenLogFile(const char* progName);
    /// Logs the launch result line when the log is open.
    virtual void Logit(long result);
    /// Logs one line of text when the log is open.
    virtual void Logit(const char* text);
    virtual void CloseLogFile();

    /// A new descriptor with the given buffers (see ZMachOAppleEventDescriptor's constructor).
    virtual ZMachOAppleEventDescriptor* MakeTaskDesc(char* inExecPathBuf, int inExecPathBufSize,
                                                     char* inEventDataBuf, int inEventDataBufSize);
    virtual ZMachOAppleEventDescriptor* GetTaskDescriptor();

    /// The kind of the located target.
    AppType FindApplicationType();

    /// Starts the plain executable detached, without a shell, with its "exAG" arguments and
    /// the install roots exported, as the calling user alone. 0 once its image is loaded,
    /// kQorLaunchAlreadyRunning when it runs already (nothing started), -1 on failure.
    OSStatus ExecBinaryFile();

    /// Starts the target: a plain executable by ExecBinaryFile, anything else through Launch
    /// Services with the given flags (kLSLaunchNewInstance: LaunchTheAppAsNewInstance).
    /// kQorLaunchAlreadyRunning while a launch of it is in progress.
    OSStatus LaunchTheApp(unsigned long flags);

    /// One event value from its type and data text: "path" an alias of the file, "shor" a
    /// 16-bit, "long" and "magn" 32-bit numbers (read like atoi), any other type the text's
    /// bytes. The caller disposes of out.
    OSStatus ParseDescriptorFromStrings(const char* type, const char* data, AEDesc* out);

    /// The data of the first "exAG" pair before any "kydo" marker, copied into the
    /// process-wide execArgsBuffer; null when there is none.
    char* GetExecArgs();

    /// The process-wide argument vector of a plain executable: arg0, then the words of the
    /// "exAG" text (a backslash before a blank joins two words with a blank), at most nine,
    /// and a null. Filled once per launcher; null when there is no "exAG" pair.
    char** FillExecArgsArray(const char* arg0);

    /// The running process of the program at path (matched by its exact name, a process of
    /// the calling user first), or -1.
    static pid_t GetPIDForName(const char* path);

    /// The event port of process pid, looked up kPortLookUps times one second apart; 0 when
    /// there is none, with the status (kQorLaunchNoTaskAccess, kQorLaunchNoBootstrapPort or
    /// kQorLaunchPortNotRegistered) in outErr (may be null).
    static mach_port_t GetMachPortForPID(pid_t pid, OSStatus* outErr);

    ZMachOAppleEventDescriptor* mTaskDesc;
    AppleEvent mAppleEvent;
    mach_port_t mAEPort;
    FSRef mAppFSRef;
    bool mIsInit;
    bool mEventBuilt;
    bool mAppFSRefFound;
    bool mAppIsLaunched;
    AppType mAppType;
    int32_t logFd; // kept for layout only: logging goes to the system log
    bool mLogIsOpen;
    pid_t mChildPID;
    bool mIsInitted;
    bool mExecArgsAlreadyFilled;

    /// Shared by every launcher of the process: a second launcher that fills it replaces
    /// what the first left there.
    static char* execArgsArray[kMaxExecArgs + 2];
    static char execArgsBuffer[kExecArgsTextMax + 1];

private:
    // The descriptor's path, "" when there is no descriptor.
    const char* ExecPath() const;
    void ForgetLaunchState();
};
