// One open port: what the user-interface thread and the port's reader thread share.
// Each field says who may touch it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "serial/device.h"
#include "serial/ring.h"
#include "serial/window_link.h"
#include "winlib/types.h"

namespace serial {

struct PortRecord {
    // Written once by OPENCOMM before the reader thread starts; the device is closed by
    // CLOSECOMM only after the reader thread has ended.
    std::unique_ptr<Device> device;
    WindowLink link;

    // Bytes and write index: reader thread; read index: user-interface thread (ring.h).
    Ring ring;
    // The window to notify after each batch, 0 for none: written by the user-interface
    // thread, read by the reader thread.
    std::atomic<winlib::Handle> window{0};

    // The stop handshake, the notice asked for and the reader's wait for room in a full
    // ring, under lock.
    std::mutex lock;
    std::condition_variable changed;  // room freed, notice or stop asked, reader ended
    bool stop = false;                // set by CLOSECOMM
    // Set by ENABLECOMMNOTIFICATION when it names a window while unread bytes wait; cleared
    // by the reader thread as it sends a notification.
    bool notice_asked = false;
    bool reader_ended = false;  // set by the reader thread as its last act

    // User-interface thread only.
    std::thread reader;
};

}  // namespace serial
