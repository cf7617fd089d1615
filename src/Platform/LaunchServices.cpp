#include "LaunchServices.h"

#include "Bundles.h"
#include "LaunchServicesRegistry.h"

#include <cerrno>
#include <memory>
#include <strings.h>
#include <sys/stat.h>

namespace {

// The registry read by LSInit, kept until LSTerm.
std::unique_ptr<QorAppRegistry> gRegistry;

// The kept registry, or a fresh one in holder.
const QorAppRegistry& Registry(std::unique_ptr<QorAppRegistry>* holder) {
    if (gRegistry)
        return *gRegistry;
    *holder = std::make_unique<QorAppRegistry>();
    (*holder)->Scan();
    return **holder;
}

OSStatus Found(const QorBundleInfo* app, FSRef* outAppRef) {
    if (!app)
        return kLSApplicationNotFoundErr;
    if (!outAppRef)
        return 0;
    OSStatus status = FSPathMakeRef(app->path.c_str(), outAppRef);
    return status == kQorFileNotFoundErr ? kLSApplicationNotFoundErr : status;
}

} // namespace

OSStatus LSInit(uint32_t) {
    gRegistry = std::make_unique<QorAppRegistry>();
    gRegistry->Scan();
    return 0;
}

OSStatus LSTerm() {
    gRegistry.reset();
    return 0;
}

OSStatus LSGetApplicationForInfo(OSType, OSType inCreator, const char*, uint32_t,
                                 FSRef* outAppRef) {
    if (inCreator == 0)
        return kQorParamErr;
    std::unique_ptr<QorAppRegistry> fresh;
    return Found(Registry(&fresh).FindByCreator(inCreator), outAppRef);
}

OSStatus LSFindApplicationForInfo(OSType inCreator, const char* inBundleID, const char* inName,
                                  FSRef* outAppRef) {
    if (inCreator == 0 && !inBundleID && !inName)
        return kQorParamErr;
    std::unique_ptr<QorAppRegistry> fresh;
    const QorAppRegistry& registry = Registry(&fresh);
    for (const QorBundleInfo& app : registry.Apps()) {
        if (inCreator != 0 && app.signature != inCreator)
            continue;
        if (inBundleID && strcasecmp(app.identifier.c_str(), inBundleID) != 0)
            continue;
        if (inName && registry.FindByName(inName) != &app)
            continue;
        return Found(&app, outAppRef);
    }
    return kLSApplicationNotFoundErr;
}

OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, uint32_t, LSItemInfoRecord* outItemInfo) {
    if (!inItemRef || !outItemInfo || inItemRef->path[0] != '/')
        return kQorParamErr;
    const std::string path = inItemRef->path;
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? kQorFileNotFoundErr : kQorIOErr;
    LSItemInfoRecord info = {0, 0, 0};
    std::string name = path.substr(path.rfind('/') + 1);
    if (!name.empty() && name[0] == '.')
        info.flags |= kLSItemInfoIsInvisible;
    if (S_ISDIR(st.st_mode)) {
        info.flags |= kLSItemInfoIsContainer;
        QorBundleInfo bundle;
        if (QorReadBundle(path, &bundle)) {
            info.flags |= kLSItemInfoIsPackage;
            info.creator = bundle.signature;
            if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".app") == 0)
                info.flags |= kLSItemInfoIsApplication | kLSItemInfoIsNativeApp;
        }
    } else if (S_ISREG(st.st_mode)) {
        info.flags |= kLSItemInfoIsPlainFile;
        if (QorIsAppImage(path))
            info.flags |= kLSItemInfoIsApplication | kLSItemInfoIsNativeApp;
    }
    *outItemInfo = info;
    return 0;
}
