#pragma once

#include "AppleEvents.h"

#include <string>

// The text forms of the record file (see README.md): strings in double quotes with C escapes,
// codes in single quotes, one event per line.

/// text between double quotes; '"', '\\' and control bytes escaped ("\n", "\x01").
std::string SampleProductQuote(const std::string& text);

/// The code's four characters between single quotes, escaped like SampleProductQuote.
std::string SampleProductCode(uint32_t code);

/// One value: numbers for 'shor', 'long' and 'magn', the path an alias holds, list[...],
/// reco{...}, and any other type's bytes as a quoted string; each preceded by its type code.
std::string SampleProductValue(const AEDesc& value);

/// "class='...' id='...'" and every parameter as "'keyword'=value".
std::string SampleProductEvent(const AppleEvent& event);
