#pragma once

// Where the launcher programs are installed, under the install root (see InstallRoot.h).

/// The launcher command that every task's cron line runs.
inline constexpr char kTaskKickerPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker";

/// The secondary launcher's bundle, and its executable inside it.
inline constexpr char kSecondaryLaunchAppPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/QorSecondaryLaunch.app";
inline constexpr char kSecondaryLaunchExecutablePath[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/QorSecondaryLaunch.app"
    "/Contents/MacOS/QorSecondaryLaunch";

/// The program the graphical login runs (through its autostart entry) to open the user's login
/// items.
inline constexpr char kLoginItemsRunnerPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/QorLoginItems";
