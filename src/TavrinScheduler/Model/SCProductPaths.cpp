#include "SCProductPaths.h"

std::optional<QString> gScanExecPath;
std::optional<QString> gDiskmateExecPath;
std::optional<QString> gRenovixExecPath;
std::optional<QString> gDensorExecPath;
