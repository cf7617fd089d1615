#include "InstallRoot.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#ifndef QORSCHED_CONFIGURED_ROOT
#define QORSCHED_CONFIGURED_ROOT ""
#endif
#ifndef QORSCHED_CONFIGURED_SYSTEM_ROOT
#define QORSCHED_CONFIGURED_SYSTEM_ROOT ""
#endif

namespace {

bool gHaveDerivedRoot = false;
std::string gDerivedRoot;

// A root never ends in "/": the fixed paths it is put before all begin with one.
std::string Normalized(std::string root) {
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    return root;
}

} // namespace

bool QorDeriveRoot(const std::string& exePath, const std::string& fixedPath, std::string* outRoot) {
    if (fixedPath.empty() || exePath.size() < fixedPath.size())
        return false;
    if (exePath.compare(exePath.size() - fixedPath.size(), fixedPath.size(), fixedPath) != 0)
        return false;
    if (outRoot)
        *outRoot = Normalized(exePath.substr(0, exePath.size() - fixedPath.size()));
    return true;
}

void QorSetOwnFixedPath(const std::string& fixedPath) {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return;
    exe[n] = '\0';
    gHaveDerivedRoot = QorDeriveRoot(exe, fixedPath, &gDerivedRoot);
}

std::string QorInstallRoot() {
    if (const char* env = getenv("QORSCHED_ROOT"))
        return Normalized(env);
    if (gHaveDerivedRoot)
        return gDerivedRoot;
    return Normalized(QORSCHED_CONFIGURED_ROOT);
}

std::string QorSystemRoot() {
    if (const char* env = getenv("QORSCHED_SYSTEM_ROOT"))
        return Normalized(env);
    if (const char* env = getenv("QORSCHED_ROOT"))
        return Normalized(env);
    return Normalized(QORSCHED_CONFIGURED_SYSTEM_ROOT);
}

std::string QorPath(const std::string& fixedPath) { return QorInstallRoot() + fixedPath; }

std::string QorSystemPath(const std::string& fixedPath) { return QorSystemRoot() + fixedPath; }

void QorExportRoots() {
    std::string install = QorInstallRoot();
    std::string system = QorSystemRoot();
    (void)setenv("QORSCHED_ROOT", install.c_str(), 1);
    (void)setenv("QORSCHED_SYSTEM_ROOT", system.c_str(), 1);
}
