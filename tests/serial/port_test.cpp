// The port layer over real pseudo-terminals: the test plays the device on the master side
// and the user-interface thread on its own thread (ui_queue.h delivers the notifications).
#include "serial/port.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "serial/dcb.h"
#include "tests/serial/pty.h"
#include "tests/serial/ui_queue.h"

namespace serial {
namespace {

using test::pattern;
using test::Pty;

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
        port = OPENCOMM(pty.path(), 16384, 16384);
        ASSERT_NE(port, kNoPort);
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

    Pty pty;
    PortHandle port = kNoPort;
    std::atomic<int> notifications{0};
    std::function<void()> on_notify;
    std::string received;
};

TEST_F(Port, ReadOfAThousandFromFifteenHundredLeavesFiveHundredInOrder) {
    pty.send(pattern(1500));
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
    std::thread peer([&] { pty.send(pattern(10000)); });
    test::serve_until([&] { return unread(port) == 2047; });
    while (received.size() < 10000) {
        take_all();
        std::this_thread::yield();
    }
    peer.join();
    EXPECT_EQ(received, pattern(10000));
    EXPECT_EQ(notifications, 0);
}

TEST_F(Port, NotificationsOffKeepFillingAndOnAgainNotify) {
    pty.send(pattern(10));
    test::serve_until([&] { return unread(port) == 10; });
    EXPECT_EQ(notifications, 0);
    EXPECT_TRUE(ENABLECOMMNOTIFICATION(port, kWindow, 1, -1));
    drain_on_notify();
    pty.send(pattern(5, 10));
    test::serve_until([&] { return received.size() == 15; });
    EXPECT_GE(notifications, 1);
    EXPECT_EQ(received, pattern(15));
}

TEST_F(Port, ABurstCrossingTheRingEndManyTimesArrivesWholeAndInOrder) {
    constexpr std::size_t kBurst = 1 << 20;
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    std::thread peer([&] { pty.send(pattern(kBurst)); });
    test::serve_until([&] { return received.size() >= kBurst; });
    peer.join();
    EXPECT_EQ(received.size(), kBurst);
    EXPECT_TRUE(received == pattern(kBurst));
}

TEST_F(Port, NothingIsNotifiedAfterClose) {
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    pty.send("x");
    test::serve_until([&] { return notifications > 0; });
    EXPECT_TRUE(CLOSECOMM(port));
    int seen = notifications;
    pty.send(pattern(3000));
    for (int i = 0; i < 20; ++i) test::serve_until([] { return true; });
    EXPECT_EQ(test::pending_messages(), 0);
    EXPECT_EQ(notifications, seen);
    std::string buf(10, ' ');
    EXPECT_EQ(READCOMM(port, buf), 0);  // the handle is no longer a port
}

TEST_F(Port, CloseWhileTheReaderWaitsOnThisThreadNeitherHangsNorNotifiesLater) {
    // The reader is blocked in its notification to this thread, which is not serving
    // messages but closing the port.
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    pty.send("abc");
    while (test::pending_messages() == 0) std::this_thread::yield();
    EXPECT_TRUE(CLOSECOMM(port));
    EXPECT_EQ(test::pending_messages(), 0);
    int seen = notifications;
    pty.send(pattern(100));
    for (int i = 0; i < 20; ++i) test::serve_until([] { return true; });
    EXPECT_EQ(notifications, seen);
    EXPECT_EQ(test::pending_messages(), 0);
}

TEST_F(Port, WritesReachTheDeviceWhole) {
    std::string data = pattern(3000);
    std::string got;
    std::thread peer([&] { got = pty.receive(data.size()); });
    EXPECT_EQ(WRITECOMM(port, data), 3000);
    peer.join();
    EXPECT_EQ(got, data);
    EXPECT_EQ(WRITECOMM(port, ""), 0);
}

TEST_F(Port, AHungUpDeviceParksTheReaderAndCloseStillEnds) {
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    drain_on_notify();
    pty.send("ab");
    test::serve_until([&] { return received.size() == 2; });
    pty.hang_up();
    for (int i = 0; i < 5; ++i) test::serve_until([] { return true; });
    EXPECT_TRUE(CLOSECOMM(port));
}

TEST(OpenComm, MissingOrBusyPortsGiveMinusOne) {
    Pty pty;
    PortHandle first = OPENCOMM(pty.path());
    ASSERT_NE(first, kNoPort);
    EXPECT_EQ(OPENCOMM(pty.path()), kNoPort) << "busy";
    EXPECT_EQ(OPENCOMM("\\\\.\\" + pty.path()), kNoPort) << "busy under the device prefix";
    EXPECT_EQ(OPENCOMM("/dev/velkan-no-such-port"), kNoPort);
    EXPECT_EQ(OPENCOMM("\\\\.\\velkan-no-such-port"), kNoPort);
    EXPECT_EQ(OPENCOMM("/dev/null"), kNoPort) << "not a terminal";
    EXPECT_TRUE(CLOSECOMM(first));
    PortHandle again = OPENCOMM("\\\\.\\" + pty.path());
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
    for (const Case& c : cases) {
        Pty pty;
        PortHandle port = OPENCOMM(pty.path(), c.in, c.out);
        ASSERT_NE(port, kNoPort);
        auto sizes = queue_sizes(port);
        ASSERT_TRUE(sizes);
        EXPECT_EQ(sizes->first, c.want_in);
        EXPECT_EQ(sizes->second, c.want_out);
        CLOSECOMM(port);
        EXPECT_FALSE(queue_sizes(port));
    }
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

// A pseudo-terminal keeps 8 data bits without parity whatever it is asked; the rest of the
// line settings it takes and shows on its other end.
TEST(SetCommState, AppliesBaudStopBitsAndFlow) {
    struct Case {
        const char* definition;
        speed_t speed;
        tcflag_t cflag_set, cflag_clear, iflag_set, iflag_clear;
    } cases[] = {
        {"57600,N,8,1", B57600, CS8, PARENB | CSTOPB | CRTSCTS, 0, IXON | IXOFF | INPCK},
        {"96,N,8,2", B9600, CS8 | CSTOPB, PARENB | CRTSCTS, 0, IXON},
        {"19200,N,8,1,x", B19200, CS8, CRTSCTS, IXON | IXOFF, 0},
        {"115200,N,8,1,p", B115200, CS8 | CRTSCTS, 0, 0, IXON | IXOFF},
        {"baud=38400 parity=N data=8 stop=1", B38400, CS8, PARENB | CSTOPB, 0, 0},
        {"baud=57600 parity=n data=8 stop=2 octs=on", B57600, CS8 | CSTOPB | CRTSCTS, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Pty pty;
        PortHandle port = OPENCOMM(pty.path());
        ASSERT_NE(port, kNoPort);
        std::string dcb;
        ASSERT_TRUE(BUILDCOMMDCB(c.definition, dcb)) << c.definition;
        EXPECT_TRUE(SETCOMMSTATE(port, dcb)) << c.definition;
        termios t{};
        ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.definition;
        EXPECT_EQ(t.c_cflag & c.cflag_set, c.cflag_set) << c.definition;
        EXPECT_EQ(t.c_cflag & c.cflag_clear, 0u) << c.definition;
        EXPECT_EQ(t.c_iflag & c.iflag_set, c.iflag_set) << c.definition;
        EXPECT_EQ(t.c_iflag & c.iflag_clear, 0u) << c.definition;
        CLOSECOMM(port);
    }
}

TEST(SetCommState, RefusesRecordsTheDeviceCannotTake) {
    Pty pty;
    PortHandle port = OPENCOMM(pty.path());
    ASSERT_NE(port, kNoPort);
    std::string good;
    ASSERT_TRUE(BUILDCOMMDCB("57600,N,8,1", good));
    Dcb odd = *from_bytes(good);
    odd.baud_rate = 12345;
    Dcb wide = *from_bytes(good);
    wide.byte_size = 9;
    std::string seven_even, six_bits;
    ASSERT_TRUE(BUILDCOMMDCB("9600,E,7,2", seven_even));
    ASSERT_TRUE(BUILDCOMMDCB("38400,N,6,1", six_bits));
    ASSERT_TRUE(SETCOMMSTATE(port, good));
    for (const std::string& dcb :
         {good.substr(0, 27), std::string(), to_bytes(odd), to_bytes(wide), seven_even, six_bits}) {
        EXPECT_FALSE(SETCOMMSTATE(port, dcb));
        termios t{};
        ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), B57600) << "the settings before are kept";
    }
    EXPECT_TRUE(SETCOMMSTATE(port, good)) << "the port stays usable";
    CLOSECOMM(port);
}

}  // namespace
}  // namespace serial
