#pragma once

#include <cstdint>

// Four-character codes (creator codes, event classes and IDs, parameter types and keywords)
// are unsigned 32-bit values whose bytes, most significant first, are the characters in
// reading order, whatever the machine's byte order.

/// The code of a four-character literal: QorCode("abcd") == 0x61626364.
constexpr uint32_t QorCode(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

/// The code made of the first four bytes of text (which must have at least four).
inline uint32_t QorCodeFromBytes(const char* text) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

/// The code's four characters into out[0..3]; out[4] = NUL.
inline void QorCodeToChars(uint32_t code, char out[5]) {
    out[0] = char(code >> 24);
    out[1] = char(code >> 16);
    out[2] = char(code >> 8);
    out[3] = char(code);
    out[4] = '\0';
}
