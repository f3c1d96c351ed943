// What only the termios backend shows: a device that hangs up, a device path that is not a
// terminal, and settings a pseudo-terminal cannot take.
#include <gtest/gtest.h>
#include <termios.h>

#include "serial/dcb.h"
#include "serial/port.h"
#include "tests/serial/pty.h"
#include "tests/serial/ui_queue.h"

namespace serial {
namespace {

constexpr winlib::Handle kWindow = 0x1234;

TEST(PosixPort, AHungUpDeviceParksTheReaderAndCloseStillEnds) {
    test::Pty pty;
    PortHandle port = OPENCOMM(pty.path());
    ASSERT_NE(port, kNoPort);
    std::string received;
    test::install_ui_queue([&](const test::Message&) {
        std::string buf(100, ' ');
        received.append(buf, 0, static_cast<std::size_t>(READCOMM(port, buf)));
    });
    ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    pty.send("ab");
    test::serve_until([&] { return received.size() == 2; });
    pty.hang_up();
    test::serve_for(100);
    EXPECT_TRUE(CLOSECOMM(port));
    EXPECT_EQ(received, "ab");
}

TEST(PosixPort, APathThatIsNotATerminalGivesMinusOne) {
    EXPECT_EQ(OPENCOMM("/dev/null"), kNoPort);
    EXPECT_EQ(OPENCOMM("/dev/velkan-no-such-port"), kNoPort);
}

TEST(PosixPort, RefusesRecordsTheDeviceCannotTake) {
    test::Pty pty;
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
