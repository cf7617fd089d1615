#pragma once

#include <cstddef>

/// Room for the longest magic name and its NUL.
constexpr size_t kQorMagicNameSize = 16;

/// The kernel release (uname) as major * 100 + minor: "6.1.0-13-amd64" gives 601; a missing
/// minor counts 0; 0 when the release cannot be read.
int GetSysVersion();

/// The prefix of the name under which a process registers its event port: "AE2000-" when
/// GetSysVersion() > 599, else "AppleEvents-". outName must hold kQorMagicNameSize bytes.
void GetMagicName(char* outName);

/// The rule of GetSysVersion for a given release text. Exposed for tests.
int QorSysVersionFromRelease(const char* release);
