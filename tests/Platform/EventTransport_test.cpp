#include "EventTransport.h"
#include "EventsTestSupport.h"
#include "MachPorts.h"

#include <gtest/gtest.h>

using events_test::Desc;
using events_test::MakeEvent;
using events_test::TempRoot;

namespace {

TEST(EventTransport, FakeAnswersInTurnAndKeepsEveryEvent) {
    QorFakeEventTransport fake;
    QorScopedEventTransport use(&fake);
    fake.SetResults({procNotFound, procNotFound, procNotFound, procNotFound, procNotFound});
    Desc event;
    ASSERT_EQ(
        MakeEvent(QorCode("clas"), QorCode("evnt"), typeApplSignature, QorCode("TscX"), &event),
        noErr);
    std::vector<OSStatus> results;
    for (int i = 0; i < 7; ++i)
        results.push_back(AESendMessage(&*event, nullptr, kAENoReply, 0));
    EXPECT_EQ(results, (std::vector<OSStatus>{-600, -600, -600, -600, -600, 0, 0}));
    ASSERT_EQ(fake.Events().size(), 7u);
    AEEventID id = 0;
    EXPECT_EQ(
        AEGetAttributePtr(&fake.Events()[5], keyEventIDAttr, typeType, nullptr, &id, 4, nullptr),
        noErr);
    EXPECT_EQ(id, QorCode("evnt"));
}

TEST(EventTransport, UndeliverableEventsGiveTheirStatus) {
    TempRoot root;
    Desc bySignature, byUnknownPort, byPath, list;
    ASSERT_EQ(MakeEvent(1, 2, typeApplSignature, QorCode("none"), &bySignature), noErr);
    ASSERT_EQ(MakeEvent(1, 2, typeMachPort, 0x4242, &byUnknownPort), noErr);
    ASSERT_EQ(MakeEvent(1, 2, typeChar, QorCode("path"), &byPath), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    AppleEvent reply;
    EXPECT_EQ(AESendMessage(&*bySignature, &reply, kAENoReply, 0), procNotFound);
    EXPECT_EQ(reply.descriptorType, typeNull);
    EXPECT_EQ(AESendMessage(&*byUnknownPort, nullptr, kAENoReply, 0), procNotFound);
    EXPECT_EQ(AESendMessage(&*byPath, nullptr, kAENoReply, 0), errAEUnknownAddressType);
    EXPECT_EQ(AESendMessage(&*bySignature, nullptr, kAEWaitReply, 0), paramErr);
    EXPECT_EQ(AESendMessage(&*list, nullptr, kAENoReply, 0), errAENotAEDesc);
}

} // namespace
