// The transfer's side of the device protocol, for tests that fetch a TAP image's files
// through the port layer and rebuild the image from the answers.
#pragma once

#include <string>
#include <vector>

#include "serial/port.h"

namespace device::test {

// The names of a TAP image's header blocks, in order.
std::vector<std::string> names(const std::string& image);

// Up to count bytes from the port, giving up once the line has been quiet for quiet_ms.
std::string receive(serial::PortHandle port, std::size_t count, int quiet_ms = 2000);

// Asks for one file and builds its two TAP blocks as the transfer does: a 19-byte header
// with its XOR check byte, then the data block with flag 0xFF. Empty when no answer came.
std::string fetch(serial::PortHandle port, const std::string& name);

}  // namespace device::test
