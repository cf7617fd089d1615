#include "AppleEvents.h"
#include "EventsTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using events_test::Desc;
using events_test::MakeEvent;

namespace {

std::string TextOf(const AEDesc& desc) {
    std::string text(size_t(AEGetDescDataSize(&desc)), '\0');
    EXPECT_EQ(AEGetDescData(&desc, text.data(), long(text.size())), noErr);
    return text;
}

TEST(AppleEvents, EventCarriesItsAttributesListAndKeyedParameters) {
    Desc event;
    ASSERT_EQ(
        MakeEvent(QorCode("SCae"), QorCode("SCob"), typeApplSignature, QorCode("TscX"), &event),
        noErr);
    Desc list;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    ASSERT_EQ(AEPutPtr(&list, 0, typeChar, "first", 5), noErr);
    int32_t number = -12;
    ASSERT_EQ(AEPutPtr(&list, 0, typeSInt32, &number, 4), noErr);
    ASSERT_EQ(AEPutParamDesc(&event, keyDirectObject, &*list), noErr);
    ASSERT_EQ(AEPutParamPtr(&event, QorCode("pthK"), QorCode("path"), "/a/b", 5), noErr);

    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    AEReturnID returnID = 0;
    EXPECT_EQ(
        AEGetAttributePtr(&*event, keyEventClassAttr, typeType, nullptr, &eventClass, 4, nullptr),
        noErr);
    EXPECT_EQ(
        AEGetAttributePtr(&*event, keyEventIDAttr, typeWildCard, nullptr, &eventID, 4, nullptr),
        noErr);
    EXPECT_EQ(
        AEGetAttributePtr(&*event, keyReturnIDAttr, typeSInt16, nullptr, &returnID, 2, nullptr),
        noErr);
    EXPECT_EQ(eventClass, QorCode("SCae"));
    EXPECT_EQ(eventID, QorCode("SCob"));
    EXPECT_GT(returnID, 0); // generated
    Desc address;
    ASSERT_EQ(AEGetAttributeDesc(&*event, keyAddressAttr, typeApplSignature, &address), noErr);
    uint32_t creator = 0;
    EXPECT_EQ(AEGetDescData(&*address, &creator, 4), noErr);
    EXPECT_EQ(creator, QorCode("TscX"));

    long count = 0;
    ASSERT_EQ(AECountItems(&*event, &count), noErr);
    EXPECT_EQ(count, 2);
    Desc direct;
    ASSERT_EQ(AEGetParamDesc(&*event, keyDirectObject, typeAEList, &direct), noErr);
    ASSERT_EQ(AECountItems(&*direct, &count), noErr);
    ASSERT_EQ(count, 2);
    Desc item;
    AEKeyword keyword = 0;
    ASSERT_EQ(AEGetNthDesc(&*direct, 1, typeWildCard, &keyword, &item), noErr);
    EXPECT_EQ(keyword, typeWildCard);
    EXPECT_EQ(TextOf(*item), "first");
    Desc second;
    ASSERT_EQ(AEGetNthDesc(&*direct, 2, typeSInt32, nullptr, &second), noErr);
    int32_t read = 0;
    EXPECT_EQ(AEGetDescData(&*second, &read, 4), noErr);
    EXPECT_EQ(read, -12);

    char path[8] = {};
    DescType type = 0;
    long size = 0;
    EXPECT_EQ(AEGetParamPtr(&*event, QorCode("pthK"), typeWildCard, &type, path, 2, &size), noErr);
    EXPECT_EQ(type, QorCode("path"));
    EXPECT_EQ(size, 5); // the whole size, though only 2 bytes were asked for
    EXPECT_EQ(std::string(path), "/a");
}

TEST(AppleEvents, StoredDescriptorsAreCopiesTheCallerStillDisposes) {
    Desc record;
    ASSERT_EQ(AECreateList(nullptr, 0, true, &record), noErr);
    {
        Desc text;
        ASSERT_EQ(AECreateDesc(typeChar, "old", 3, &text), noErr);
        ASSERT_EQ(AEPutKeyDesc(&record, QorCode("name"), &*text), noErr);
    } // the original is gone; the record's copy must live on (the sanitizer build checks it)
    ASSERT_EQ(AEPutKeyPtr(&record, QorCode("name"), typeChar, "new", 3), noErr);
    Desc copy;
    ASSERT_EQ(AEDuplicateDesc(&*record, &copy), noErr);
    ASSERT_EQ(AEPutKeyPtr(&record, QorCode("name"), typeChar, "newer", 5), noErr);

    long count = 0;
    ASSERT_EQ(AECountItems(&*copy, &count), noErr);
    EXPECT_EQ(count, 1); // the same keyword replaces
    Desc name;
    ASSERT_EQ(AEGetParamDesc(&*copy, QorCode("name"), typeChar, &name), noErr);
    EXPECT_EQ(TextOf(*name), "new");
}

TEST(AppleEvents, ListIndexesAppendReplaceOrFail) {
    struct Case {
        long index;
        OSErr status;
        const char* contents;
    };
    const Case cases[] = {
        {0, noErr, "abx"},
        {3, noErr, "abx"},
        {1, noErr, "xb"},
        {2, noErr, "ax"},
        {4, errAEIllegalIndex, "ab"},
        {-1, errAEIllegalIndex, "ab"},
    };
    for (const Case& c : cases) {
        Desc list;
        ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
        ASSERT_EQ(AEPutPtr(&list, 0, typeChar, "a", 1), noErr);
        ASSERT_EQ(AEPutPtr(&list, 0, typeChar, "b", 1), noErr);
        EXPECT_EQ(AEPutPtr(&list, c.index, typeChar, "x", 1), c.status) << c.index;
        std::string contents;
        long count = 0;
        ASSERT_EQ(AECountItems(&*list, &count), noErr);
        for (long i = 1; i <= count; ++i) {
            Desc item;
            ASSERT_EQ(AEGetNthDesc(&*list, i, typeWildCard, nullptr, &item), noErr);
            contents += TextOf(*item);
        }
        EXPECT_EQ(contents, c.contents) << c.index;
    }
}

TEST(AppleEvents, MisusesAreRefusedWithTheirStatus) {
    Desc event, list, record, text;
    ASSERT_EQ(MakeEvent(QorCode("clas"), QorCode("evnt"), typeApplSignature, 1, &event), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, true, &record), noErr);
    ASSERT_EQ(AECreateDesc(typeChar, "t", 1, &text), noErr);
    AEDesc scratch;
    long count = 0;

    EXPECT_EQ(AECreateDesc(typeAEList, "x", 1, &scratch), paramErr);
    EXPECT_EQ(AECreateDesc(typeChar, nullptr, 4, &scratch), paramErr);
    EXPECT_EQ(AECreateDesc(typeChar, "x", -1, &scratch), paramErr);
    EXPECT_EQ(AEPutDesc(&record, 0, &*text), errAEWrongDataType);
    EXPECT_EQ(AEPutParamDesc(&list, QorCode("kwd "), &*text), errAEWrongDataType);
    EXPECT_EQ(AEPutDesc(&list, 0, &*event), errAEWrongDataType); // no event inside another
    EXPECT_EQ(AEPutParamDesc(&event, QorCode("kwd "), &*event), errAEWrongDataType);
    EXPECT_EQ(AECountItems(&*text, &count), errAEWrongDataType);
    EXPECT_EQ(AEGetParamDesc(&*event, QorCode("none"), typeWildCard, &scratch), errAEDescNotFound);
    EXPECT_EQ(AEPutParamDesc(&event, QorCode("kwd "), &*text), noErr);
    EXPECT_EQ(AEGetParamDesc(&*event, QorCode("kwd "), typeSInt32, &scratch), errAECoercionFail);
    EXPECT_EQ(AEGetNthDesc(&*list, 1, typeWildCard, nullptr, &scratch), errAEIllegalIndex);
    EXPECT_EQ(AECreateAppleEvent(1, 2, &*list, 0, 0, &scratch), errAEWrongDataType);

    AEDesc mismatched{typeChar, nullptr}; // claims data it does not have
    EXPECT_EQ(AEDuplicateDesc(&mismatched, &scratch), errAENotAEDesc);
    EXPECT_EQ(scratch.descriptorType, typeNull);
    EXPECT_EQ(scratch.dataHandle, nullptr);
}

} // namespace
