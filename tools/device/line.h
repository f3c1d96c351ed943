// The device's end of the serial line: a pseudo-terminal it creates (the program opens its
// other end) or a serial port it opens, and the way bytes go out on it, with the faults a
// test may ask for. Bytes sent are counted from 0 over the whole session.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace device {

struct Faults {
    bool paced = true;                          // at the line rate, else as fast as possible
    std::optional<std::uint64_t> pause_before;  // the byte number before which to pause
    int pause_ms = 0;
    std::set<std::uint64_t> dropped;            // byte numbers never sent
    std::optional<std::uint64_t> silent_after;  // nothing more once this many were sent
};

class Line {
public:
    // A new pseudo-terminal (port empty) or the serial port named; nothing on failure.
    static std::optional<Line> open(const std::string& port, std::string& error);
    Line(Line&& other) noexcept;
    ~Line();

    // The path the program opens: the terminal's other end, or the port itself.
    const std::string& path() const { return path_; }

    // Blocks; nothing when the line is gone.
    std::optional<std::uint8_t> read_byte();
    void send(const std::string& bytes, const Faults& faults);
    std::uint64_t sent() const { return counted_; }

private:
    Line(int fd, int keep_open, std::string path);
    void put(const char* bytes, std::size_t count);

    int fd_ = -1;
    int keep_open_ = -1;  // the terminal's other end, held so it never hangs up on us
    std::string path_;
    std::uint64_t counted_ = 0;
    double paced_from_ = -1;  // clock reading of the first paced byte
    std::uint64_t paced_count_ = 0;
};

constexpr int kLineRate = 5760;  // bytes per second at 57600 baud, 8N1

}  // namespace device
