#pragma once

#include <string>

// Where the suite's fixed paths live.
//
// Two roots, both empty on a real system that installs at the paths as named:
//  - the install root holds the suite's own fixed paths ("/Library/...", "/Applications/...");
//  - the system root holds the system paths (crontab folder, accounting file, "/tmp", the
//    event-port folders, the users' home folders and the system bus socket).
// A test or a demo sets QORSCHED_ROOT alone and gets both under one folder. A package that
// installs under /opt sets the install root only, so the system paths stay the real ones.

/// The install root: QORSCHED_ROOT when set (even empty), else the root derived from the
/// running program's own location (see QorSetOwnFixedPath), else the configure-time root.
std::string QorInstallRoot();

/// The system root: QORSCHED_SYSTEM_ROOT when set, else QORSCHED_ROOT when set, else the
/// configure-time system root.
std::string QorSystemRoot();

/// QorInstallRoot() + fixedPath.
std::string QorPath(const std::string& fixedPath);

/// QorSystemRoot() + fixedPath.
std::string QorSystemPath(const std::string& fixedPath);

/// Programs installed at a fixed path call this first: when the running executable
/// (/proc/self/exe) ends with fixedPath, the part before it becomes the derived install root.
/// Programs started by cron, systemd or the login-item runner carry none of our environment.
void QorSetOwnFixedPath(const std::string& fixedPath);

/// The same derivation, for a given executable path; returns false when exePath does not end
/// with fixedPath. Exposed for tests.
bool QorDeriveRoot(const std::string& exePath, const std::string& fixedPath, std::string* outRoot);

/// Puts the roots in use into this process's environment (QORSCHED_ROOT and
/// QORSCHED_SYSTEM_ROOT) so that every program started from here agrees on them.
void QorExportRoots();
