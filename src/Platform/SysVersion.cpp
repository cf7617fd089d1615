#include "SysVersion.h"

#include <cstring>
#include <sys/utsname.h>

namespace {

// Reads a decimal number of at most four digits; more would not be a version.
int Number(const char** p) {
    int value = 0;
    for (int digits = 0; **p >= '0' && **p <= '9'; ++*p, ++digits) {
        if (digits == 4)
            return 0;
        value = value * 10 + (**p - '0');
    }
    return value;
}

} // namespace

int QorSysVersionFromRelease(const char* release) {
    if (!release || !(*release >= '0' && *release <= '9'))
        return 0;
    const char* p = release;
    int major = Number(&p);
    int minor = 0;
    if (*p == '.') {
        ++p;
        minor = Number(&p);
    }
    return major * 100 + minor;
}

int GetSysVersion() {
    utsname names;
    if (uname(&names) != 0)
        return 0;
    return QorSysVersionFromRelease(names.release);
}

void GetMagicName(char* outName) {
    if (!outName)
        return;
    const char* magic = GetSysVersion() > 599 ? "AE2000-" : "AppleEvents-";
    strncpy(outName, magic, kQorMagicNameSize - 1);
    outName[kQorMagicNameSize - 1] = '\0';
}
