#include "LoginItemsRunner.h"

#include "LaunchServices.h"
#include "LoginItems.h"
#include "Preferences.h"
#include "SystemLog.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <syslog.h>

namespace QorLoginItems {

const char* const kHideHintVariable = "QORSCHED_LAUNCH_HIDDEN";

namespace {

// The hide hint for the lifetime of the object, when asked for.
class HideHint {
public:
    explicit HideHint(bool hide) : mSet(hide) {
        if (const char* old = getenv(kHideHintVariable))
            mOld = old;
        if (mSet)
            setenv(kHideHintVariable, "1", 1);
        else
            unsetenv(kHideHintVariable);
    }
    ~HideHint() {
        if (mOld)
            setenv(kHideHintVariable, mOld->c_str(), 1);
        else
            unsetenv(kHideHintVariable);
    }
    HideHint(const HideHint&) = delete;
    HideHint& operator=(const HideHint&) = delete;

private:
    bool mSet;
    std::optional<std::string> mOld;
};

OSStatus OpenItem(const std::string& path, bool hide) {
    FSRef ref;
    OSStatus status = FSPathMakeRef(path.c_str(), &ref);
    if (status != 0)
        return status;
    HideHint hint(hide);
    return LSOpenFSRef(&ref, nullptr);
}

} // namespace

int OpenLoginItems() {
    const char* const user = kCFPreferencesCurrentUser;
    QorOpenLog("QorLoginItems", LOG_PID, LOG_USER);
    (void)LSInit(kLSInitializeDefaults);
    int result = 0;
    const int32_t count = GetCountOfLoginItems(user);
    for (int32_t index = 0; index < count; ++index) {
        const char* text = ReturnLoginItemPropertyAtIndex(user, kLoginItemFullPath, index);
        if (text == nullptr) {
            QorSyslog(LOG_ERR, "Login item %d has no usable path\n", int(index));
            result = 1;
            continue;
        }
        const std::string path = text;
        const char* hide = ReturnLoginItemPropertyAtIndex(user, kLoginItemHide, index);
        OSStatus status = OpenItem(path, hide != nullptr && strcmp(hide, "true") == 0);
        if (status != 0) {
            QorSyslog(LOG_ERR, "Login item %d (%s) could not be opened, err = %d\n", int(index),
                      path.c_str(), int(status));
            result = 1;
        }
    }
    (void)LSTerm();
    QorCloseLog();
    return result;
}

} // namespace QorLoginItems
