#pragma once

/// What kind of program a launch target is. The values are bit flags, so that a set of kinds
/// can be tested with one mask (see ZMachOAppleEventLauncher::IsLaunchable).
enum AppType : unsigned {
    kIsUndefined = 0,      ///< not classified
    kIsMachoBinary = 2,    ///< a plain executable: an ELF binary or an executable "#!" script
    kIsCFMApplication = 4, ///< a single-file application (an AppImage)
    kIsOSXBundle = 8,      ///< an application bundle folder
    kIsClassicApp = 16,    ///< an application of an old environment; never found here
};
