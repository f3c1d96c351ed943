// The termios backend. A port is a terminal device opened non-blocking and exclusive:
// TIOCEXCL refuses further opens by other users, and an flock() on the open file refuses
// them to everyone, root included (TIOCEXCL does not bind a privileged process). The
// line is raw, 8-bit clean, with the modem control lines ignored for receiving (CLOCAL).
// The reader waits in poll() on the device and on a pipe that wake() writes to.
#include "serial/device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

#include "serial/posix/device_path.h"

namespace serial {

namespace {

std::optional<speed_t> speed_of(std::uint32_t baud) {
    static constexpr std::pair<std::uint32_t, speed_t> kSpeeds[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800}, {921600, B921600},
#endif
    };
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud) return speed;
    }
    return std::nullopt;
}

void set_line(int fd, int line, bool on) {
    // A pseudo-terminal has no modem lines: the result does not matter.
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

class PosixDevice final : public Device {
public:
    PosixDevice(int fd, int wake_read, int wake_write)
        : fd_(fd), wake_read_(wake_read), wake_write_(wake_write) {}
    ~PosixDevice() override {
        close(fd_);
        close(wake_read_);
        close(wake_write_);
    }

    Arrival wait_input() override {
        if (failed_) return Arrival::kFailed;
        std::array<pollfd, 2> fds = {{{fd_, POLLIN, 0}, {wake_read_, POLLIN, 0}}};
        while (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno != EINTR) return Arrival::kFailed;
        }
        if (fds[1].revents != 0) {
            // A wake is answered once: the caller looks at why it was woken before it
            // waits again.
            char taken[16];
            while (::read(wake_read_, taken, sizeof taken) > 0) {
            }
            return Arrival::kWoken;
        }
        hung_up_ = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        if ((fds[0].revents & POLLIN) == 0) return Arrival::kFailed;
        return Arrival::kBytes;
    }

    int read_some(std::span<std::uint8_t> out) override {
        if (out.empty()) return 0;
        for (;;) {
            ssize_t n = read(fd_, out.data(), out.size());
            if (n > 0) return static_cast<int>(n);
            if (n < 0 && errno == EINTR) continue;
            // Nothing although poll() said so: gone when it also reported a hang-up or
            // the read failed outright.
            if (hung_up_ || (n < 0 && errno != EAGAIN)) failed_ = true;
            return 0;
        }
    }

    int write(std::span<const std::uint8_t> bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p = {fd_, POLLOUT, 0};
                if (poll(&p, 1, -1) < 0 && errno != EINTR) break;
                if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) break;
            } else if (!(n < 0 && errno == EINTR)) {
                break;
            }
        }
        return static_cast<int>(done);
    }

    bool apply(const Dcb& dcb) override {
        termios t{};
        if (tcgetattr(fd_, &t) != 0) return false;
        std::optional<speed_t> speed = speed_of(dcb.baud_rate);
        if (!speed || cfsetispeed(&t, *speed) != 0 || cfsetospeed(&t, *speed) != 0) {
            return false;
        }
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
        t.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
        switch (dcb.byte_size) {
            case 5:
                t.c_cflag |= CS5;
                break;
            case 6:
                t.c_cflag |= CS6;
                break;
            case 7:
                t.c_cflag |= CS7;
                break;
            case 8:
                t.c_cflag |= CS8;
                break;
            default:
                return false;
        }
        switch (dcb.parity) {
            case parity::kNone:
                break;
            case parity::kOdd:
                t.c_cflag |= PARENB | PARODD;
                break;
            case parity::kEven:
                t.c_cflag |= PARENB;
                break;
#ifdef CMSPAR
            case parity::kMark:
                t.c_cflag |= PARENB | PARODD | CMSPAR;
                break;
            case parity::kSpace:
                t.c_cflag |= PARENB | CMSPAR;
                break;
#endif
            default:
                return false;
        }
        switch (dcb.stop_bits) {
            case stop_bits::kOne:
                break;
            case stop_bits::kTwo:
                t.c_cflag |= CSTOPB;
                break;
            // A UART sends one and a half stop bits for five data bits when asked for two.
            case stop_bits::kOneAndHalf:
                if (dcb.byte_size != 5) return false;
                t.c_cflag |= CSTOPB;
                break;
            default:
                return false;
        }
        t.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
        if (dcb.parity_check) t.c_iflag |= INPCK;
        if (dcb.out_x) t.c_iflag |= IXON;
        if (dcb.in_x) t.c_iflag |= IXOFF;
        if (dcb.xon_char != 0) t.c_cc[VSTART] = dcb.xon_char;
        if (dcb.xoff_char != 0) t.c_cc[VSTOP] = dcb.xoff_char;
        if (dcb.outx_cts_flow || dcb.rts_control == rts::kHandshake) t.c_cflag |= CRTSCTS;
        if (!set_and_check(t)) return false;
        set_line(fd_, TIOCM_DTR, dcb.dtr_control != dtr::kDisable);
        if (dcb.rts_control != rts::kHandshake) {
            set_line(fd_, TIOCM_RTS, dcb.rts_control != rts::kDisable);
        }
        return true;
    }

    // tcsetattr() succeeds when it applied any part of the request, and a pseudo-terminal
    // always keeps 8 data bits without parity: read the line back, and put the old
    // settings back when it did not take all of them.
    bool set_and_check(const termios& wanted) {
        constexpr tcflag_t kLine = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
        termios old{}, now{};
        if (tcgetattr(fd_, &old) != 0) return false;
        if (tcsetattr(fd_, TCSANOW, &wanted) == 0 && tcgetattr(fd_, &now) == 0 &&
            (now.c_cflag & kLine) == (wanted.c_cflag & kLine) &&
            cfgetospeed(&now) == cfgetospeed(&wanted)) {
            return true;
        }
        (void)tcsetattr(fd_, TCSANOW, &old);
        return false;
    }

    void wake() override {
        const char byte = 1;
        while (::write(wake_write_, &byte, 1) < 0 && errno == EINTR) {
        }
    }

private:
    const int fd_;
    const int wake_read_;
    const int wake_write_;
    // Reader thread only.
    bool hung_up_ = false;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<Device> open_device(const std::string& path, std::uint16_t, std::uint16_t) {
    // The kernel's queues are fixed: the sizes asked for have nothing to change here.
    int fd = open(posix::device_path(path).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    termios t{};
    int wake[2] = {-1, -1};
    if (tcgetattr(fd, &t) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    (void)ioctl(fd, TIOCEXCL);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    (void)tcsetattr(fd, TCSANOW, &t);
    set_line(fd, TIOCM_DTR, true);
    return std::make_unique<PosixDevice>(fd, wake[0], wake[1]);
}

bool build_dcb(const std::string& definition, Dcb& dcb) {
    return parse_mode_string(definition, dcb);
}

}  // namespace serial
