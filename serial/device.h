// The seam between the port layer and its one backend (serial/posix or serial/win32,
// chosen by the build). A Device is an open serial device; the port record owns it.
//
// Threads: wait_input() and read_some() are called by the port's reader thread only;
// write() and apply() by the user-interface thread only; wake() by any thread, and it is
// the one call that may overlap the others.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "serial/dcb.h"

namespace serial {

enum class Arrival {
    kBytes,   // bytes may be waiting: read what has come
    kWoken,   // wake() was called
    kFailed,  // the device reports an error that waiting again will not clear (unplugged)
};

class Device {
public:
    virtual ~Device() = default;

    // Blocks until received bytes may be waiting, or until wake().
    virtual Arrival wait_input() = 0;
    // Takes at most out.size() of the bytes already received, never waiting for more;
    // clears any line error on the way (the bytes are kept as they came).
    virtual int read_some(std::span<std::uint8_t> out) = 0;
    // Writes all the bytes, waiting until the platform reports the write done; the count
    // written, short when the device failed. Returns at once when the write cannot start.
    virtual int write(std::span<const std::uint8_t> bytes) = 0;
    // Applies a settings record; false when the device refuses it.
    virtual bool apply(const Dcb& dcb) = 0;
    // Makes a pending or the next wait_input() return kWoken; the wait after that one waits
    // again (the reader looks at why it was woken first).
    virtual void wake() = 0;
};

// Opens the device exclusively with the given queue sizes and raises DTR; nothing when
// it does not exist or is in use.
std::unique_ptr<Device> open_device(const std::string& path, std::uint16_t in_queue,
                                    std::uint16_t out_queue);

// The platform's mode-string parser over a record that starts with the fields the layer
// chooses; false when it rejects the definition.
bool build_dcb(const std::string& definition, Dcb& dcb);

}  // namespace serial
