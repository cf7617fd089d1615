#include "MachPortFolder.h"
#include "InstallRoot.h"
#include "SysVersion.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

std::string QorPortFolderPath(uid_t uid) {
    return QorSystemPath("/tmp") + "/qorsched-ports-" + std::to_string(uid);
}

QorPortFolderState QorCheckPortFolder(uid_t uid) {
    struct stat st;
    if (lstat(QorPortFolderPath(uid).c_str(), &st) != 0)
        return errno == ENOENT ? QorPortFolderState::kMissing : QorPortFolderState::kUnsafe;
    if (!S_ISDIR(st.st_mode) || st.st_uid != uid || (st.st_mode & 07777) != 0700)
        return QorPortFolderState::kUnsafe;
    return QorPortFolderState::kReady;
}

OSErr QorPreparePortFolder() {
    uid_t uid = geteuid();
    std::string folder = QorPortFolderPath(uid);
    if (mkdir(folder.c_str(), 0700) == 0) {
        // The umask may have taken bits away; the check below wants exactly 0700. The folder
        // is ours and new, so nobody else can have swapped it in between.
        if (chmod(folder.c_str(), 0700) != 0)
            return ioErr;
    } else if (errno != EEXIST) {
        return ioErr;
    }
    return QorCheckPortFolder(uid) == QorPortFolderState::kReady ? noErr : permErr;
}

bool QorIsValidPortName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '/' || c == '\0')
            return false;
    return true;
}

std::string QorProcessPortName(pid_t pid) {
    char magic[kQorMagicNameSize];
    GetMagicName(magic);
    return magic + std::to_string(unsigned(pid));
}

std::string QorSignaturePortName(OSType creator) {
    std::string name = "sign-";
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = (unsigned char)(creator >> shift);
        if (c > 0x20 && c < 0x7f && c != '/' && c != '%') {
            name += char(c);
        } else {
            char escaped[4];
            snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return name;
}

std::string QorPortPath(uid_t uid, const std::string& name) {
    return QorPortFolderPath(uid) + "/" + name;
}
