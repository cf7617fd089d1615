#pragma once

#include <cstdint>

/// Result code for an allocation that could not be satisfied.
constexpr int32_t kQorOutOfMemoryErr = -108;

/// The out-of-memory hook, called wherever an allocation failed; returns the code to report.
/// Linux keeps no pending memory error of its own, so this is always kQorOutOfMemoryErr.
int32_t QorForceMemError();
