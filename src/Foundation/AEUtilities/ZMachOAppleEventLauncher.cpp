#include "ZMachOAppleEventLauncher.h"

#include "Bundles.h"
#include "LaunchServices.h"
#include "ProcessTable.h"
#include "ZMachOAppleEventDescriptor.h"

#include <cstring>
#include <sys/stat.h>

ZMachOAppleEventLauncher::ZMachOAppleEventLauncher() : mTaskDesc(nullptr), mIsInitted(false) {
    ForgetLaunchState();
    logFd = -1;
    mLogIsOpen = false;
}

ZMachOAppleEventLauncher::ZMachOAppleEventLauncher(int argc, char** argv)
    : ZMachOAppleEventLauncher() {
    mTaskDesc = new ZMachOAppleEventDescriptor(nullptr, 0, nullptr, -1);
    (void)InitWithArgs(argc, argv);
}

ZMachOAppleEventLauncher::~ZMachOAppleEventLauncher() {
    if (mLogIsOpen)
        CloseLogFile();
    delete mTaskDesc;
    (void)AEDisposeDesc(&mAppleEvent);
}

void ZMachOAppleEventLauncher::ForgetLaunchState() {
    AEInitializeDesc(&mAppleEvent);
    memset(&mAppFSRef, 0, sizeof mAppFSRef);
    mAEPort = 0;
    mIsInit = false;
    mEventBuilt = false;
    mAppFSRefFound = false;
    mAppIsLaunched = false;
    mAppType = kIsUndefined;
    mChildPID = 0;
    mExecArgsAlreadyFilled = false;
}

OSStatus ZMachOAppleEventLauncher::InitWithArgs(int argc, char** argv) {
    if (mTaskDesc == nullptr)
        mTaskDesc = MakeTaskDesc(nullptr, 0, nullptr, -1);
    if (mTaskDesc != nullptr)
        (void)mTaskDesc->InitFromArgs(argc, argv);
    mIsInitted = true;
    // An event built for an earlier target must not be sent to this one.
    (void)AEDisposeDesc(&mAppleEvent);
    if (mLogIsOpen)
        CloseLogFile();
    ForgetLaunchState();
    return 0;
}

ZMachOAppleEventDescriptor* ZMachOAppleEventLauncher::MakeTaskDesc(char* inExecPathBuf,
                                                                   int inExecPathBufSize,
                                                                   char* inEventDataBuf,
                                                                   int inEventDataBufSize) {
    return new ZMachOAppleEventDescriptor(inExecPathBuf, inExecPathBufSize, inEventDataBuf,
                                          inEventDataBufSize);
}

ZMachOAppleEventDescriptor* ZMachOAppleEventLauncher::GetTaskDescriptor() {
    return mTaskDesc;
}

const char* ZMachOAppleEventLauncher::ExecPath() const {
    return mTaskDesc != nullptr && mTaskDesc->mExecPath != nullptr ? mTaskDesc->mExecPath : "";
}

OSStatus ZMachOAppleEventLauncher::InitForLaunch() {
    OSStatus status = kQorLaunchNothingToLocate;
    const char* path = ExecPath();
    if (*path != '\0')
        status = FSPathMakeRef(path, &mAppFSRef);
    if (status != 0 && mTaskDesc != nullptr && mTaskDesc->mCreator != 0)
        status = LSGetApplicationForInfo(0, mTaskDesc->mCreator, nullptr, kLSRolesAll, &mAppFSRef);
    if (status == 0) {
        mAppFSRefFound = true;
        mAppType = FindApplicationType();
        if (mAppType != kIsUndefined)
            mIsInit = true;
    }
    return status;
}

AppType ZMachOAppleEventLauncher::FindApplicationType() {
    LSItemInfoRecord info;
    if (mAppFSRefFound && LSCopyItemInfoForRef(&mAppFSRef, kLSRequestAllFlags, &info) == 0 &&
        (info.flags & kLSItemInfoIsApplication)) {
        if ((info.flags & kLSItemInfoIsNativeApp) && (info.flags & kLSItemInfoIsContainer))
            return kIsOSXBundle;
        if (info.flags & kLSItemInfoIsClassicApp)
            return kIsClassicApp;
        if (info.flags & (kLSItemInfoIsNativeApp | kLSItemInfoAppPrefersNative))
            return kIsCFMApplication;
    }

    // Not an application to Launch Services: tell the kind by the item itself.
    const char* path = ExecPath();
    struct stat st;
    if (*path == '\0' || stat(path, &st) != 0)
        return kIsUndefined;
    if (S_ISDIR(st.st_mode))
        return QorReadBundle(path, nullptr) ? kIsOSXBundle : kIsUndefined;
    if (S_ISREG(st.st_mode))
        return QorIsPlainExecutable(path) ? kIsMachoBinary : kIsUndefined;
    return kIsUndefined;
}

bool ZMachOAppleEventLauncher::IsLaunchable(uint32_t mask) {
    if (!mIsInit && InitForLaunch() != 0)
        return false;
    return (mAppType & mask) != 0;
}

bool ZMachOAppleEventLauncher::IsLaunched() {
    if (!mIsInit && InitForLaunch() != 0)
        return false;
    if (mAppIsLaunched)
        return true;
    if (mAppType == kIsMachoBinary && GetPIDForName(ExecPath()) != -1) {
        mAppIsLaunched = true;
        return true;
    }
    return false;
}

pid_t ZMachOAppleEventLauncher::GetPIDForName(const char* path) {
    return QorFindPIDForName(path);
}
