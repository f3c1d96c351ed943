#include "serial/ring.h"

#include <algorithm>

namespace serial {

namespace {

std::int16_t advance(std::int16_t index) {
    return static_cast<std::int16_t>((index + 1) % Ring::kSlots);
}

}  // namespace

int Ring::unread() const {
    int w = write_index_.load(std::memory_order_acquire);
    int r = read_index_.load(std::memory_order_acquire);
    return (w - r + kSlots) % kSlots;
}

int Ring::room() const { return kCapacity - unread(); }

int Ring::put(std::span<const std::uint8_t> bytes) {
    std::int16_t w = write_index_.load(std::memory_order_relaxed);
    int n = std::min(static_cast<int>(bytes.size()), room());
    for (int i = 0; i < n; ++i) {
        slots_[w] = bytes[static_cast<std::size_t>(i)];
        w = advance(w);
        write_index_.store(w, std::memory_order_release);
    }
    return n;
}

int Ring::take(std::span<std::uint8_t> out) {
    std::int16_t r = read_index_.load(std::memory_order_relaxed);
    int n = std::min(static_cast<int>(out.size()), unread());
    for (int i = 0; i < n; ++i) {
        out[static_cast<std::size_t>(i)] = slots_[r];
        r = advance(r);
        read_index_.store(r, std::memory_order_release);
    }
    return n;
}

}  // namespace serial
