#pragma once

#include "FourCharCode.h"

#include <cstdint>

// The system's own Apple Event Manager: descriptors (a type code and its data), lists, records
// and events, built and read with the operations the event senders and receivers of the suite
// use. A descriptor owns its data; every operation that stores a descriptor stores a copy, so the
// caller disposes of what it created (AEDisposeDesc) whatever it put where.

using OSErr = int16_t;
using OSStatus = int32_t;
using OSType = uint32_t;
using DescType = uint32_t;
using AEKeyword = uint32_t;
using AEEventClass = uint32_t;
using AEEventID = uint32_t;
using AEReturnID = int16_t;
using AETransactionID = int32_t;
using AESendMode = int32_t;

struct OpaqueAEDataStorageType;
using AEDataStorage = OpaqueAEDataStorageType*;

/// A descriptor: its type and an opaque handle to its data (null for typeNull).
struct AEDesc {
    DescType descriptorType;
    AEDataStorage dataHandle;
};
using AEDescList = AEDesc;
using AERecord = AEDesc;
using AppleEvent = AEDesc;
using AEAddressDesc = AEDesc;

// Statuses.
constexpr OSErr noErr = 0;
constexpr OSErr ioErr = -36;
constexpr OSErr dupFNErr = -48;
constexpr OSErr paramErr = -50;
constexpr OSErr permErr = -54;
constexpr OSErr memFullErr = -108;
constexpr OSErr procNotFound = -600;
constexpr OSErr errAECoercionFail = -1700;
constexpr OSErr errAEDescNotFound = -1701;
constexpr OSErr errAECorruptData = -1702;
constexpr OSErr errAEWrongDataType = -1703;
constexpr OSErr errAENotAEDesc = -1704;
constexpr OSErr errAEEventNotHandled = -1708;
constexpr OSErr errAETimeout = -1712;
constexpr OSErr errAEUnknownAddressType = -1716;
constexpr OSErr errAEIllegalIndex = -1719;

// Descriptor types.
constexpr DescType typeNull = QorCode("null");
constexpr DescType typeWildCard = QorCode("****");
constexpr DescType typeAEList = QorCode("list");
constexpr DescType typeAERecord = QorCode("reco");
constexpr DescType typeAppleEvent = QorCode("aevt");
constexpr DescType typeApplSignature = QorCode("sign");
constexpr DescType typeMachPort = QorCode("port");
constexpr DescType typeAlias = QorCode("alis");
constexpr DescType typeChar = QorCode("TEXT");
constexpr DescType typeUTF8Text = QorCode("utf8");
constexpr DescType typeSInt16 = QorCode("shor");
constexpr DescType typeSInt32 = QorCode("long");
constexpr DescType typeMagnitude = QorCode("magn");
constexpr DescType typeType = QorCode("type");

// Keywords of parameters and attributes.
constexpr AEKeyword keyDirectObject = QorCode("----");
constexpr AEKeyword keyEventClassAttr = QorCode("evcl");
constexpr AEKeyword keyEventIDAttr = QorCode("evid");
constexpr AEKeyword keyAddressAttr = QorCode("addr");
constexpr AEKeyword keyReturnIDAttr = QorCode("rtid");
constexpr AEKeyword keyTransactionIDAttr = QorCode("tran");

constexpr AEReturnID kAutoGenerateReturnID = -1;
constexpr AETransactionID kAnyTransactionID = 0;

// Send modes: the low two bits say what reply is wanted; only "none" is supported.
constexpr AESendMode kAENoReply = 1;
constexpr AESendMode kAEQueueReply = 2;
constexpr AESendMode kAEWaitReply = 3;

/// Sets the descriptor to typeNull with no data, without disposing of anything.
void AEInitializeDesc(AEDesc* desc);

/// A plain descriptor holding a copy of dataSize bytes. Lists, records and events cannot be made
/// this way (paramErr); use AECreateList and AECreateAppleEvent.
OSErr AECreateDesc(DescType typeCode, const void* dataPtr, long dataSize, AEDesc* result);

/// An empty list, or an empty record when isRecord. Factoring is not supported and ignored.
OSErr AECreateList(const void* factoringPtr, long factoredSize, bool isRecord,
                   AEDescList* resultList);

/// An event without parameters. The target (typeApplSignature with a creator code, or
/// typeMachPort with a port name from bootstrap_look_up, each a 4-byte number in the machine's
/// own byte order: AECreateDesc(typeApplSignature, &creator, 4, &target)) is copied.
/// kAutoGenerateReturnID gives a return ID unique within this process.
OSErr AECreateAppleEvent(AEEventClass eventClass, AEEventID eventID, const AEAddressDesc* target,
                         AEReturnID returnID, AETransactionID transactionID, AppleEvent* result);

/// Frees the descriptor's data and leaves it typeNull. Disposing a typeNull descriptor is fine.
OSErr AEDisposeDesc(AEDesc* desc);

/// A deep copy.
OSErr AEDuplicateDesc(const AEDesc* desc, AEDesc* result);

/// Puts a copy of desc into a list at the 1-based index, replacing the item there; index 0 or
/// one past the end appends. Lists take any descriptor but an event.
OSErr AEPutDesc(AEDescList* list, long index, const AEDesc* desc);
OSErr AEPutPtr(AEDescList* list, long index, DescType typeCode, const void* dataPtr, long dataSize);

/// Puts a copy of desc under the keyword of an event or record, replacing an earlier value.
OSErr AEPutParamDesc(AppleEvent* event, AEKeyword keyword, const AEDesc* desc);
OSErr AEPutParamPtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, const void* dataPtr,
                    long dataSize);
inline OSErr AEPutKeyDesc(AERecord* record, AEKeyword keyword, const AEDesc* desc) {
    return AEPutParamDesc(record, keyword, desc);
}
inline OSErr AEPutKeyPtr(AERecord* record, AEKeyword keyword, DescType typeCode,
                         const void* dataPtr, long dataSize) {
    return AEPutParamPtr(record, keyword, typeCode, dataPtr, dataSize);
}

/// Items of a list, or parameters of a record or event.
OSErr AECountItems(const AEDescList* list, long* count);

/// A copy of item index (1-based) of a list, record or event; keyword (may be null) receives the
/// item's keyword, typeWildCard for a list item. desiredType is typeWildCard or the item's own
/// type (no coercion: errAECoercionFail).
OSErr AEGetNthDesc(const AEDescList* list, long index, DescType desiredType, AEKeyword* keyword,
                   AEDesc* result);

/// A copy of the parameter under keyword (errAEDescNotFound when absent).
OSErr AEGetParamDesc(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                     AEDesc* result);

/// The data of a plain parameter: at most maximumSize bytes into dataPtr; actualType and
/// actualSize (the full size) may be null.
OSErr AEGetParamPtr(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                    DescType* actualType, void* dataPtr, long maximumSize, long* actualSize);

/// An event's attributes: keyEventClassAttr and keyEventIDAttr (typeType, 4 bytes),
/// keyReturnIDAttr (typeSInt16), keyTransactionIDAttr (typeSInt32); keyAddressAttr through
/// AEGetAttributeDesc.
OSErr AEGetAttributePtr(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                        DescType* actualType, void* dataPtr, long maximumSize, long* actualSize);
OSErr AEGetAttributeDesc(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                         AEDesc* result);

/// Size of a plain descriptor's data (0 for lists, records, events and typeNull).
long AEGetDescDataSize(const AEDesc* desc);
/// Copies at most maximumSize bytes of a plain descriptor's data.
OSErr AEGetDescData(const AEDesc* desc, void* dataPtr, long maximumSize);

/// Sends the event to its target through the current event transport (see EventTransport.h).
/// Only sendMode kAENoReply is supported (with any other reply mode: paramErr); reply may be
/// null and is left typeNull; the time-out is not used. 0 when delivered; procNotFound (-600)
/// while the target's port is absent or refuses the connection.
OSStatus AESendMessage(const AppleEvent* event, AppleEvent* reply, AESendMode sendMode,
                       long timeOutInTicks);
