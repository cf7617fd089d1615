#pragma once

#include "ZSharedObject.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

class ZQorScheduledTask;
class ZQorScheduledTaskDescriptor;

/// The argument vector that runs the launcher command for one task, exactly as the task's
/// crontab line would run it:
///
///     launcher path, [-options], ID, executable path, creator, event ID, class, params..., null
///
/// Element 0 is the launcher's path under the install root, to be executed with the whole
/// vector as its arguments. The strings point into this object and its descriptor, which must
/// outlive the vector's use.
///
/// Reference-counted: count 1 at creation; holds one reference to its descriptor.
class ZQorScheduledTaskExec : public ZSharedObject {
public:
    /// Most option letters kept.
    static constexpr size_t kMaxOptionLetters = 6;

    /// desc may be null (nothing can then be built); pid is kept and not used otherwise.
    ZQorScheduledTaskExec(ZQorScheduledTaskDescriptor* desc, int pid);
    ~ZQorScheduledTaskExec() override;

    /// The launcher options as one argument: "-" and at most six letters of options. Null or
    /// empty options change nothing.
    void SetTaskKickerOptions(const char* options);

    /// The entries CreateExecArgs needs, the null included: 0 without a descriptor. Splits the
    /// descriptor's event data into parameters first (once).
    int GetNumExecArgs();

    /// Builds the vector once and returns its entries, the null included; 0 when there is no
    /// descriptor or no memory.
    int CreateExecArgs();

    int32_t mNumArgs;
    char** mExecArgs;
    ZQorScheduledTaskDescriptor* mTaskDesc;
    char mTaskKickerOptionsAsString[8];
    char mIDAsString[16];
    char mCreatorAsString[8];
    char mEventAsString[8];
    char mClassAsString[8];
    pid_t mPid;

private:
    // Element 0: the launcher's fixed path under the install root in force when built.
    std::string mLauncherPath;
};

/// The exec of task's launcher command: the task's descriptor and its launcher options (the
/// task's option field, at most three letters, need not end in a null). Count 1 at creation.
ZQorScheduledTaskExec* QorNewTaskExec(ZQorScheduledTask* task, int pid);
