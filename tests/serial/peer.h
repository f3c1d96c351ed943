// The device end of the line the port tests open. Two kinds, chosen by the test program's
// build: a pseudo-terminal the test holds itself (pty_peer.cpp, POSIX), or the native
// program velkan-line-peer on the far side of a real port, told what to do by commands
// the test writes through the port (remote_peer.cpp; under Wine the port is a COM port
// mapped to the peer's terminal). The tests read the same either way.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "serial/port.h"

namespace serial::test {

class Peer {
public:
    virtual ~Peer() = default;

    // What OPENCOMM is given to reach this peer.
    virtual std::string port_name() const = 0;
    // Called once the port is open, before the test sends or expects anything: the peer
    // drops what an earlier test left on the line, and the ring is left empty.
    virtual void attach(PortHandle port) = 0;
    // Sends count pattern bytes from start on, after_ms milliseconds from now. Returns at
    // once; the bytes of successive calls go out in call order.
    virtual void send(std::size_t count, std::size_t start = 0, int after_ms = 0) = 0;
    // Announces that the port is about to write count bytes, and then gives them as the
    // peer received them.
    virtual void expect(std::size_t count) = 0;
    virtual std::string received() = 0;
    // The line settings the device runs with now, in line_settings.h's words.
    virtual std::string line_settings() = 0;
};

// The peer of this build.
std::unique_ptr<Peer> make_peer();

}  // namespace serial::test
