#include "EventReceiver.h"
#include "EventWire.h"
#include "EventsTestSupport.h"
#include "MachPortFolder.h"
#include "MachPorts.h"

#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using events_test::Desc;
using events_test::MakeEvent;
using events_test::TempRoot;

namespace {

std::string CodeText(uint32_t code) {
    char text[5];
    QorCodeToChars(code, text);
    return text;
}

std::string DataOf(const AEDesc& desc) {
    std::string data(size_t(AEGetDescDataSize(&desc)), '\0');
    (void)AEGetDescData(&desc, data.data(), long(data.size()));
    return data;
}

// What a handler saw, as one line: class, ID, then each parameter as keyword=type:data, lists
// as [..].
std::string Describe(const AppleEvent& event) {
    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    (void)AEGetAttributePtr(&event, keyEventClassAttr, typeType, nullptr, &eventClass, 4, nullptr);
    (void)AEGetAttributePtr(&event, keyEventIDAttr, typeType, nullptr, &eventID, 4, nullptr);
    std::string line = CodeText(eventClass) + "/" + CodeText(eventID);
    long count = 0;
    (void)AECountItems(&event, &count);
    for (long i = 1; i <= count; ++i) {
        Desc param;
        AEKeyword keyword = 0;
        (void)AEGetNthDesc(&event, i, typeWildCard, &keyword, &param);
        line += " " + CodeText(keyword) + "=" + CodeText((*param).descriptorType) + ":";
        long items = 0;
        if (AECountItems(&*param, &items) == noErr) {
            line += "[";
            for (long j = 1; j <= items; ++j) {
                Desc item;
                (void)AEGetNthDesc(&*param, j, typeWildCard, nullptr, &item);
                line += (j > 1 ? "," : "") + CodeText((*item).descriptorType) + ":" + DataOf(*item);
            }
            line += "]";
        } else {
            line += DataOf(*param);
        }
    }
    return line;
}

int ConnectRaw(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A receiver in this process with a handler that keeps what it saw and a problem handler that
// keeps what was dropped.
struct LocalReceiver {
    TempRoot root;
    QorEventReceiver receiver;
    std::vector<std::string> seen;
    std::vector<std::string> problems;

    LocalReceiver() {
        receiver.InstallHandler(typeWildCard, typeWildCard, [this](const AppleEvent& event) {
            seen.push_back(Describe(event));
        });
        receiver.SetProblemHandler(
            [this](OSErr, const std::string& what) { problems.push_back(what); });
        EXPECT_EQ(receiver.Register(QorCode("SaMP")), noErr);
    }
    std::string Port() const { return receiver.PortPaths().at(0); }

    OSStatus SendBySignature(AEEventID id) {
        Desc event;
        EXPECT_EQ(MakeEvent(QorCode("test"), id, typeApplSignature, QorCode("SaMP"), &event),
                  noErr);
        return AESendMessage(&*event, nullptr, kAENoReply, 0);
    }
};

// The real path end to end: a receiver in another process, the event found through the
// port look-ups and sent through the socket, the handler sees every value.
TEST(EventReceiver, EventReachesTheHandlerOfAnotherProcess) {
    TempRoot root;
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QorEventReceiver receiver;
        std::string line;
        receiver.InstallHandler(QorCode("SCae"), QorCode("SCob"),
                                [&](const AppleEvent& event) { line = Describe(event); });
        receiver.InstallHandler(QorCode("SCae"), typeWildCard,
                                [&](const AppleEvent&) { line = "wildcard"; });
        if (receiver.Register(QorCode("SaMP")) != noErr)
            _exit(2);
        (void)!write(report[1], "R", 1);
        pollfd watch{receiver.FileDescriptor(), POLLIN, 0};
        while (line.empty() && poll(&watch, 1, 10000) > 0)
            receiver.Dispatch();
        line += "\n";
        (void)!write(report[1], line.data(), line.size());
        _exit(0);
    }
    char ready = 0;
    ASSERT_EQ(read(report[0], &ready, 1), 1);

    task_t task;
    mach_port_t bootstrap, port;
    ASSERT_EQ(task_for_pid(mach_task_self(), child, &task), KERN_SUCCESS);
    ASSERT_EQ(task_get_special_port(task, TASK_BOOTSTRAP_PORT, &bootstrap), KERN_SUCCESS);
    ASSERT_EQ(bootstrap_look_up(bootstrap, QorProcessPortName(child).c_str(), &port), KERN_SUCCESS);
    Desc event, list;
    ASSERT_EQ(MakeEvent(QorCode("SCae"), QorCode("SCob"), typeMachPort, port, &event), noErr);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    ASSERT_EQ(AEPutPtr(&list, 0, typeAlias, "QALS/data/a b", 13), noErr);
    ASSERT_EQ(AEPutPtr(&list, 0, typeChar, "second", 6), noErr);
    ASSERT_EQ(AEPutParamDesc(&event, keyDirectObject, &*list), noErr);
    ASSERT_EQ(AEPutParamPtr(&event, QorCode("pthK"), QorCode("path"), "/data/a b", 9), noErr);
    ASSERT_EQ(AEPutParamPtr(&event, QorCode("kwd1"), typeSInt32, "\x0c\0\0\0", 4), noErr);
    ASSERT_EQ(AESendMessage(&*event, nullptr, kAENoReply, 0), noErr);

    std::string line;
    char c;
    while (read(report[0], &c, 1) == 1 && c != '\n')
        line += c;
    EXPECT_EQ(line, std::string("SCae/SCob ----=list:[alis:QALS/data/a b,TEXT:second] "
                                "pthK=path:/data/a b kwd1=long:\x0c") +
                        std::string(3, '\0'));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

TEST(EventReceiver, MalformedMessagesAreDroppedAndTheReceiverGoesOn) {
    LocalReceiver local;
    std::vector<uint8_t> valid;
    {
        Desc event;
        ASSERT_EQ(MakeEvent(1, 2, typeApplSignature, 3, &event), noErr);
        ASSERT_EQ(QorEncodeEvent(&*event, &valid), noErr);
    }
    std::vector<uint8_t> badBody = valid;
    badBody[kQorEventWireHeaderSize] ^= 0xff; // the event's type code
    std::vector<uint8_t> huge = valid;
    huge[8] = 0x7f; // a body of about 2 GB announced

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* problem; // null: nothing to report
    };
    const Case cases[] = {
        {"garbage",
         {'G', 'E', 'T', ' ', '/', ' ', 'H', 'T', 'T', 'P', '/', '1'},
         "event dropped: not an event message"},
        {"cut short", std::vector<uint8_t>(valid.begin(), valid.end() - 3),
         "event dropped: truncated message"},
        {"bad body", badBody, "event dropped: not an event"},
        {"oversized", huge, "event dropped: message too large"},
        {"nothing at all", {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        local.problems.clear();
        int fd = ConnectRaw(local.Port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, c.bytes.data(), c.bytes.size()), ssize_t(c.bytes.size()));
        close(fd);
        OSErr status = local.receiver.Dispatch();
        if (c.problem) {
            EXPECT_EQ(status, errAECorruptData);
            EXPECT_EQ(local.problems, std::vector<std::string>{c.problem});
        } else {
            EXPECT_EQ(status, noErr);
            EXPECT_TRUE(local.problems.empty());
        }
    }
    EXPECT_TRUE(local.seen.empty());
    ASSERT_EQ(local.SendBySignature(QorCode("next")), noErr);
    EXPECT_EQ(local.receiver.Dispatch(), noErr);
    EXPECT_EQ(local.seen, std::vector<std::string>{"test/next"});
}

// Senders that stop half-way must not hold the receiver: Dispatch returns at once and later
// events still come through, even past the limit of senders kept at the same time.
TEST(EventReceiver, StuckSendersNeverBlockTheReceiver) {
    LocalReceiver local;
    std::vector<int> stuck;
    for (size_t i = 0; i < kQorEventMaxPendingSenders + 3; ++i) {
        int fd = ConnectRaw(local.Port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "QoAE", 4), 4); // half a header, then silence
        stuck.push_back(fd);
        local.receiver.Dispatch();
    }
    EXPECT_EQ(local.problems.size(), 3u); // the oldest were cut off
    ASSERT_EQ(local.SendBySignature(QorCode("live")), noErr);
    local.receiver.Dispatch();
    EXPECT_EQ(local.seen, std::vector<std::string>{"test/live"});
    for (int fd : stuck)
        close(fd);
}

TEST(EventReceiver, UnhandledEventIsReportedAndExactHandlerWins) {
    TempRoot root;
    QorEventReceiver receiver;
    std::vector<std::string> calls, problems;
    receiver.InstallHandler(QorCode("test"), QorCode("one "),
                            [&](const AppleEvent&) { calls.push_back("exact"); });
    receiver.InstallHandler(typeWildCard, QorCode("one "),
                            [&](const AppleEvent&) { calls.push_back("any class"); });
    receiver.SetProblemHandler([&](OSErr, const std::string& what) { problems.push_back(what); });
    ASSERT_EQ(receiver.Register(QorCode("SaMP")), noErr);
    for (AEEventID id : {QorCode("one "), QorCode("two ")}) {
        Desc event;
        ASSERT_EQ(MakeEvent(QorCode("test"), id, typeApplSignature, QorCode("SaMP"), &event),
                  noErr);
        ASSERT_EQ(AESendMessage(&*event, nullptr, kAENoReply, 0), noErr);
    }
    EXPECT_EQ(receiver.Dispatch(), errAEEventNotHandled);
    EXPECT_EQ(calls, std::vector<std::string>{"exact"});
    EXPECT_EQ(problems, std::vector<std::string>{"event dropped: no handler for it"});
}

TEST(EventReceiver, StaleSocketIsReplacedButALiveOwnerKeepsItsSignature) {
    TempRoot root;
    ASSERT_EQ(QorPreparePortFolder(), noErr);
    // A socket left behind by a process that is gone.
    std::string stale = QorPortPath(geteuid(), QorProcessPortName(getpid()));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, stale.c_str(), sizeof address.sun_path - 1);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);

    QorEventReceiver first;
    ASSERT_EQ(first.Register(QorCode("SaMP")), noErr);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QorEventReceiver second;
        OSErr status = second.Register(QorCode("SaMP"));
        char answer = status == dupFNErr && second.PortPaths().size() == 1 ? 'd' : 'x';
        (void)!write(ready[1], &answer, 1);
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'd'); // its own port bound, the signature left to the first instance
    waitpid(child, nullptr, 0);
}

} // namespace
