// A terminal's line settings in words both kinds of peer report and the tests compare:
// "<baud> <data bits><parity letter><stop bits>" and then " rtscts", " ixon", " ixoff" for
// the flow control that is on, e.g. "57600 8N1" or "19200 8N1 ixon ixoff".
#pragma once

#include <string>

namespace serial::test {

std::string describe_line(int terminal_fd);

}  // namespace serial::test
