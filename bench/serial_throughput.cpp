// serial_throughput [bytes] [idle seconds]: the port path from the peer's write to the bytes
// in the user-interface thread's buffer, unpaced, against a plain reader of the same line,
// and the processor time the user-interface thread uses while it waits with nothing
// arriving. The line is VELKAN_TEST_PORT, with velkan-line-peer on its far side (run it
// through tests/serial/with_peer). Prints the figures; exits 1 when a byte was lost.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "serial/port.h"
#include "tests/serial/pattern.h"
#include "tests/serial/ui_queue.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr winlib::Handle kWindow = 0x1234;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time (user and system) of the calling thread and of the whole process, s.
struct CpuTimes {
    double thread = 0, process = 0;
};

#ifdef _WIN32
double filetime_seconds(const FILETIME& a, const FILETIME& b) {
    auto v = [](const FILETIME& f) {
        return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return static_cast<double>(v(a) + v(b)) / 1e7;
}
CpuTimes cpu_times() {
    FILETIME created, ended, kernel, user;
    CpuTimes t;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    t.thread = filetime_seconds(kernel, user);
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    t.process = filetime_seconds(kernel, user);
    return t;
}

// The plain reader: the platform's blocking reads of the same port, nothing else.
double plain_read(const std::string& port, std::size_t count, bool& whole) {
    HANDLE h = CreateFileA(port.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    COMMTIMEOUTS timeouts{};  // a read returns as soon as a byte is there
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = 10000;
    SetCommTimeouts(h, &timeouts);
    std::string command = "send " + std::to_string(count) + " 0 0\n";
    DWORD n = 0;
    auto start = Clock::now();
    WriteFile(h, command.data(), static_cast<DWORD>(command.size()), &n, nullptr);
    std::string got;
    std::string buf(65536, '\0');
    while (got.size() < count && ReadFile(h, buf.data(), 65536, &n, nullptr) && n > 0)
        got.append(buf, 0, n);
    double s = seconds_since(start);
    CloseHandle(h);
    whole = got == serial::test::pattern(count);
    return s;
}
#else
CpuTimes cpu_times() {
    auto secs = [](const rusage& u) {
        return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    rusage u{};
    CpuTimes t;
    getrusage(RUSAGE_THREAD, &u);
    t.thread = secs(u);
    getrusage(RUSAGE_SELF, &u);
    t.process = secs(u);
    return t;
}

double plain_read(const std::string& port, std::size_t count, bool& whole) {
    int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return -1;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    std::string command = "send " + std::to_string(count) + " 0 0\n";
    auto start = Clock::now();
    if (write(fd, command.data(), command.size()) != static_cast<ssize_t>(command.size()))
        return -1;
    std::string got;
    std::string buf(65536, '\0');
    ssize_t n = 0;
    while (got.size() < count && (n = read(fd, buf.data(), buf.size())) > 0)
        got.append(buf, 0, static_cast<std::size_t>(n));
    double s = seconds_since(start);
    close(fd);
    whole = got == serial::test::pattern(count);
    return s;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 8u << 20;
    int idle_seconds = argc > 2 ? std::atoi(argv[2]) : 5;
    const char* name = std::getenv("VELKAN_TEST_PORT");
    if (name == nullptr) {
        std::fprintf(stderr, "serial_throughput: no VELKAN_TEST_PORT (run it through with_peer)\n");
        return 2;
    }

    bool plain_whole = false;
    double plain_s = plain_read(name, count, plain_whole);

    std::string buffer;  // the user-interface thread's
    serial::PortHandle port = serial::kNoPort;
    serial::test::install_ui_queue([&](const serial::test::Message&) {
        serial::ENABLECOMMNOTIFICATION(port, 0, 1, -1);
        for (;;) {
            std::string chunk(1000, ' ');
            int n = serial::READCOMM(port, chunk);
            if (n == 0) break;
            buffer.append(chunk, 0, static_cast<std::size_t>(n));
        }
        serial::ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    });
    port = serial::OPENCOMM(name, 16384, 16384);
    std::string dcb;
    if (port == serial::kNoPort || !serial::BUILDCOMMDCB("57600,N,8,1", dcb) ||
        !serial::SETCOMMSTATE(port, dcb)) {
        std::fprintf(stderr, "serial_throughput: cannot open %s\n", name);
        return 2;
    }
    serial::ENABLECOMMNOTIFICATION(port, kWindow, 1, -1);
    std::string command = "send " + std::to_string(count) + " 0 0\n";
    auto start = Clock::now();
    serial::WRITECOMM(port, command);
    auto last = Clock::now();
    std::size_t seen = 0;
    serial::test::serve_until([&] {
        if (buffer.size() != seen) {
            seen = buffer.size();
            last = Clock::now();
        }
        return buffer.size() >= count || Clock::now() - last > std::chrono::seconds(10);
    });
    double port_s = seconds_since(start);
    bool port_whole = buffer == serial::test::pattern(count);

    CpuTimes before = cpu_times();
    auto idle_start = Clock::now();
    // As the program's wait loops: each pass waits at most 10 ms for a message.
    serial::test::serve_until([&] { return seconds_since(idle_start) >= idle_seconds; });
    CpuTimes after = cpu_times();
    double wall = seconds_since(idle_start);
    serial::CLOSECOMM(port);

    double port_rate = static_cast<double>(count) / port_s;
    double plain_rate = static_cast<double>(count) / plain_s;
    std::printf("bytes                 %zu\n", count);
    std::printf("plain reader          %.0f bytes/s%s\n", plain_rate,
                plain_whole ? "" : " (LOST BYTES)");
    std::printf("port to UI buffer     %.0f bytes/s, %zu of %zu bytes in order%s\n", port_rate,
                buffer.size(), count, port_whole ? "" : " (LOST BYTES)");
    std::printf("port / plain          %.3f\n", port_rate / plain_rate);
    std::printf("idle %.1f s: UI thread %.3f %% of a core, whole process %.3f %%\n", wall,
                100 * (after.thread - before.thread) / wall,
                100 * (after.process - before.process) / wall);
    return port_whole && plain_whole ? 0 : 1;
}
