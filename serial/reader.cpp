#include "serial/reader.h"

#include <algorithm>
#include <array>

namespace serial {

namespace {

constexpr int kBatch = 1023;  // bytes taken from the device per pass at most

// Waits until the ring has room or a stop is asked; false on stop.
bool wait_for_room(PortRecord& port) {
    std::unique_lock guard(port.lock);
    port.changed.wait(guard, [&] { return port.stop || port.ring.room() > 0; });
    return !port.stop;
}

void wait_for_stop(PortRecord& port) {
    std::unique_lock guard(port.lock);
    port.changed.wait(guard, [&] { return port.stop; });
}

bool stopping(PortRecord& port) {
    std::lock_guard guard(port.lock);
    return port.stop;
}

void notify(PortRecord& port, std::intptr_t handle) {
    winlib::Handle window = port.window.load(std::memory_order_acquire);
    if (window == 0 || port.link.send == nullptr || stopping(port)) return;
    // Synchronous: the ring does not change while the window handles it. A stop asked
    // meanwhile is safe: CLOSECOMM delivers this message while it waits for us.
    port.link.send(window, winlib::msg::kCommNotify, static_cast<std::uintptr_t>(handle), 1);
}

}  // namespace

void run_reader(PortRecord& port, std::intptr_t handle) {
    std::array<std::uint8_t, kBatch + 1> batch{};
    while (wait_for_room(port)) {
        Arrival arrival = port.device->wait_input();
        if (arrival == Arrival::kFailed) {
            // A device that is gone would report the same at once, forever: park.
            wait_for_stop(port);
            break;
        }
        if (arrival == Arrival::kWoken) continue;
        int room = std::min(kBatch, port.ring.room());
        int n = port.device->read_some(std::span(batch.data(), static_cast<std::size_t>(room)));
        port.ring.put(std::span(batch.data(), static_cast<std::size_t>(n)));
        notify(port, handle);
    }
    std::lock_guard guard(port.lock);
    port.reader_ended = true;
    port.changed.notify_all();
}

}  // namespace serial
