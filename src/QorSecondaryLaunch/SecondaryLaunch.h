#pragma once

#include "AppType.h"

#include <cstdint>

// QorSecondaryLaunch: performs, inside the user's graphical session, the launches the launcher
// command left in the pending-launch folder (see PendingLaunch.h). Each pending file is tried
// once (launch when needed, send the event, log the result) and removed whatever the outcome;
// empty subfolders are removed; the folder itself stays. It has no window: it runs when the
// launcher command opens it or at login, works the folder off and exits.

namespace QorSecondaryLaunch {

/// The kinds of target launched here: plain executables, single-file applications and bundles.
constexpr uint32_t kSecondaryLaunchMask = kIsMachoBinary | kIsCFMApplication | kIsOSXBundle;

/// The folder of this run (may be null).
extern char* gTempQorSchedUserDir;

/// Works off every pending launch of the effective user. Always 0.
int SecondaryLaunchMain();

} // namespace QorSecondaryLaunch
