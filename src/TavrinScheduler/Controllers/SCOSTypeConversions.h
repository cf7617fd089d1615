#pragma once

#include <QString>

#include <cstdint>

// Four-character codes and the strings that show them. A code's bytes map one to one onto the
// characters U+0000 to U+00FF, so every code survives the round trip.

/// The code made of the string's first four characters, first one most significant; missing
/// characters count as zero bytes.
uint32_t getOSType(const QString& text);

/// The code's characters, most significant byte first, ending early at a zero byte.
QString stringFromOSType(uint32_t code);

/// The code's four characters, zero bytes included: the form a row keeps a task's codes in.
QString fourCharacterString(uint32_t code);
