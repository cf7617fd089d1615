#include "EventWire.h"
#include "EventsTestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using events_test::Desc;
using events_test::MakeEvent;
using Bytes = std::vector<uint8_t>;

namespace {

// Hand-made wire pieces, for messages the encoder would never write.
Bytes U32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Descriptor(DescType type, const Bytes& payload) {
    return Cat({U32(type), U32(uint32_t(payload.size())), payload});
}

Bytes List(const std::vector<Bytes>& items) {
    Bytes payload = U32(uint32_t(items.size()));
    for (const Bytes& item : items)
        payload = Cat({payload, item});
    return Descriptor(typeAEList, payload);
}

Bytes Event(const std::vector<std::pair<AEKeyword, Bytes>>& params) {
    Bytes payload = Cat({U32(QorCode("clas")),
                         U32(QorCode("evnt")),
                         {0, 1},
                         U32(0),
                         Descriptor(typeApplSignature, U32(7)),
                         U32(uint32_t(params.size()))});
    for (const auto& [keyword, value] : params)
        payload = Cat({payload, U32(keyword), value});
    return Descriptor(typeAppleEvent, payload);
}

Bytes Message(const Bytes& body, uint16_t version = kQorEventWireVersion) {
    return Cat({{'Q', 'o', 'A', 'E', uint8_t(version >> 8), uint8_t(version), 0, 0},
                U32(uint32_t(body.size())),
                body});
}

Bytes Nested(int depth) { // text inside depth lists
    Bytes value = Descriptor(typeChar, {'x'});
    for (int i = 0; i < depth; ++i)
        value = List({value});
    return value;
}

OSErr Decode(const Bytes& message, std::string* why = nullptr) {
    Desc event;
    return QorDecodeEvent(message.data(), message.size(), &event, why);
}

// An event with everything a launch sends: a direct-object list with an alias-like blob and
// text, a nested record, keyed parameters of several types, an empty list.
void MakeRichEvent(AppleEvent* event) {
    ASSERT_EQ(MakeEvent(QorCode("SCae"), QorCode("SCob"), typeMachPort, 0x1234, event), noErr);
    Desc list, record, empty;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    Bytes blob = {0, 1, 2, 0xff, '/', 't', 'm', 'p', 0};
    ASSERT_EQ(AEPutPtr(&list, 0, typeAlias, blob.data(), long(blob.size())), noErr);
    ASSERT_EQ(AEPutPtr(&list, 0, typeChar, "scan", 4), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, true, &record), noErr);
    int16_t small = -3;
    ASSERT_EQ(AEPutKeyPtr(&record, QorCode("shrt"), typeSInt16, &small, 2), noErr);
    ASSERT_EQ(AEPutDesc(&list, 0, &*record), noErr);
    ASSERT_EQ(AEPutParamDesc(event, keyDirectObject, &*list), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &empty), noErr);
    ASSERT_EQ(AEPutParamDesc(event, QorCode("empt"), &*empty), noErr);
    ASSERT_EQ(AEPutParamPtr(event, QorCode("pthK"), QorCode("path"), "/tmp", 5), noErr);
    ASSERT_EQ(AEPutParamPtr(event, QorCode("none"), typeChar, nullptr, 0), noErr);
}

TEST(EventWire, RoundTripKeepsEveryValue) {
    Desc event;
    MakeRichEvent(&event);
    Bytes message;
    ASSERT_EQ(QorEncodeEvent(&*event, &message), noErr);

    Desc decoded;
    std::string why;
    ASSERT_EQ(QorDecodeEvent(message.data(), message.size(), &decoded, &why), noErr) << why;
    Bytes again;
    ASSERT_EQ(QorEncodeEvent(&*decoded, &again), noErr);
    EXPECT_EQ(again, message); // every type, keyword, order and byte came through

    Desc direct, alias;
    ASSERT_EQ(AEGetParamDesc(&*decoded, keyDirectObject, typeAEList, &direct), noErr);
    ASSERT_EQ(AEGetNthDesc(&*direct, 1, typeAlias, nullptr, &alias), noErr);
    Bytes blob(size_t(AEGetDescDataSize(&*alias)));
    ASSERT_EQ(AEGetDescData(&*alias, blob.data(), long(blob.size())), noErr);
    EXPECT_EQ(blob, (Bytes{0, 1, 2, 0xff, '/', 't', 'm', 'p', 0}));
    uint32_t port = 0;
    ASSERT_EQ(
        AEGetAttributePtr(&*decoded, keyAddressAttr, typeMachPort, nullptr, &port, 4, nullptr),
        noErr);
    EXPECT_EQ(port, 0x1234u);
}

TEST(EventWire, MalformedMessagesAreRefusedWithAReason) {
    const Bytes text = Descriptor(typeChar, {'h', 'i'});
    const Bytes good = Message(Event({{keyDirectObject, List({text})}}));
    ASSERT_EQ(Decode(good), noErr);

    Bytes badMagic = good;
    badMagic[0] = 'X';
    Bytes reserved = good;
    reserved[7] = 1;
    Bytes longer = good;
    longer.push_back(0);
    Bytes lengthPastEnd = Message(Event({{keyDirectObject, Cat({U32(typeChar), U32(99), {'h'}})}}));
    Bytes tooManyItems = Message(
        Event({{keyDirectObject, Cat({U32(typeAEList), U32(8), U32(0xffffffff), U32(0)})}}));
    std::vector<Bytes> many(kQorEventWireMaxItems + 1, Descriptor(typeNull, {}));
    Bytes oversized = Cat({{'Q', 'o', 'A', 'E', 0, 1, 0, 0}, U32(uint32_t(kQorEventWireMaxSize))});

    struct Case {
        const char* name;
        Bytes message;
        const char* why;
    };
    const Case cases[] = {
        {"empty", {}, "truncated header"},
        {"half a header", Bytes(good.begin(), good.begin() + 6), "truncated header"},
        {"cut in the body", Bytes(good.begin(), good.end() - 1), "truncated message"},
        {"wrong magic", badMagic, "not an event message"},
        {"wrong version", Message(Event({}), 2), "unsupported version"},
        {"reserved bits", reserved, "reserved bits set"},
        {"byte after the message", longer, "bytes after the message"},
        {"header claims too much", oversized, "message too large"},
        {"length past the end", lengthPastEnd, "length past the end"},
        {"count past the end", tooManyItems, "too many items"},
        {"too many items", Message(Event({{keyDirectObject, List(many)}})), "too many items"},
        {"too deep", Message(Event({{keyDirectObject, Nested(kQorEventWireMaxDepth - 1)}})),
         "nesting too deep"},
        {"not an event", Message(text), "not an event"},
        {"event in an event", Message(Event({{keyDirectObject, Event({})}})),
         "event inside an event"},
        {"keyword twice", Message(Event({{QorCode("kwd1"), text}, {QorCode("kwd1"), text}})),
         "keyword given twice"},
        {"null with data", Message(Event({{keyDirectObject, Descriptor(typeNull, {'x'})}})),
         "null descriptor with data"},
        {"list target",
         Message(
             Descriptor(typeAppleEvent, Cat({U32(1), U32(2), {0, 1}, U32(0), List({}), U32(0)}))),
         "target is not a plain value"},
        {"item longer than its list",
         Message(Event(
             {{keyDirectObject, Cat({U32(typeAEList), U32(4 + 10 + 2), U32(1), text, {0, 0}})}})),
         "bytes left in a descriptor"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(Decode(c.message, &why), errAECorruptData) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
    }
    // The deepest nesting allowed (the event, its parameter and lists down to the last level)
    // still passes: the limit is not off by one.
    EXPECT_EQ(Decode(Message(Event({{keyDirectObject, Nested(kQorEventWireMaxDepth - 2)}}))),
              noErr);
}

TEST(EventWire, EveryCutOfAValidMessageIsRefused) {
    Desc event;
    MakeRichEvent(&event);
    Bytes message;
    ASSERT_EQ(QorEncodeEvent(&*event, &message), noErr);
    for (size_t size = 0; size < message.size(); ++size) {
        Bytes cut(message.begin(), message.begin() + long(size));
        EXPECT_EQ(Decode(cut), errAECorruptData) << size;
    }
}

TEST(EventWire, SenderRefusesWhatReceiversWouldRefuse) {
    Desc deep, big;
    ASSERT_EQ(MakeEvent(1, 2, typeApplSignature, 3, &deep), noErr);
    Desc inner;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &inner), noErr);
    for (int i = 0; i < kQorEventWireMaxDepth; ++i) {
        Desc outer;
        ASSERT_EQ(AECreateList(nullptr, 0, false, &outer), noErr);
        ASSERT_EQ(AEPutDesc(&outer, 0, &*inner), noErr);
        std::swap(*&inner, *&outer);
    }
    ASSERT_EQ(AEPutParamDesc(&deep, keyDirectObject, &*inner), noErr);
    ASSERT_EQ(MakeEvent(1, 2, typeApplSignature, 3, &big), noErr);
    std::string data(kQorEventWireMaxSize, 'x');
    ASSERT_EQ(AEPutParamPtr(&big, keyDirectObject, typeChar, data.data(), long(data.size())),
              noErr);

    Bytes message;
    EXPECT_EQ(QorEncodeEvent(&*deep, &message), paramErr);
    EXPECT_EQ(QorEncodeEvent(&*big, &message), paramErr);
    EXPECT_TRUE(message.empty());
}

// Random bytes and random damage to a valid message: the decoder must never crash, read out of
// bounds (the sanitizer build checks) or accept something it cannot encode again.
TEST(EventWire, RandomInputNeverBreaksTheDecoder) {
    Desc event;
    MakeRichEvent(&event);
    Bytes valid;
    ASSERT_EQ(QorEncodeEvent(&*event, &valid), noErr);
    std::mt19937 random(20240611);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        Bytes input;
        if (round % 2 == 0) {
            input.resize(random() % 200);
            for (uint8_t& byte : input)
                byte = uint8_t(random());
            if (input.size() >= 8 && round % 4 == 0) // get past the header check now and then
                std::copy(valid.begin(), valid.begin() + 8, input.begin());
        } else {
            input = valid;
            for (int flips = 1 + int(random() % 4); flips > 0; --flips)
                input[random() % input.size()] = uint8_t(random());
        }
        Desc decoded;
        if (QorDecodeEvent(input.data(), input.size(), &decoded, nullptr) == noErr) {
            ++accepted;
            Bytes again;
            EXPECT_EQ(QorEncodeEvent(&*decoded, &again), noErr);
            EXPECT_EQ(again, input);
        }
    }
    EXPECT_GT(accepted, 0); // some damage only changes data bytes, which stays valid
}

} // namespace
