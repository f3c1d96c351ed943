// velkan-line-peer: the far end of a serial line for the port tests that cannot hold the
// line themselves (the Windows builds, whose test program runs under Wine). It creates a
// pseudo-terminal, prints the path of the end the port opens, and obeys the commands of
// remote_peer.cpp that arrive on the line, until the line or the program is ended.
//
//   velkan-line-peer [--link PATH]   PATH: also a symbolic link to the terminal, e.g. a
//                                    Wine prefix's dosdevices/com5; removed at the end
#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/serial/line_settings.h"
#include "tests/serial/pattern.h"

namespace {

std::string g_link;

void remove_link(int) {
    if (!g_link.empty()) unlink(g_link.c_str());
    _exit(0);
}

bool read_all(int fd, char* out, std::size_t count) {
    while (count > 0) {
        ssize_t n = read(fd, out, count);
        if (n > 0) {
            out += n;
            count -= static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool read_line(int fd, std::string& line) {
    line.clear();
    char c = 0;
    while (read_all(fd, &c, 1)) {
        if (c == '\n') return true;
        line.push_back(c);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--link") == 0) {
        g_link = argv[2];
    } else if (argc != 1) {
        std::cerr << "usage: velkan-line-peer [--link PATH]\n";
        return 2;
    }
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("velkan-line-peer: openpty");
        return 1;
    }
    for (int fd : {master, slave}) {
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    if (!g_link.empty()) {
        unlink(g_link.c_str());
        if (symlink(name, g_link.c_str()) != 0) {
            std::perror("velkan-line-peer: symlink");
            return 1;
        }
        signal(SIGTERM, remove_link);
        signal(SIGINT, remove_link);
    }
    std::cout << name << std::endl;

    std::string line;
    while (read_line(master, line)) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        bool ok = true;
        if (verb == "reset") {
            // The slave is held here too, so this drops what the port has not read yet.
            tcflush(slave, TCIFLUSH);
            ok = write_all(master, "ready\n");
        } else if (verb == "send") {
            std::size_t count = 0, start = 0;
            int after_ms = 0;
            words >> count >> start >> after_ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
            ok = write_all(master, serial::test::pattern(count, start));
        } else if (verb == "echo") {
            std::size_t count = 0;
            words >> count;
            std::string bytes(count, '\0');
            ok = read_all(master, bytes.data(), count) && write_all(master, bytes);
        } else if (verb == "settings") {
            ok = write_all(master, serial::test::describe_line(slave) + "\n");
        } else {
            std::cerr << "velkan-line-peer: unknown command \"" << line << "\"\n";
        }
        if (!ok) break;
    }
    if (!g_link.empty()) unlink(g_link.c_str());
    return 0;
}
