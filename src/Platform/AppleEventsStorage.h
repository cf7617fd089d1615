#pragma once

// Inside of a descriptor's data, shared by the descriptor operations and the wire format.
// Not for use outside src/Platform.

#include "AppleEvents.h"

#include <vector>

struct QorAEItem;

struct QorAEValue {
    DescType type = typeNull;
    std::vector<uint8_t> bytes;   // a plain value's data
    std::vector<QorAEItem> items; // list items (keyword typeWildCard), record or event parameters

    // Events only.
    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    AEReturnID returnID = 0;
    AETransactionID transactionID = 0;
    std::vector<QorAEValue> target; // the address: none or one plain value

    bool IsList() const { return type == typeAEList; }
    bool IsKeyed() const { return type == typeAERecord || type == typeAppleEvent; }
    bool IsPlain() const { return !IsList() && !IsKeyed(); }
};

struct QorAEItem {
    AEKeyword keyword;
    QorAEValue value;
};

struct OpaqueAEDataStorageType {
    QorAEValue value;
};

/// The value behind a descriptor (a typeNull descriptor reads as an empty typeNull value);
/// null for a descriptor whose type does not match its data.
const QorAEValue* QorAEValueOf(const AEDesc* desc);

/// Hands value over to a new descriptor in *result. memFullErr when it cannot be allocated.
OSErr QorAEDescFromValue(QorAEValue&& value, AEDesc* result);
