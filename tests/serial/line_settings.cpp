#include "tests/serial/line_settings.h"

#include <termios.h>

namespace serial::test {

namespace {

long baud_of(speed_t speed) {
    struct Pair {
        speed_t speed;
        long baud;
    } pairs[] = {{B110, 110},     {B300, 300},     {B600, 600},      {B1200, 1200},
                 {B2400, 2400},   {B4800, 4800},   {B9600, 9600},    {B19200, 19200},
                 {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    for (const Pair& p : pairs)
        if (p.speed == speed) return p.baud;
    return -1;
}

}  // namespace

std::string describe_line(int terminal_fd) {
    termios t{};
    if (tcgetattr(terminal_fd, &t) != 0) return "no terminal";
    int bits = (t.c_cflag & CSIZE) == CS5   ? 5
               : (t.c_cflag & CSIZE) == CS6 ? 6
               : (t.c_cflag & CSIZE) == CS7 ? 7
                                            : 8;
    char parity = (t.c_cflag & PARENB) == 0 ? 'N' : (t.c_cflag & PARODD) != 0 ? 'O' : 'E';
    std::string out = std::to_string(baud_of(cfgetospeed(&t))) + " " + std::to_string(bits) +
                      parity + ((t.c_cflag & CSTOPB) != 0 ? "2" : "1");
    if ((t.c_cflag & CRTSCTS) != 0) out += " rtscts";
    if ((t.c_iflag & IXON) != 0) out += " ixon";
    if ((t.c_iflag & IXOFF) != 0) out += " ixoff";
    return out;
}

}  // namespace serial::test
