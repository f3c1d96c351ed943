// The port layer's behaviour over a real line, the same for both backends: the peer
// (peer.h) plays the device, and the test thread is the user-interface thread
// (ui_queue.h delivers the notifications).
#include "serial/port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "runtime/error.h"
#include "serial/dcb.h"
#include "tests/serial/pattern.h"
#include "tests/serial/peer.h"
#include "tests/serial/ui_queue.h"

namespace serial {
namespace {

using test::pattern;

constexpr winlib::Handle kWindow = 0x1234;

class Port : public testing::Test {
protected:
    void SetUp() override {
        test::install_ui_queue([this](const test::Message& m) {
            EXPECT_EQ(m.window, kWindow);
            EXPECT_EQ(m.message, winlib::msg::kCommNotify);
            EXPECT_EQ(m.wparam, static_cast<std::uintptr_t>(port));
            EXPECT_EQ(m.lparam, 1);
            ++notifications;
            if (on_notify) on_notify();
        });
        port = OPENCOMM(peer->port_name(), 16384, 16384);
        ASSERT_NE(port, kNoPort) << peer->port_name();
        // As the application does; it also undoes an earlier test's flow control.
        std::string dcb;
        ASSERT_TRUE(BUILDCOMMDCB("57600,N,8,1", dcb));
        ASSERT_TRUE(SETCOMMSTATE(port, dcb));
        peer->attach(port);
    }
    void TearDown() override { CLOSECOMM(port); }

    // What the transfer's arrival handler does: detach, take the ring empty, attach.
    void drain_on_notify() {
        on_notify = [this] {
            ENABLECOMMNOTIFICATION(port, 0, 1, -1);
            take_all();
            ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
        };
    }
    void take_all() {
        for (;;) {
            std::string buf(1000, ' ');
            int n = READCOMM(port, buf);
            received.append(buf, 0, static_cast<std::size_t>(n));
            if (n == 0) return;
        }
    }

    std::unique_ptr<test::Peer> peer = test::make_peer();
    PortHandle port = kNoPort;
    std::atomic<int> notifications{0};
    std::function<void()> on_notify;
    std::string received;
};

TEST_F(Port, ReadOfAThousandFromFifteenHundredLeavesFiveHundredInOrder) {
    peer->send(1500);
    test::serve_until([&] { return unread(port) == 1500; });
    std::string buf(1000, ' ');
    EXPECT_EQ(READCOMM(port, buf), 1000);
    EXPECT_EQ(buf, pattern(1000));
    EXPECT_EQ(unread(port), 500);
    std::string rest(600, '#');
    EXPECT_EQ(READCOMM(port, rest), 500);
    EXPECT_EQ(rest, pattern(500, 1000) + std::string(100, '#'));
    std::string untouched = "unchanged";
    EXPECT_EQ(READCOMM(port, untouched), 0);
    EXPECT_EQ(untouched, "unchanged");
}

TEST_F(Port, AFullRingHoldsTheDeviceBackAndLosesNothing) {
    // No notifications: nobody reads while 10000 bytes come, five times the ring.
    peer->send(10000);
    test::serve_until([&] { return unread(port) == 2047; });
    while (received.size() < 10000) {
        take_all();
        test::serve_for(1);
    }
    EXPECT_EQ(received, pattern(10000));
    EXPECT_EQ(notifications, 0);
}

TEST_F(Port, NotificationsOffKeepFillingAndOnAgainNotify) {
    peer->send(10);
    test::serve_until([&] { return unread(port) == 10; });
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(ENABLECOMMNOTIFICATION(port, kWindow, 1, -1));
    drain_on_notify();
    peer->send(5, 10);
    test::serve_until([&] { return received.size() == 15; });
    EXPECT_GE(notifications, 1);
    EXPECT_EQ(received, pattern(15));
}

TEST_F(Port, TurningNotificationsOnNotifiesTheBytesWaiting) {
    // Bytes that came before notifications were on: a few, the line then silent; and more
    // than the ring holds, which holds the device back until someone reads.
    std::size_t sent = 0;
    for (std::size_t count : {std::size_t{5}, std::size_t{3000}}) {
        ENABLECOMMNOTIFICATION(port, 0, 1, -1);
        on_notify = nullptr;  // a notification sent before the switch only counts
        peer->send(count, sent);
        sent += count;
        test::serve_until([&] { return unread(port) == std::min(static_cast<int>(count), 2047); });
        drain_on_notify();
        ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
        EXPECT_TRUE(test::serve_until([&] { return received.size() == sent; }, 5000)) << count;
        EXPECT_EQ(received, pattern(sent)) << count;
    }
}

TEST_F(Port, ABurstCrossingTheRingEndManyTimesArrivesWholeAndInOrder) {
    constexpr std::size_t kBurst = 1 << 20;
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    peer->send(kBurst);
    test::serve_until([&] { return received.size() >= kBurst; });
    EXPECT_EQ(received.size(), kBurst);
    EXPECT_TRUE(received == pattern(kBurst));
}

TEST_F(Port, BytesTricklingInArriveWholeAndGatheredIntoFewerNotifications) {
    // Four bytes every 2 ms, as a slow line delivers them: each arrival must not cost a
    // notification of its own, and none of the bytes may be lost or reordered.
    constexpr int kArrivals = 50;
    constexpr std::size_t kEach = 4;
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    for (int i = 0; i < kArrivals; ++i) peer->send(kEach, i * kEach, 2);
    test::serve_until([&] { return received.size() >= kArrivals * kEach; });
    EXPECT_EQ(received, pattern(kArrivals * kEach));
    EXPECT_LT(notifications, kArrivals);
}

TEST_F(Port, NothingIsNotifiedAfterClose) {
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    peer->send(1);
    peer->send(3000, 0, 300);  // arrives once the port is closed
    test::serve_until([&] { return notifications > 0; });
    EXPECT_TRUE(CLOSECOMM(port));
    int seen = notifications;
    test::serve_for(1000);
    EXPECT_EQ(test::pending_messages(), 0);
    EXPECT_EQ(notifications, seen);
    std::string buf(10, ' ');
    EXPECT_EQ(READCOMM(port, buf), 0);  // the handle is no longer a port
}

TEST_F(Port, CloseWhileTheReaderWaitsOnThisThreadNeitherHangsNorNotifiesLater) {
    // The reader is blocked in its notification to this thread, which is not serving
    // messages but closing the port.
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    peer->send(3);
    peer->send(100, 0, 300);
    for (int waited_ms = 0; test::pending_messages() == 0; ++waited_ms) {
        ASSERT_LT(waited_ms, 10000) << "no notification came";
        test::sleep_for(1);
    }
    EXPECT_TRUE(CLOSECOMM(port));
    EXPECT_EQ(test::pending_messages(), 0);
    int seen = notifications;
    test::serve_for(1000);
    EXPECT_EQ(notifications, seen);
    EXPECT_EQ(test::pending_messages(), 0);
}

TEST_F(Port, WritesReachTheDeviceWhole) {
    std::string data = pattern(3000);
    peer->expect(data.size());
    EXPECT_EQ(WRITECOMM(port, data), 3000);
    EXPECT_TRUE(peer->received() == data);
    EXPECT_EQ(WRITECOMM(port, ""), 0);
}

TEST_F(Port, SettingsApplyBaudStopBitsAndFlow) {
    // A pseudo-terminal keeps 8 data bits without parity whatever it is asked.
    struct Case {
        const char* definition;
        const char* line;
    } cases[] = {
        {"57600,N,8,1", "57600 8N1"},
        {"96,N,8,2", "9600 8N2"},
        {"19200,N,8,1,x", "19200 8N1 ixon ixoff"},
        {"115200,N,8,1,p", "115200 8N1 rtscts"},
        {"baud=38400 parity=N data=8 stop=1", "38400 8N1"},
        {"baud=57600 parity=n data=8 stop=2 octs=on", "57600 8N2 rtscts"},
    };
    for (const Case& c : cases) {
        std::string dcb;
        ASSERT_TRUE(BUILDCOMMDCB(c.definition, dcb)) << c.definition;
        EXPECT_TRUE(SETCOMMSTATE(port, dcb)) << c.definition;
        EXPECT_EQ(peer->line_settings(), c.line) << c.definition;
    }
}

TEST(ScopedPortTest, ThePortIsClosedHoweverTheScopeEnds) {
    std::unique_ptr<test::Peer> peer = test::make_peer();
    const std::function<void()> endings[] = {
        [] {},
        [] { throw runtime::Break{}; },
        [] { throw runtime::Quit{1}; },
        [] { throw std::runtime_error("failure"); },
    };
    int way = 0;
    for (const auto& end_scope : endings) {
        PortHandle held = kNoPort;
        try {
            ScopedPort port;
            port.hold(OPENCOMM(peer->port_name()));
            held = port.get();
            ASSERT_NE(held, kNoPort) << way;
            end_scope();
        } catch (...) {
        }
        EXPECT_EQ(WRITECOMM(held, "x"), 0) << way << ": the handle is closed";
        PortHandle again = OPENCOMM(peer->port_name());
        EXPECT_NE(again, kNoPort) << way << ": the device is free again";
        CLOSECOMM(again);
        ++way;
    }
}

TEST(OpenComm, MissingOrBusyPortsGiveMinusOne) {
    std::unique_ptr<test::Peer> peer = test::make_peer();
    PortHandle first = OPENCOMM(peer->port_name());
    ASSERT_NE(first, kNoPort);
    EXPECT_EQ(OPENCOMM(peer->port_name()), kNoPort) << "busy";
    EXPECT_EQ(OPENCOMM("\\\\.\\" + peer->port_name()), kNoPort) << "busy under the device prefix";
    EXPECT_EQ(OPENCOMM("\\\\.\\velkan-no-such-port"), kNoPort);
    EXPECT_EQ(OPENCOMM("COM199"), kNoPort);
    EXPECT_TRUE(CLOSECOMM(first));
    PortHandle again = OPENCOMM("\\\\.\\" + peer->port_name());
    EXPECT_NE(again, kNoPort) << "free again once closed";
    CLOSECOMM(again);
}

TEST(OpenComm, QueueSizesFollowTheRules) {
    struct Case {
        runtime::Value in, out;
        std::uint16_t want_in, want_out;
    } cases[] = {
        {{}, {}, 1024, 128},         {16384, 16384, 16384, 16384},
        {65536 + 5, 70000, 5, 4464}, {runtime::Value(std::string("16384")), true, 1024, 128},
        {0, 65535, 0, 65535},
    };
    std::unique_ptr<test::Peer> peer = test::make_peer();
    for (const Case& c : cases) {
        EXPECT_EQ(queue_size(c.in, kDefaultInQueue), c.want_in);
        EXPECT_EQ(queue_size(c.out, kDefaultOutQueue), c.want_out);
        PortHandle port = OPENCOMM(peer->port_name(), c.in, c.out);
        ASSERT_NE(port, kNoPort);
        CLOSECOMM(port);
    }
}

TEST(OpenComm, AClosedHandleNamesNoLaterPort) {
    std::unique_ptr<test::Peer> peer = test::make_peer();
    PortHandle first = OPENCOMM(peer->port_name());
    ASSERT_GE(first, 0);
    CLOSECOMM(first);
    PortHandle later = OPENCOMM(peer->port_name());
    ASSERT_GE(later, 0);
    EXPECT_NE(later, first);
    EXPECT_EQ(WRITECOMM(first, "abc"), 0) << "the closed handle writes nowhere";
    EXPECT_TRUE(CLOSECOMM(first));
    EXPECT_EQ(WRITECOMM(later, "abc"), 3) << "closing the old handle left the later port open";
    CLOSECOMM(later);
}

TEST(OpenComm, ClosedOrUnknownHandlesAreRefusedQuietly) {
    std::string buf = "keep";
    for (PortHandle h : {kNoPort, PortHandle{0}, PortHandle{12345}}) {
        EXPECT_EQ(READCOMM(h, buf), 0);
        EXPECT_EQ(buf, "keep");
        EXPECT_EQ(WRITECOMM(h, "abc"), 0);
        EXPECT_FALSE(SETCOMMSTATE(h, std::string(28, '\0')));
        EXPECT_TRUE(ENABLECOMMNOTIFICATION(h, kWindow, 1, -1));
        EXPECT_TRUE(CLOSECOMM(h));
    }
}

}  // namespace
}  // namespace serial
