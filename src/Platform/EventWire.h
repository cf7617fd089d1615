#pragma once

#include "AppleEvents.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The form in which an event travels between processes, all numbers big-endian:
//
//   message    = "QoAE" version:u16 reserved:u16(0) bodyLength:u32 descriptor(the event)
//   descriptor = type:u32 length:u32 payload[length]
//   payload    plain value:  its bytes
//              list 'list':  count:u32 descriptor*count
//              record 'reco': count:u32 (keyword:u32 descriptor)*count
//              event 'aevt': class:u32 id:u32 returnID:u16 transactionID:u32
//                            target:descriptor(plain) count:u32 (keyword:u32 descriptor)*count
//
// Decoding is strict: every length and count is checked against what remains of its enclosing
// payload, which must be used up exactly; only the top level is an event; keywords are unique
// within a record or event; the limits below hold for sender and receiver alike.

constexpr uint16_t kQorEventWireVersion = 1;
constexpr size_t kQorEventWireHeaderSize = 12;
/// Largest whole message, header included.
constexpr size_t kQorEventWireMaxSize = 256 * 1024;
/// Deepest nesting: the event is level 1, a list in it level 2, and so on.
constexpr int kQorEventWireMaxDepth = 8;
/// Most descriptors in one message, the event and its target included.
constexpr size_t kQorEventWireMaxItems = 1024;

/// The message for an event. paramErr when it is not an event or exceeds the limits.
OSErr QorEncodeEvent(const AppleEvent* event, std::vector<uint8_t>* message);

/// Checks a message header; on success *bodyLength is the number of bytes that follow it.
/// errAECorruptData with a reason otherwise.
OSErr QorCheckEventHeader(const uint8_t* header, size_t size, uint32_t* bodyLength,
                          std::string* why);

/// Decodes a whole message into a new event (the caller disposes of it). errAECorruptData,
/// with the reason in *why (may be null), for anything that is not exactly one valid message.
OSErr QorDecodeEvent(const uint8_t* message, size_t size, AppleEvent* event, std::string* why);
