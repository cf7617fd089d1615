// The launcher's lines in the system log.

#include "ZMachOAppleEventLauncher.h"

#include "FourCharCode.h"
#include "SystemLog.h"
#include "ZMachOAppleEventDescriptor.h"

#include <syslog.h>

OSStatus ZMachOAppleEventLauncher::OpenLogFile(const char* progName) {
    if (!mLogIsOpen) {
        QorOpenLog(progName, LOG_PID, LOG_USER);
        mLogIsOpen = true;
    }
    return 0;
}

void ZMachOAppleEventLauncher::Logit(long result) {
    if (!mLogIsOpen)
        return;
    char creator[5] = "";
    char event[5] = "";
    long id = 0;
    if (mTaskDesc != nullptr) {
        QorCodeToChars(mTaskDesc->mCreator, creator);
        QorCodeToChars(mTaskDesc->mEvent, event);
        id = long(mTaskDesc->mID);
    }
    QorSyslog(LOG_INFO, "launch for id = %ld %.4s event = %.4s result = %d\n", id, creator, event,
              int(result));
}

void ZMachOAppleEventLauncher::Logit(const char* text) {
    if (mLogIsOpen)
        QorSyslog(LOG_INFO, "%s\n", text != nullptr ? text : "");
}

void ZMachOAppleEventLauncher::CloseLogFile() {
    if (mLogIsOpen) {
        QorCloseLog();
        mLogIsOpen = false;
    }
}
