// The reader thread of an open port.
#pragma once

#include <cstdint>

#include "serial/port_record.h"

namespace serial {

// Waits for bytes, copies them into the ring (never more than it has room for: with the
// ring full it takes nothing from the device until READCOMM frees room, so the device
// holds the rest back and nothing is lost), then notifies the record's window and waits
// until it has been handled. Bytes that trickle in are gathered for a few milliseconds
// first, so that the window is not notified once per byte. Returns only after CLOSECOMM
// asked it to stop.
void run_reader(PortRecord& port, std::intptr_t handle);

}  // namespace serial
