#pragma once

#include <QString>

// The event data of the tasks that run a product program with arguments: the parameter type
// "exAG" and the arguments, each between double quotes.

/// The product-update application's arguments: which product to update.
inline constexpr char kSCUpdateOmbrix[] = "-update RVto";
inline constexpr char kSCUpdateGearbox[] = "-update RVtg";
inline constexpr char kSCUpdatePalisade[] = "-update RVpa";
inline constexpr char kSCUpdateDefinitions[] = "-update RVdf";
inline constexpr char kSCUpdateRenovix[] = "-update RVrv";
inline constexpr char kSCUpdateAll[] = "-update RVal";
inline constexpr char kSCUpdateVeilguard[] = "-update RVvg";

/// "exAG" and argument, each between double quotes, one blank between: the event data of a
/// product-update task.
QString SCUpdateEventData(const char* argument);

/// The event data of the default snapshot and defragmentation tasks: "exAG" and "-d0", each
/// between double quotes, two blanks between.
QString SCDefaultRunEventData();
