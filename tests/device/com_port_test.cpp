// velkan-device on the far side of a real port (under Wine a COM port mapped to its
// terminal): every file of the TAP image it serves, fetched through the port layer, gives
// back the image byte for byte. The port is VELKAN_TEST_PORT, the image VELKAN_TEST_TAP.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "serial/port.h"
#include "tests/device/tap_fetch.h"

namespace {

TEST(DeviceOverPort, ServesTheTapImageByteForByte) {
    const char* port_name = std::getenv("VELKAN_TEST_PORT");
    const char* tap = std::getenv("VELKAN_TEST_TAP");
    ASSERT_TRUE(port_name != nullptr && tap != nullptr);
    std::ifstream in(tap, std::ios::binary);
    std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(image.empty()) << tap;

    serial::PortHandle port = serial::OPENCOMM(port_name, 16384, 16384);
    ASSERT_NE(port, serial::kNoPort) << port_name;
    std::string dcb;
    ASSERT_TRUE(serial::BUILDCOMMDCB("57600,N,8,1", dcb));
    ASSERT_TRUE(serial::SETCOMMSTATE(port, dcb));
    std::string fetched;
    for (const std::string& name : device::test::names(image))
        fetched += device::test::fetch(port, name);
    EXPECT_EQ(serial::WRITECOMM(port, "\x09"), 1);  // the end byte
    serial::CLOSECOMM(port);
    EXPECT_EQ(fetched.size(), image.size());
    EXPECT_TRUE(fetched == image);
}

}  // namespace
