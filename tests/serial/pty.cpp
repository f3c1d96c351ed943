#include "tests/serial/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace serial::test {

Pty::Pty() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        std::abort();
    }
    termios t{};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    tcgetattr(master_, &t);
    cfmakeraw(&t);
    tcsetattr(master_, TCSANOW, &t);
    path_ = name;
}

Pty::~Pty() {
    hang_up();
    close(slave_);
}

void Pty::send(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (errno != EINTR && errno != EAGAIN) {
            std::perror("pty write");
            std::abort();
        }
    }
}

std::string Pty::receive(std::size_t count) const {
    std::string out;
    char buf[4096];
    while (out.size() < count) {
        ssize_t n = read(master_, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            break;
        }
    }
    return out;
}

void Pty::hang_up() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

}  // namespace serial::test
