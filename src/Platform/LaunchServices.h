#pragma once

#include "FileRefs.h"

#include <cstdint>
#include <string>

// Launch Services: finding applications and opening them. The applications are the bundles
// of the registry (LaunchServicesRegistry.h); an AppImage is an application too, but is only
// found by its path.

/// Statuses of Launch Services.
constexpr OSStatus kLSUnknownErr = -10810;             ///< the system refused (fork, pipes, locks)
constexpr OSStatus kLSNotAnApplicationErr = -10811;    ///< the item cannot be opened as one
constexpr OSStatus kLSApplicationNotFoundErr = -10814; ///< no registered application matches
constexpr OSStatus kLSLaunchInProgressErr = -10818;    ///< a launch of it is under way right now
constexpr OSStatus kLSNoLaunchPermissionErr = -10826;  ///< its executable may not be run
constexpr OSStatus kLSNoExecutableErr = -10827;        ///< the bundle names no usable executable

constexpr uint32_t kLSInitializeDefaults = 0x00000001;
constexpr uint32_t kLSRolesAll = 0xFFFFFFFF;

/// Requests of LSCopyItemInfoForRef.
constexpr uint32_t kLSRequestTypeCreator = 0x00000002;
constexpr uint32_t kLSRequestBasicFlagsOnly = 0x00000004;
constexpr uint32_t kLSRequestAppTypeFlags = 0x00000008;
constexpr uint32_t kLSRequestAllFlags = 0x00000010;

/// Item flags of LSItemInfoRecord.
constexpr uint32_t kLSItemInfoIsPlainFile = 0x00000001;
constexpr uint32_t kLSItemInfoIsPackage = 0x00000002;
constexpr uint32_t kLSItemInfoIsApplication = 0x00000004;
constexpr uint32_t kLSItemInfoIsContainer = 0x00000008;
constexpr uint32_t kLSItemInfoIsInvisible = 0x00000040;
constexpr uint32_t kLSItemInfoIsNativeApp = 0x00000080;
constexpr uint32_t kLSItemInfoIsClassicApp = 0x00000100;
constexpr uint32_t kLSItemInfoAppPrefersNative = 0x00000200;

/// Launch flags.
constexpr uint32_t kLSLaunchDefaults = 0x00000001;
constexpr uint32_t kLSLaunchNewInstance = 0x00080000;

struct LSItemInfoRecord {
    uint32_t flags;
    OSType filetype; ///< always 0: files carry no type code here
    OSType creator;  ///< a bundle's signature, else 0
};

struct LSLaunchFSRefSpec {
    const FSRef* appRef;
    uint32_t numDocs;
    const FSRef* itemRefs;      ///< documents: passed as the program's arguments
    const void* passThruParams; ///< not used
    uint32_t launchFlags;
    void* asyncRefCon; ///< not used
};

/// Starts Launch Services: the registry is read once and kept until LSTerm (without LSInit
/// every look-up reads the folders afresh). Always 0.
OSStatus LSInit(uint32_t flags);
OSStatus LSTerm();

/// The application with the creator code (type, extension and roles are not used): 0 and its
/// reference, kLSApplicationNotFoundErr, or kQorParamErr for creator 0.
OSStatus LSGetApplicationForInfo(OSType inType, OSType inCreator, const char* inExtension,
                                 uint32_t inRoleMask, FSRef* outAppRef);

/// The application matching every criterion given (creator 0, a null bundle identifier and a
/// null name are not given; the identifier is compared without regard to case, the name is
/// the bundle's folder name with or without ".app"): 0 and its reference,
/// kLSApplicationNotFoundErr, or kQorParamErr when no criterion is given.
OSStatus LSFindApplicationForInfo(OSType inCreator, const char* inBundleID, const char* inName,
                                  FSRef* outAppRef);

/// The item's flags: a bundle named "*.app" is an application, container, package and native
/// application; an AppImage a plain file, application and native application; a plain
/// executable only a plain file (its kind is told by its contents); any other folder a
/// container. 0, or kQorFileNotFoundErr when the item is gone.
OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, uint32_t inWhichInfo,
                              LSItemInfoRecord* outItemInfo);

/// Opens the application: its executable (a bundle's "Contents/MacOS/" executable, or the
/// AppImage) is started detached, as the calling user, with the install roots exported and,
/// when this process has neither DISPLAY nor WAYLAND_DISPLAY, with the console session's
/// variables (see ConsoleUserEnvironment.h). An application of the user that already runs
/// is left as it is (0) unless kLSLaunchNewInstance is given. kLSLaunchInProgressErr while
/// another process is launching the same application.
OSStatus LSOpenFromRefSpec(const LSLaunchFSRefSpec* inLaunchSpec, FSRef* outLaunchedRef);
/// LSOpenFromRefSpec with no documents and kLSLaunchDefaults.
OSStatus LSOpenFSRef(const FSRef* inRef, FSRef* outLaunchedRef);

/// The lock a launch of the application at appPath holds while it starts the program
/// (exposed for tests): a file in the calling user's private launch folder.
std::string QorLaunchLockPath(const std::string& appPath);
