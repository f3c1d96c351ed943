// The serial port layer: a numeric port handle and seven operations on it. Each open port
// has a record with a 2048-byte ring and a reader thread that copies every received byte
// into the ring and then notifies the window named in the record (WM_COMMNOTIFY, the port
// handle, 1), waiting until the window has handled it. Reading never waits; writing waits
// until the platform reports the write done.
//
// Threads: every operation is called from the user-interface thread only. Handles not
// returned by OPENCOMM, or already closed, are refused quietly (0, false; CLOSECOMM and
// ENABLECOMMNOTIFICATION still answer true).
#pragma once

#include <cstdint>
#include <string>

#include "runtime/value.h"
#include "winlib/types.h"
#include "winlib/vocabulary.h"

namespace serial {

using PortHandle = std::intptr_t;
constexpr PortHandle kNoPort = -1;

// Opens the device exclusively (another opener gets -1 until it is closed), asks for the
// queue sizes (queue_size below), raises DTR and starts the reader thread. -1 when the
// device is missing or busy. Handles count up from 1, so a closed handle names no later
// port.
PortHandle OPENCOMM(const std::string& device_path, const runtime::Value& in_queue = {},
                    const runtime::Value& out_queue = {});

// Stops the reader thread and closes the device. When CLOSECOMM returns no notification
// is sent and no ring byte is written any more. Always true.
bool CLOSECOMM(PortHandle port);

// The number of bytes written (at most 32767 per call); short when the device failed.
int WRITECOMM(PortHandle port, const std::string& bytes);

// Copies the oldest unread bytes into the front of the buffer, as many as it is long (at
// most 32767), and returns their count; the rest of the buffer is left as it was.
int READCOMM(PortHandle port, std::string& buffer);

// True and the 28-byte settings record in dcb; or false and dcb empty.
bool BUILDCOMMDCB(const std::string& definition, std::string& dcb);

// Applies baud, parity, data bits, stop bits and flow control of the record.
bool SETCOMMSTATE(PortHandle port, const std::string& dcb);

// Window 0 turns notifications off. The thresholds are accepted and have no effect: every
// batch is notified. Always true.
bool ENABLECOMMNOTIFICATION(PortHandle port, winlib::Handle window,
                            const runtime::Value& in_threshold = {},
                            const runtime::Value& out_threshold = {});

// The number of received bytes waiting in the port's ring.
int unread(PortHandle port);

// Holds an open port and closes it when the scope ends, however it ends (a break, a quit
// or an exception included): a port left open keeps its reader thread, which must not
// outlive the program's end.
class ScopedPort {
public:
    ScopedPort() = default;
    ~ScopedPort();
    ScopedPort(const ScopedPort&) = delete;
    ScopedPort& operator=(const ScopedPort&) = delete;

    // Takes the port (kNoPort for none); one held before is closed first.
    void hold(PortHandle port);
    PortHandle get() const { return port_; }

private:
    PortHandle port_ = kNoPort;
};

// The queue size OPENCOMM asks for: a number's low 16 bits; anything else gives the
// default (1024 for input, 128 for output).
constexpr std::uint16_t kDefaultInQueue = 1024;
constexpr std::uint16_t kDefaultOutQueue = 128;
std::uint16_t queue_size(const runtime::Value& asked, std::uint16_t fallback);

}  // namespace serial
