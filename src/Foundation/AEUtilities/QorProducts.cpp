#include "QorProducts.h"

#include "FileRefs.h"
#include "InstallRoot.h"
#include "LaunchServices.h"

#include <cstring>

const char* gCalculatedScheduledScanPath = nullptr;

const char* GetScheduledScanPath() {
    if (gCalculatedScheduledScanPath == nullptr)
        gCalculatedScheduledScanPath =
            IsModuleInstalled(0, kTimedSweeperPath, nullptr) ? kTimedSweeperPath : kWardlinePath;
    return gCalculatedScheduledScanPath;
}

bool IsModuleInstalled(uint32_t inCreator, const char* inName, char* outFilepath) {
    if (inCreator == 0 && inName == nullptr)
        return false;
    FSRef ref;
    OSStatus status = 0;
    if (inCreator != 0)
        status = LSFindApplicationForInfo(inCreator, nullptr, nullptr, &ref);
    if (inName != nullptr && (inCreator == 0 || status != 0)) {
        if (FSPathMakeRef(QorPath(inName).c_str(), &ref) != 0)
            status = kQorFileNotFoundErr;
        else
            status = 0;
    }
    if (status != 0)
        return false;
    if (outFilepath != nullptr && FSRefMakePath(&ref, outFilepath, kModulePathSize) != 0) {
        outFilepath[0] = '\0';
        return false;
    }
    return true;
}

bool CheckVersion(uint32_t vers, const char* inName, uint32_t inCreator) {
    if (inCreator != 0)
        return inCreator == kRenovixCreatorCode && vers >= kRenovixMinVersion;
    if (inName == nullptr)
        return false;
    if (strcmp(inName, kWardlinePath) == 0)
        return vers >= kWardlineMinVersion;
    if (strcmp(inName, kDiskmatePath) == 0)
        return vers >= kDiskmateMinVersion;
    return false;
}
