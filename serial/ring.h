// The port record's 2048-byte ring: one writer (the reader thread) and one reader (the
// user-interface thread), no lock. Each index is written by one thread only; a byte is
// stored before the write index moves past it, and the indices are published with
// release/acquire ordering so the other thread sees the bytes they cover.
//
// Unread bytes run from the read index up to, not including, the write index, wrapping
// from 2047 to 0, so at most 2047 are unread. The writer never passes the read index: it
// takes only as many bytes as there is room for (the caller then holds back the rest).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace serial {

class Ring {
public:
    static constexpr int kSlots = 2048;
    static constexpr int kCapacity = kSlots - 1;

    // Either thread.
    int unread() const;
    // The writer, the port's reader thread, only: the room left, and the store of at most
    // that many bytes.
    int room() const;
    int put(std::span<const std::uint8_t> bytes);
    // The ring's reader, the user-interface thread (READCOMM), only: copies up to out.size()
    // oldest bytes and frees their slots.
    int take(std::span<std::uint8_t> out);

private:
    std::uint8_t slots_[kSlots] = {};
    std::atomic<std::int16_t> write_index_{0};  // written by the port's reader thread only
    std::atomic<std::int16_t> read_index_{0};   // written by the user-interface thread only
};

}  // namespace serial
