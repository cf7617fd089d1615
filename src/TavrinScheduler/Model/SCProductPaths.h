#pragma once

#include <QString>

#include <optional>

// Where the installed products' executables are, resolved once at start-up by the task table's
// data source. Every window recognises a task's product by comparing the task's executable path
// with these. A product that is not installed has no path, and no path matches it.

/// Executable of virus-scan tasks (the command-line scanner or the always-on component).
extern std::optional<QString> gScanExecPath;
/// Executable of snapshot tasks.
extern std::optional<QString> gDiskmateExecPath;
/// Executable of product-update tasks.
extern std::optional<QString> gRenovixExecPath;
/// Executable of defragmentation tasks.
extern std::optional<QString> gDensorExecPath;

/// Whether execPath is the product's path (false when the product is not installed).
inline bool SCIsProductPath(const std::optional<QString>& productPath, const QString& execPath) {
    return productPath && *productPath == execPath;
}
