#include <gtest/gtest.h>

#include "serial/posix/device_path.h"

namespace serial::posix {
namespace {

TEST(DevicePath, PortNamesBecomeDevicePaths) {
    struct Case {
        const char* name;
        const char* path;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"\\\\.\\COM1", "/dev/ttyS0"},
        {"com12", "/dev/ttyS11"},
        {"\\\\.\\/dev/pts/7", "/dev/pts/7"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"ttyUSB0", "/dev/ttyUSB0"},
        {"\\\\.\\ttyACM1", "/dev/ttyACM1"},
        {"COM0", "/dev/COM0"},
        {"COMX", "/dev/COMX"},
    };
    for (const Case& c : cases) EXPECT_EQ(device_path(c.name), c.path) << c.name;
}

}  // namespace
}  // namespace serial::posix
