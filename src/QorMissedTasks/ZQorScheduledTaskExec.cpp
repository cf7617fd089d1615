#include "ZQorScheduledTaskExec.h"

#include "FourCharCode.h"
#include "InstallRoot.h"
#include "ZQorScheduledTask.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <cstdio>
#include <cstring>
#include <new>

ZQorScheduledTaskExec::ZQorScheduledTaskExec(ZQorScheduledTaskDescriptor* desc, int pid)
    : mNumArgs(0), mExecArgs(nullptr), mTaskDesc(desc), mPid(pid) {
    mTaskKickerOptionsAsString[0] = '\0';
    mIDAsString[0] = '\0';
    mCreatorAsString[0] = '\0';
    mEventAsString[0] = '\0';
    mClassAsString[0] = '\0';
    if (mTaskDesc != nullptr)
        mTaskDesc->Attach();
}

ZQorScheduledTaskExec* QorNewTaskExec(ZQorScheduledTask* task, int pid) {
    auto* exec = new ZQorScheduledTaskExec(task->GetTaskDescriptor(), pid);
    char options[ZQorScheduledTask::kSchedArgsSize + 1] = {};
    memcpy(options, task->GetSchedArgsPtr(), ZQorScheduledTask::kSchedArgsSize);
    exec->SetTaskKickerOptions(options);
    return exec;
}

ZQorScheduledTaskExec::~ZQorScheduledTaskExec() {
    if (mTaskDesc != nullptr)
        mTaskDesc->Release();
    delete[] mExecArgs;
}

void ZQorScheduledTaskExec::SetTaskKickerOptions(const char* options) {
    // A lone "-" would reach the launcher command as its first positional argument.
    if (options == nullptr || options[0] == '\0')
        return;
    snprintf(mTaskKickerOptionsAsString, sizeof mTaskKickerOptionsAsString, "-%.*s",
             int(kMaxOptionLetters), options);
}

int ZQorScheduledTaskExec::GetNumExecArgs() {
    if (mTaskDesc == nullptr)
        return 0;
    (void)mTaskDesc->SplitEventDataToSeparateParams();
    return 7 + mTaskDesc->mNumEventParams + (mTaskKickerOptionsAsString[0] != '\0' ? 1 : 0);
}

int ZQorScheduledTaskExec::CreateExecArgs() {
    if (mExecArgs != nullptr)
        return mNumArgs;
    if (mTaskDesc == nullptr)
        return 0;
    const int size = GetNumExecArgs();
    mExecArgs = new (std::nothrow) char*[size_t(size)];
    if (mExecArgs == nullptr)
        return 0;

    mLauncherPath = QorPath(gLauncherPath);
    snprintf(mIDAsString, sizeof mIDAsString, "%ld", long(mTaskDesc->mID));
    QorCodeToChars(mTaskDesc->mCreator, mCreatorAsString);
    QorCodeToChars(mTaskDesc->mEvent, mEventAsString);
    QorCodeToChars(mTaskDesc->mClass, mClassAsString);

    mNumArgs = 0;
    mExecArgs[mNumArgs++] = mLauncherPath.data();
    if (mTaskKickerOptionsAsString[0] != '\0')
        mExecArgs[mNumArgs++] = mTaskKickerOptionsAsString;
    mExecArgs[mNumArgs++] = mIDAsString;
    mExecArgs[mNumArgs++] = mTaskDesc->mExecPath;
    mExecArgs[mNumArgs++] = mCreatorAsString;
    mExecArgs[mNumArgs++] = mEventAsString;
    mExecArgs[mNumArgs++] = mClassAsString;
    for (int32_t i = 0; i < mTaskDesc->mNumEventParams; ++i)
        mExecArgs[mNumArgs++] = mTaskDesc->mEventParams[i];
    mExecArgs[mNumArgs++] = nullptr;
    return mNumArgs;
}
