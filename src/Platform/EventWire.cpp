#include "EventWire.h"
#include "AppleEventsStorage.h"

#include <new>

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'o', 'A', 'E'};

void PutU32(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back(uint8_t(value >> 24));
    out->push_back(uint8_t(value >> 16));
    out->push_back(uint8_t(value >> 8));
    out->push_back(uint8_t(value));
}

void PutU16(std::vector<uint8_t>* out, uint16_t value) {
    out->push_back(uint8_t(value >> 8));
    out->push_back(uint8_t(value));
}

void SetU32(std::vector<uint8_t>* out, size_t at, uint32_t value) {
    (*out)[at] = uint8_t(value >> 24);
    (*out)[at + 1] = uint8_t(value >> 16);
    (*out)[at + 2] = uint8_t(value >> 8);
    (*out)[at + 3] = uint8_t(value);
}

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint16_t GetU16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

class Encoder {
public:
    explicit Encoder(std::vector<uint8_t>* out) : mOut(out) {}

    // False when the value breaks a limit or is not allowed where it stands.
    bool Put(const QorAEValue& value, int depth) {
        if (depth > kQorEventWireMaxDepth || ++mItems > kQorEventWireMaxItems)
            return false;
        if (value.type == typeAppleEvent && depth != 1)
            return false;
        PutU32(mOut, value.type);
        size_t lengthAt = mOut->size();
        PutU32(mOut, 0);
        if (value.type == typeAppleEvent) {
            PutU32(mOut, value.eventClass);
            PutU32(mOut, value.eventID);
            PutU16(mOut, uint16_t(value.returnID));
            PutU32(mOut, uint32_t(value.transactionID));
            QorAEValue none;
            const QorAEValue& target = value.target.empty() ? none : value.target.front();
            if (!target.IsPlain() || !Put(target, depth + 1))
                return false;
        }
        if (value.IsPlain()) {
            mOut->insert(mOut->end(), value.bytes.begin(), value.bytes.end());
        } else {
            PutU32(mOut, uint32_t(value.items.size()));
            for (const QorAEItem& item : value.items) {
                if (value.IsKeyed())
                    PutU32(mOut, item.keyword);
                if (!Put(item.value, depth + 1))
                    return false;
            }
        }
        if (mOut->size() > kQorEventWireMaxSize)
            return false;
        SetU32(mOut, lengthAt, uint32_t(mOut->size() - lengthAt - 4));
        return true;
    }

private:
    std::vector<uint8_t>* mOut;
    size_t mItems = 0;
};

class Decoder {
public:
    std::string mWhy;

    // Reads one descriptor from [*p, end); on success *p is past it.
    bool Get(const uint8_t** p, const uint8_t* end, int depth, QorAEValue* out) {
        if (depth > kQorEventWireMaxDepth)
            return Fail("nesting too deep");
        if (++mItems > kQorEventWireMaxItems)
            return Fail("too many items");
        if (end - *p < 8)
            return Fail("truncated descriptor");
        out->type = GetU32(*p);
        uint32_t length = GetU32(*p + 4);
        *p += 8;
        if (length > size_t(end - *p))
            return Fail("length past the end");
        const uint8_t* payloadEnd = *p + length;
        if (out->type == typeAppleEvent) {
            if (depth != 1)
                return Fail("event inside an event");
            if (!GetEventHead(p, payloadEnd, depth, out))
                return false;
        } else if (depth == 1) {
            return Fail("not an event");
        }
        if (out->IsPlain()) {
            if (out->type == typeNull && length != 0)
                return Fail("null descriptor with data");
            out->bytes.assign(*p, payloadEnd);
            *p = payloadEnd;
            return true;
        }
        if (payloadEnd - *p < 4)
            return Fail("truncated count");
        uint32_t count = GetU32(*p);
        *p += 4;
        // Every item takes at least 8 bytes (12 with its keyword): a count that cannot fit is
        // refused before anything is allocated for it.
        size_t smallest = out->IsKeyed() ? 12 : 8;
        if (count > kQorEventWireMaxItems || count * smallest > size_t(payloadEnd - *p))
            return Fail("too many items");
        out->items.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            QorAEItem item{typeWildCard, {}};
            if (out->IsKeyed()) {
                if (payloadEnd - *p < 4)
                    return Fail("truncated keyword");
                item.keyword = GetU32(*p);
                *p += 4;
                for (const QorAEItem& earlier : out->items)
                    if (earlier.keyword == item.keyword)
                        return Fail("keyword given twice");
            }
            if (!Get(p, payloadEnd, depth + 1, &item.value))
                return false;
            out->items.push_back(std::move(item));
        }
        if (*p != payloadEnd)
            return Fail("bytes left in a descriptor");
        return true;
    }

private:
    size_t mItems = 0;

    bool Fail(const char* why) {
        mWhy = why;
        return false;
    }

    bool GetEventHead(const uint8_t** p, const uint8_t* end, int depth, QorAEValue* out) {
        if (end - *p < 14)
            return Fail("truncated event");
        out->eventClass = GetU32(*p);
        out->eventID = GetU32(*p + 4);
        out->returnID = AEReturnID(GetU16(*p + 8));
        out->transactionID = AETransactionID(GetU32(*p + 10));
        *p += 14;
        QorAEValue target;
        if (!Get(p, end, depth + 1, &target))
            return false;
        if (!target.IsPlain())
            return Fail("target is not a plain value");
        if (target.type != typeNull)
            out->target.push_back(std::move(target));
        return true;
    }
};

} // namespace

OSErr QorEncodeEvent(const AppleEvent* event, std::vector<uint8_t>* message) {
    const QorAEValue* value = QorAEValueOf(event);
    if (!message || !value || value->type != typeAppleEvent)
        return paramErr;
    try {
        message->assign(kMagic, kMagic + 4);
        PutU16(message, kQorEventWireVersion);
        PutU16(message, 0);
        PutU32(message, 0);
        if (!Encoder(message).Put(*value, 1)) {
            message->clear();
            return paramErr;
        }
        SetU32(message, 8, uint32_t(message->size() - kQorEventWireHeaderSize));
        return noErr;
    } catch (const std::bad_alloc&) {
        message->clear();
        return memFullErr;
    }
}

OSErr QorCheckEventHeader(const uint8_t* header, size_t size, uint32_t* bodyLength,
                          std::string* why) {
    auto fail = [&](const char* reason) {
        if (why)
            *why = reason;
        return errAECorruptData;
    };
    if (!header || size < kQorEventWireHeaderSize)
        return fail("truncated header");
    if (header[0] != kMagic[0] || header[1] != kMagic[1] || header[2] != kMagic[2] ||
        header[3] != kMagic[3])
        return fail("not an event message");
    if (GetU16(header + 4) != kQorEventWireVersion)
        return fail("unsupported version");
    if (GetU16(header + 6) != 0)
        return fail("reserved bits set");
    uint32_t length = GetU32(header + 8);
    if (length > kQorEventWireMaxSize - kQorEventWireHeaderSize)
        return fail("message too large");
    if (bodyLength)
        *bodyLength = length;
    return noErr;
}

OSErr QorDecodeEvent(const uint8_t* message, size_t size, AppleEvent* event, std::string* why) {
    if (!event)
        return paramErr;
    AEInitializeDesc(event);
    uint32_t bodyLength = 0;
    OSErr status = QorCheckEventHeader(message, size, &bodyLength, why);
    if (status)
        return status;
    if (size - kQorEventWireHeaderSize != bodyLength) {
        if (why)
            *why = size - kQorEventWireHeaderSize < bodyLength ? "truncated message"
                                                               : "bytes after the message";
        return errAECorruptData;
    }
    try {
        Decoder decoder;
        QorAEValue value;
        const uint8_t* p = message + kQorEventWireHeaderSize;
        const uint8_t* end = message + size;
        if (!decoder.Get(&p, end, 1, &value) || p != end) {
            if (why)
                *why = decoder.mWhy.empty() ? "bytes after the event" : decoder.mWhy;
            return errAECorruptData;
        }
        return QorAEDescFromValue(std::move(value), event);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
}
