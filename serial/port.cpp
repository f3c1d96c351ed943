#include "serial/port.h"

#include <algorithm>
#include <limits>
#include <map>
#include <mutex>
#include <span>
#include <system_error>
#include <utility>

#include "serial/port_record.h"
#include "serial/reader.h"

namespace serial {

namespace {

constexpr std::size_t kMostPerCall = 32767;  // counts are 16-bit signed

// The open ports by handle. User-interface thread only; the lock keeps a misuse from
// another thread from corrupting the map.
std::mutex g_ports_lock;
std::map<PortHandle, std::unique_ptr<PortRecord>> g_ports;
PortHandle g_last_handle = 0;

// The next handle in the count, past any still open after the count came round.
PortHandle next_handle() {
    std::lock_guard guard(g_ports_lock);
    do {
        g_last_handle =
            g_last_handle == std::numeric_limits<PortHandle>::max() ? 1 : g_last_handle + 1;
    } while (g_ports.contains(g_last_handle));
    return g_last_handle;
}

PortRecord* find(PortHandle port) {
    std::lock_guard guard(g_ports_lock);
    auto it = g_ports.find(port);
    return it == g_ports.end() ? nullptr : it->second.get();
}

std::span<const std::uint8_t> bytes_of(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), std::min(s.size(), kMostPerCall)};
}

}  // namespace

std::uint16_t queue_size(const runtime::Value& asked, std::uint16_t fallback) {
    if (!asked.is_number()) return fallback;
    return static_cast<std::uint16_t>(static_cast<long long>(asked.number()) & 0xFFFF);
}

PortHandle OPENCOMM(const std::string& device_path, const runtime::Value& in_queue,
                    const runtime::Value& out_queue) {
    auto record = std::make_unique<PortRecord>();
    record->device = open_device(device_path, queue_size(in_queue, kDefaultInQueue),
                                 queue_size(out_queue, kDefaultOutQueue));
    if (!record->device) return kNoPort;
    record->link = window_link();
    PortRecord* port = record.get();
    PortHandle handle = next_handle();
    try {
        port->reader = std::thread(run_reader, std::ref(*port), handle);
    } catch (const std::system_error&) {
        return kNoPort;  // the record and its device close on the way out
    }
    std::lock_guard guard(g_ports_lock);
    g_ports.emplace(handle, std::move(record));
    return handle;
}

bool CLOSECOMM(PortHandle handle) {
    std::unique_ptr<PortRecord> port;
    {
        std::lock_guard guard(g_ports_lock);
        auto it = g_ports.find(handle);
        if (it == g_ports.end()) return true;
        port = std::move(it->second);
        g_ports.erase(it);
    }
    port->window.store(0, std::memory_order_release);
    {
        std::lock_guard guard(port->lock);
        port->stop = true;
    }
    port->changed.notify_all();
    port->device->wake();
    // The reader may be blocked in a notification to this very thread: deliver it while
    // waiting, or neither thread would ever go on.
    std::unique_lock guard(port->lock);
    while (!port->reader_ended) {
        if (port->link.serve != nullptr) {
            guard.unlock();
            port->link.serve(10);
            guard.lock();
        } else {
            port->changed.wait(guard);
        }
    }
    guard.unlock();
    port->reader.join();
    return true;  // the device closes with the record
}

int WRITECOMM(PortHandle handle, const std::string& bytes) {
    PortRecord* port = find(handle);
    return port == nullptr ? 0 : port->device->write(bytes_of(bytes));
}

int READCOMM(PortHandle handle, std::string& buffer) {
    PortRecord* port = find(handle);
    if (port == nullptr) return 0;
    std::span out(reinterpret_cast<std::uint8_t*>(buffer.data()),
                  std::min(buffer.size(), kMostPerCall));
    int n = port->ring.take(out);
    if (n > 0) {
        // Taking the lock orders this with the reader's check for room in a full ring.
        { std::lock_guard guard(port->lock); }
        port->changed.notify_all();
    }
    return n;
}

bool BUILDCOMMDCB(const std::string& definition, std::string& dcb) {
    Dcb record = usual_dcb();
    if (!build_dcb(definition, record)) {
        dcb.clear();
        return false;
    }
    dcb = to_bytes(record);
    return true;
}

bool SETCOMMSTATE(PortHandle handle, const std::string& dcb) {
    PortRecord* port = find(handle);
    std::optional<Dcb> record = from_bytes(dcb);
    return port != nullptr && record && port->device->apply(*record);
}

bool ENABLECOMMNOTIFICATION(PortHandle handle, winlib::Handle window, const runtime::Value&,
                            const runtime::Value&) {
    PortRecord* port = find(handle);
    if (port == nullptr) return true;
    port->window.store(window, std::memory_order_release);
    if (window != 0 && port->ring.unread() > 0) {
        {
            std::lock_guard guard(port->lock);
            port->notice_asked = true;
        }
        port->changed.notify_all();
        port->device->wake();  // the reader may be waiting for the line
    }
    return true;
}

ScopedPort::~ScopedPort() {
    try {
        hold(kNoPort);
    } catch (...) {
        // Closing delivers the messages sent meanwhile; a failure there ends nothing here.
    }
}

void ScopedPort::hold(PortHandle port) {
    if (port_ != kNoPort) CLOSECOMM(std::exchange(port_, kNoPort));
    port_ = port;
}

int unread(PortHandle handle) {
    PortRecord* port = find(handle);
    return port == nullptr ? 0 : port->ring.unread();
}

}  // namespace serial
