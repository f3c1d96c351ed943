#include "serial/reader.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "winlib/vocabulary.h"

namespace serial {

namespace {

constexpr int kBatch = 1023;  // bytes taken from the device per pass at most
// Bytes that trickle in are gathered: the next pass first waits this long, then takes what
// came meanwhile, without waiting for each arrival. At the line rate the window is then
// notified a couple of hundred bytes at a time instead of once per byte, and this thread
// wakes twice per gathering (its wait, the notification's return) instead of twice per
// byte. Short beside the 2-second time-out of a byte; a little under a multiple of 10 ms,
// the bound of a waiting program's passes, so that a notification ends a pass's wait
// rather than coming just after its time-out.
constexpr auto kGather = std::chrono::milliseconds(39);
// A pass trickles when it emptied the device and its bytes came slower than this while
// it waited (ten times the 57600-baud line rate). A device that sends faster, or whose
// bytes were already waiting, is read at once, pass after pass.
constexpr double kTrickleRate = 57600.0;  // bytes per second

// Waits until the ring has room, a notice is asked or a stop is; false on stop.
bool wait_for_room(PortRecord& port) {
    std::unique_lock guard(port.lock);
    port.changed.wait(guard,
                      [&] { return port.stop || port.notice_asked || port.ring.room() > 0; });
    return !port.stop;
}

bool notice_asked(PortRecord& port) {
    std::lock_guard guard(port.lock);
    return port.notice_asked;
}

void wait_for_stop(PortRecord& port) {
    std::unique_lock guard(port.lock);
    port.changed.wait(guard, [&] { return port.stop; });
}

// Waits the gathering time, cut short by a stop.
void gather(PortRecord& port) {
    std::unique_lock guard(port.lock);
    port.changed.wait_for(guard, kGather, [&] { return port.stop; });
}

void notify(PortRecord& port, std::intptr_t handle) {
    {
        // Cleared before sending: the window may ask for the next notice while it handles
        // this one.
        std::lock_guard guard(port.lock);
        port.notice_asked = false;
        if (port.stop) return;
    }
    winlib::Handle window = port.window.load(std::memory_order_acquire);
    if (window == 0 || port.link.send == nullptr) return;
    // Synchronous: the ring does not change while the window handles it. A stop asked
    // meanwhile is safe: CLOSECOMM delivers this message while it waits for us.
    port.link.send(window, winlib::msg::kCommNotify, static_cast<std::uintptr_t>(handle), 1);
}

}  // namespace

void run_reader(PortRecord& port, std::intptr_t handle) {
    std::array<std::uint8_t, kBatch + 1> batch{};
    bool trickling = false;  // the last pass emptied the device, and bytes came slowly
    while (wait_for_room(port)) {
        // Notifications just turned on find bytes waiting: with a full ring no batch would
        // ever come to notify them, and a silent line would hold them back as long.
        if (notice_asked(port)) {
            notify(port, handle);
            continue;
        }
        auto waited_from = std::chrono::steady_clock::now();
        if (trickling) {
            gather(port);
        } else {
            Arrival arrival = port.device->wait_input();
            if (arrival == Arrival::kFailed) {
                // A device that is gone would report the same at once, forever: park.
                wait_for_stop(port);
                break;
            }
            if (arrival == Arrival::kWoken) continue;
        }
        int room = std::min(kBatch, port.ring.room());
        int n = port.device->read_some(std::span(batch.data(), static_cast<std::size_t>(room)));
        port.ring.put(std::span(batch.data(), static_cast<std::size_t>(n)));
        std::chrono::duration<double> waited = std::chrono::steady_clock::now() - waited_from;
        // Nothing came while gathering: the line is quiet, wait for its next arrival.
        trickling = n > 0 && n < room && n < kTrickleRate * waited.count();
        notify(port, handle);  // after every pass, even one that found nothing
    }
    std::lock_guard guard(port.lock);
    port.reader_ended = true;
    port.changed.notify_all();
}

}  // namespace serial
