#include "tools/device/line.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace device {

namespace {

double now_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void make_raw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&t, B57600);
    tcsetattr(fd, TCSANOW, &t);
}

}  // namespace

std::optional<Line> Line::open(const std::string& port, std::string& error) {
    if (port.empty()) {
        int master = -1, slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
            return std::nullopt;
        }
        make_raw(master);
        make_raw(slave);
        return Line(master, slave, name);
    }
    int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error = "cannot open " + port + ": " + std::strerror(errno);
        return std::nullopt;
    }
    make_raw(fd);
    return Line(fd, -1, port);
}

Line::Line(int fd, int keep_open, std::string path)
    : fd_(fd), keep_open_(keep_open), path_(std::move(path)) {}

Line::Line(Line&& o) noexcept
    : fd_(o.fd_), keep_open_(o.keep_open_), path_(std::move(o.path_)), counted_(o.counted_) {
    o.fd_ = o.keep_open_ = -1;
}

Line::~Line() {
    if (fd_ >= 0) close(fd_);
    if (keep_open_ >= 0) close(keep_open_);
}

std::optional<std::uint8_t> Line::read_byte() {
    for (;;) {
        unsigned char b = 0;
        ssize_t n = read(fd_, &b, 1);
        if (n == 1) return b;
        if (n < 0 && errno == EINTR) continue;
        return std::nullopt;
    }
}

void Line::put(const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t n = write(fd_, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
}

void Line::send(const std::string& bytes, const Faults& faults) {
    std::string run;  // bytes ready to go out together
    auto flush = [&] {
        put(run.data(), run.size());
        run.clear();
    };
    for (char c : bytes) {
        std::uint64_t number = counted_++;
        if (faults.silent_after && number >= *faults.silent_after) continue;
        if (faults.dropped.count(number) != 0) continue;
        if (faults.pause_before && number == *faults.pause_before) {
            flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(faults.pause_ms));
            paced_from_ = -1;
        }
        if (faults.paced) {
            // Byte k of a paced run leaves k / rate seconds after the run began.
            if (paced_from_ < 0) {
                paced_from_ = now_seconds();
                paced_count_ = 0;
            }
            double due = paced_from_ + static_cast<double>(paced_count_++) / kLineRate;
            double wait = due - now_seconds();
            if (wait > 0.001) {
                flush();
                std::this_thread::sleep_for(std::chrono::duration<double>(wait));
            }
        }
        run.push_back(c);
    }
    flush();
    paced_from_ = -1;  // pacing starts over with the next answer
}

}  // namespace device
