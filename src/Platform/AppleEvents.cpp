#include "AppleEvents.h"
#include "AppleEventsStorage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

const QorAEValue kNullValue;

// Allocation failures become memFullErr: the descriptor operations report statuses only.
template <class Operation> OSErr Guarded(Operation operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return memFullErr;
    } catch (const std::length_error&) {
        return memFullErr;
    }
}

QorAEValue* MutableValueOf(AEDesc* desc) {
    if (!desc || !desc->dataHandle || desc->dataHandle->value.type != desc->descriptorType)
        return nullptr;
    return &desc->dataHandle->value;
}

OSErr PlainValue(DescType typeCode, const void* dataPtr, long dataSize, QorAEValue* out) {
    if (dataSize < 0 || (dataSize > 0 && !dataPtr))
        return paramErr;
    if (typeCode == typeAEList || typeCode == typeAERecord || typeCode == typeAppleEvent)
        return paramErr;
    if (typeCode == typeNull && dataSize != 0)
        return paramErr;
    out->type = typeCode;
    const auto* bytes = static_cast<const uint8_t*>(dataPtr);
    out->bytes.assign(bytes, bytes + dataSize);
    return noErr;
}

OSErr CopyData(const QorAEValue& value, DescType* actualType, void* dataPtr, long maximumSize,
               long* actualSize) {
    if (!value.IsPlain())
        return errAEWrongDataType;
    if (maximumSize < 0 || (maximumSize > 0 && !dataPtr))
        return paramErr;
    if (actualType)
        *actualType = value.type;
    if (actualSize)
        *actualSize = long(value.bytes.size());
    size_t n = std::min(value.bytes.size(), size_t(maximumSize));
    if (n)
        memcpy(dataPtr, value.bytes.data(), n);
    return noErr;
}

bool Accepts(DescType desiredType, DescType actual) {
    return desiredType == typeWildCard || desiredType == actual;
}

AEReturnID NextReturnID() {
    static AEReturnID next = 0;
    if (++next <= 0)
        next = 1;
    return next;
}

OSErr PutKeyed(AEDesc* container, AEKeyword keyword, QorAEValue&& value) {
    QorAEValue* target = MutableValueOf(container);
    if (!target)
        return errAENotAEDesc;
    if (!target->IsKeyed())
        return errAEWrongDataType;
    if (value.type == typeAppleEvent)
        return errAEWrongDataType;
    for (QorAEItem& item : target->items) {
        if (item.keyword == keyword) {
            item.value = std::move(value);
            return noErr;
        }
    }
    target->items.push_back({keyword, std::move(value)});
    return noErr;
}

OSErr PutListed(AEDescList* list, long index, QorAEValue&& value) {
    QorAEValue* target = MutableValueOf(list);
    if (!target)
        return errAENotAEDesc;
    if (!target->IsList())
        return errAEWrongDataType;
    if (value.type == typeAppleEvent)
        return errAEWrongDataType;
    if (index < 0)
        return errAEIllegalIndex;
    long count = long(target->items.size());
    if (index == 0 || index == count + 1)
        target->items.push_back({typeWildCard, std::move(value)});
    else if (index <= count)
        target->items[size_t(index - 1)].value = std::move(value);
    else
        return errAEIllegalIndex;
    return noErr;
}

const QorAEValue* FindParam(const AppleEvent* event, AEKeyword keyword, OSErr* status) {
    const QorAEValue* value = QorAEValueOf(event);
    if (!value) {
        *status = errAENotAEDesc;
        return nullptr;
    }
    if (!value->IsKeyed()) {
        *status = errAEWrongDataType;
        return nullptr;
    }
    for (const QorAEItem& item : value->items)
        if (item.keyword == keyword)
            return &item.value;
    *status = errAEDescNotFound;
    return nullptr;
}

} // namespace

const QorAEValue* QorAEValueOf(const AEDesc* desc) {
    if (!desc)
        return nullptr;
    if (!desc->dataHandle)
        return desc->descriptorType == typeNull ? &kNullValue : nullptr;
    if (desc->dataHandle->value.type != desc->descriptorType)
        return nullptr;
    return &desc->dataHandle->value;
}

OSErr QorAEDescFromValue(QorAEValue&& value, AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    if (value.type == typeNull)
        return noErr;
    return Guarded([&] {
        DescType type = value.type;
        result->dataHandle = new OpaqueAEDataStorageType{std::move(value)};
        result->descriptorType = type;
        return noErr;
    });
}

void AEInitializeDesc(AEDesc* desc) {
    if (!desc)
        return;
    desc->descriptorType = typeNull;
    desc->dataHandle = nullptr;
}

OSErr AECreateDesc(DescType typeCode, const void* dataPtr, long dataSize, AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    return Guarded([&] {
        QorAEValue value;
        OSErr status = PlainValue(typeCode, dataPtr, dataSize, &value);
        return status ? status : QorAEDescFromValue(std::move(value), result);
    });
}

OSErr AECreateList(const void*, long, bool isRecord, AEDescList* resultList) {
    if (!resultList)
        return paramErr;
    QorAEValue value;
    value.type = isRecord ? typeAERecord : typeAEList;
    return QorAEDescFromValue(std::move(value), resultList);
}

OSErr AECreateAppleEvent(AEEventClass eventClass, AEEventID eventID, const AEAddressDesc* target,
                         AEReturnID returnID, AETransactionID transactionID, AppleEvent* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    const QorAEValue* address = QorAEValueOf(target);
    if (!address)
        return errAENotAEDesc;
    if (!address->IsPlain() || address->type == typeAppleEvent)
        return errAEWrongDataType;
    return Guarded([&] {
        QorAEValue event;
        event.type = typeAppleEvent;
        event.eventClass = eventClass;
        event.eventID = eventID;
        event.returnID = returnID == kAutoGenerateReturnID ? NextReturnID() : returnID;
        event.transactionID = transactionID;
        event.target.push_back(*address);
        return QorAEDescFromValue(std::move(event), result);
    });
}

OSErr AEDisposeDesc(AEDesc* desc) {
    if (!desc)
        return paramErr;
    delete desc->dataHandle;
    AEInitializeDesc(desc);
    return noErr;
}

OSErr AEDuplicateDesc(const AEDesc* desc, AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    const QorAEValue* value = QorAEValueOf(desc);
    if (!value)
        return errAENotAEDesc;
    return Guarded([&] { return QorAEDescFromValue(QorAEValue(*value), result); });
}

OSErr AEPutDesc(AEDescList* list, long index, const AEDesc* desc) {
    const QorAEValue* value = QorAEValueOf(desc);
    if (!value)
        return errAENotAEDesc;
    return Guarded([&] { return PutListed(list, index, QorAEValue(*value)); });
}

OSErr AEPutPtr(AEDescList* list, long index, DescType typeCode, const void* dataPtr,
               long dataSize) {
    return Guarded([&] {
        QorAEValue value;
        OSErr status = PlainValue(typeCode, dataPtr, dataSize, &value);
        return status ? status : PutListed(list, index, std::move(value));
    });
}

OSErr AEPutParamDesc(AppleEvent* event, AEKeyword keyword, const AEDesc* desc) {
    const QorAEValue* value = QorAEValueOf(desc);
    if (!value)
        return errAENotAEDesc;
    return Guarded([&] { return PutKeyed(event, keyword, QorAEValue(*value)); });
}

OSErr AEPutParamPtr(AppleEvent* event, AEKeyword keyword, DescType typeCode, const void* dataPtr,
                    long dataSize) {
    return Guarded([&] {
        QorAEValue value;
        OSErr status = PlainValue(typeCode, dataPtr, dataSize, &value);
        return status ? status : PutKeyed(event, keyword, std::move(value));
    });
}

OSErr AECountItems(const AEDescList* list, long* count) {
    if (!count)
        return paramErr;
    const QorAEValue* value = QorAEValueOf(list);
    if (!value)
        return errAENotAEDesc;
    if (value->IsPlain())
        return errAEWrongDataType;
    *count = long(value->items.size());
    return noErr;
}

OSErr AEGetNthDesc(const AEDescList* list, long index, DescType desiredType, AEKeyword* keyword,
                   AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    const QorAEValue* value = QorAEValueOf(list);
    if (!value)
        return errAENotAEDesc;
    if (value->IsPlain())
        return errAEWrongDataType;
    if (index < 1 || index > long(value->items.size()))
        return errAEIllegalIndex;
    const QorAEItem& item = value->items[size_t(index - 1)];
    if (!Accepts(desiredType, item.value.type))
        return errAECoercionFail;
    if (keyword)
        *keyword = item.keyword;
    return Guarded([&] { return QorAEDescFromValue(QorAEValue(item.value), result); });
}

OSErr AEGetParamDesc(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                     AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    OSErr status = noErr;
    const QorAEValue* param = FindParam(event, keyword, &status);
    if (!param)
        return status;
    if (!Accepts(desiredType, param->type))
        return errAECoercionFail;
    return Guarded([&] { return QorAEDescFromValue(QorAEValue(*param), result); });
}

OSErr AEGetParamPtr(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                    DescType* actualType, void* dataPtr, long maximumSize, long* actualSize) {
    OSErr status = noErr;
    const QorAEValue* param = FindParam(event, keyword, &status);
    if (!param)
        return status;
    if (!Accepts(desiredType, param->type))
        return errAECoercionFail;
    return CopyData(*param, actualType, dataPtr, maximumSize, actualSize);
}

OSErr AEGetAttributePtr(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                        DescType* actualType, void* dataPtr, long maximumSize, long* actualSize) {
    const QorAEValue* value = QorAEValueOf(event);
    if (!value)
        return errAENotAEDesc;
    if (value->type != typeAppleEvent)
        return errAEWrongDataType;
    QorAEValue attribute;
    auto put = [&](DescType type, uint32_t number, size_t size) {
        attribute.type = type;
        uint8_t bytes[4];
        memcpy(bytes, &number, 4); // native order, as the caller reads the C type back
        if (size == 2) {
            int16_t shortNumber = int16_t(number);
            memcpy(bytes, &shortNumber, 2);
        }
        attribute.bytes.assign(bytes, bytes + size);
    };
    if (keyword == keyEventClassAttr)
        put(typeType, value->eventClass, 4);
    else if (keyword == keyEventIDAttr)
        put(typeType, value->eventID, 4);
    else if (keyword == keyReturnIDAttr)
        put(typeSInt16, uint32_t(int32_t(value->returnID)), 2);
    else if (keyword == keyTransactionIDAttr)
        put(typeSInt32, uint32_t(value->transactionID), 4);
    else if (keyword == keyAddressAttr && !value->target.empty())
        attribute = value->target.front();
    else
        return errAEDescNotFound;
    if (!Accepts(desiredType, attribute.type))
        return errAECoercionFail;
    return CopyData(attribute, actualType, dataPtr, maximumSize, actualSize);
}

OSErr AEGetAttributeDesc(const AppleEvent* event, AEKeyword keyword, DescType desiredType,
                         AEDesc* result) {
    if (!result)
        return paramErr;
    AEInitializeDesc(result);
    uint8_t bytes[4];
    DescType type = typeNull;
    long size = 0;
    const QorAEValue* value = QorAEValueOf(event);
    if (keyword == keyAddressAttr && value && value->type == typeAppleEvent &&
        !value->target.empty()) {
        if (!Accepts(desiredType, value->target.front().type))
            return errAECoercionFail;
        return Guarded(
            [&] { return QorAEDescFromValue(QorAEValue(value->target.front()), result); });
    }
    OSErr status = AEGetAttributePtr(event, keyword, desiredType, &type, bytes, 4, &size);
    return status ? status : AECreateDesc(type, bytes, size, result);
}

long AEGetDescDataSize(const AEDesc* desc) {
    const QorAEValue* value = QorAEValueOf(desc);
    return value && value->IsPlain() ? long(value->bytes.size()) : 0;
}

OSErr AEGetDescData(const AEDesc* desc, void* dataPtr, long maximumSize) {
    const QorAEValue* value = QorAEValueOf(desc);
    if (!value)
        return errAENotAEDesc;
    return CopyData(*value, nullptr, dataPtr, maximumSize, nullptr);
}
