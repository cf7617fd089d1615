#pragma once

#include "FileRefs.h"
#include "PropertyList.h"

#include <string>

// Application bundles: a directory "Name.app" with "Contents/Info.plist" (XML or binary)
// and its executable in "Contents/MacOS/".

/// What a bundle's Info.plist says.
struct QorBundleInfo {
    std::string path;         ///< the bundle directory as given
    std::string executable;   ///< CFBundleExecutable; empty when absent or unusable
    OSType signature = 0;     ///< CFBundleSignature as a creator code; 0 when absent or "????"
    std::string identifier;   ///< CFBundleIdentifier
    std::string name;         ///< CFBundleName
    std::string shortVersion; ///< CFBundleShortVersionString
    QorPropertyList info;     ///< the whole information dictionary
};

/// Reads the bundle at path. True only for a real bundle: a directory whose
/// "Contents/Info.plist" holds a property-list dictionary. A CFBundleExecutable that is not a
/// plain file name (empty, with a "/", "." or "..") is left empty: it could name a file
/// outside the bundle.
bool QorReadBundle(const std::string& path, QorBundleInfo* out);

/// bundlePath + "/Contents/MacOS/" + the bundle's executable name, allocated with malloc (the
/// caller frees it); null when bundlePath is no bundle or names no usable executable.
char* CreateBundleExecutablePath(const char* bundlePath);

/// A plain executable: a regular file that is an ELF binary (7F 45 4C 46), or a file with an
/// execute permission bit that starts with "#!".
bool QorIsPlainExecutable(const std::string& path);

/// A single-file application: an AppImage, an ELF binary with the AppImage magic ("AI" and
/// type 1 or 2 at offset 8).
bool QorIsAppImage(const std::string& path);
