#pragma once

#include "FourCharCode.h"

#include <cstddef>
#include <cstdint>

// The suite's products: where they are installed, their creator codes and the lowest versions
// accepted, and the checks that tell whether one is installed. The paths are fixed paths of
// the suite: on disk they live under the install root (QorPath).

/// Command-line scanner of the virus-scanning product.
inline constexpr char kTimedSweeperPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Tavrin Ombrix/timedSweeper";
/// Executable of the always-on scanning component.
inline constexpr char kWardlinePath[] = "/Library/StartupItems/TavrinWardline/TavrinWardline";
/// Volume-repair assistant.
inline constexpr char kDiskmatePath[] =
    "/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Diskmate";
/// Defragmentation tool.
inline constexpr char kDensorPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Tavrin Gearbox/Tavrin Densor";
/// Executable of the product-update application.
inline constexpr char kRenovixPath[] =
    "/Applications/Tavrin Solutions/Renovix.app/Contents/MacOS/Renovix";

constexpr uint32_t kRenovixCreatorCode = QorCode("TrvX");   ///< product-update application
constexpr uint32_t kPalisadeCreatorCode = QorCode("TpaX");  ///< firewall product
constexpr uint32_t kVeilguardCreatorCode = QorCode("TvgX"); ///< privacy product

constexpr uint32_t kRenovixMinVersion = 0x162;
constexpr uint32_t kDiskmateMinVersion = 0x700;
constexpr uint32_t kWardlineMinVersion = 0x800;

/// Room IsModuleInstalled needs for the path it reports, NUL included.
constexpr size_t kModulePathSize = 2048;

/// The scan path chosen by the first GetScheduledScanPath call; null before it.
extern const char* gCalculatedScheduledScanPath;

/// The executable of virus-scan tasks: kTimedSweeperPath when the scanner is installed, else
/// kWardlinePath. Chosen on the first call and kept for the process's lifetime.
const char* GetScheduledScanPath();

/// Whether a product is installed: the application with creator code inCreator (when not 0),
/// else the item at the fixed path inName (when given, under the install root). When found and
/// outFilepath is given (kModulePathSize bytes), the item's resolved path goes there. Any
/// failure, and a call that names nothing to look for, counts as absence.
bool IsModuleInstalled(uint32_t inCreator, const char* inName, char* outFilepath);

/// Whether version vers of a product is new enough: with a creator code, only the
/// product-update application is known; without one, the always-on scanning component and the
/// volume-repair assistant, by their fixed paths.
bool CheckVersion(uint32_t vers, const char* inName, uint32_t inCreator);
