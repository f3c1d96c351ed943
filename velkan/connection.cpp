#include <chrono>
#include <optional>

#include "kelv/ui/popmsg.h"
#include "runtime/frame.h"
#include "serial/ui_services.h"
#include "velkan/velkan.h"
#include "winlib/messages.h"
#include "winlib/vocabulary.h"

namespace velkan {
namespace {

const std::string kDevicePrefix = "\\\\.\\";
constexpr int kQueueSize = 16384;
const std::string kLineDefinition = "57600,N,8,1";
constexpr std::size_t kReceiveChunk = 1000;
constexpr auto kCharTimeout = std::chrono::seconds(2);
// A pass of a wait that found nothing sleeps until the next message or event, at most
// this long, so that a waiting transfer uses almost no processor.
constexpr int kIdleWaitMs = 10;

serial::PortHandle fail(const std::string& what, const std::string& port) {
    kelv::POPMSG(what + port + ").", 1);
    return serial::kNoPort;
}

void notify(serial::PortHandle port, winlib::Handle window) {
    serial::ENABLECOMMNOTIFICATION(port, window, 1, -1);
}

// While bytes stream in, the messages after each wait are processed at most this often:
// the window stays live without a round of the message queue for every byte. Reading the
// clock costs more than taking a byte, so it is looked at only every kWaitsPerLook waits.
constexpr auto kRefreshInterval = std::chrono::milliseconds(5);
constexpr int kWaitsPerLook = 64;
std::chrono::steady_clock::time_point last_refresh;
int waits_unlooked = 0;

// The Esc key is looked at once per refresh: every pass of an idle wait sees it afresh,
// and a stream of bytes sees it at least every refresh interval, without asking the
// system for the key state once per byte (a round trip to the window server on some).
std::optional<bool> escape_seen;

bool escape_down() {
    if (!escape_seen) escape_seen = serial::GETASYNCKEYSTATE(winlib::vk::kEscape);
    return *escape_seen;
}

void refresh() {
    last_refresh = std::chrono::steady_clock::now();
    waits_unlooked = 0;
    serial::SYSREFRESH();
    escape_seen.reset();
}

void refresh_after_wait() {
    if (++waits_unlooked < kWaitsPerLook) return;
    waits_unlooked = 0;
    if (std::chrono::steady_clock::now() - last_refresh >= kRefreshInterval) refresh();
}

void idle() {
    refresh();
    if (receive_buffer().empty()) winlib::wait_event(kIdleWaitMs);
}

}  // namespace

ReceiveBuffer& receive_buffer() {
    static ReceiveBuffer buffer;
    return buffer;
}

serial::PortHandle APRICOM(winlib::Window& oWnd, const std::string& cPort) {
    runtime::Frame frame("APRICOM");
    frame.next_line();
    serial::PortHandle port = serial::OPENCOMM(kDevicePrefix + cPort, kQueueSize, kQueueSize);
    if (port < 0) return fail("Errore di apertura della porta di comunicazione (", cPort);

    std::string dcb;
    // Once the port is open every failure closes it again: the program ends right after.
    frame.next_line();
    if (!serial::BUILDCOMMDCB(kLineDefinition, dcb)) {
        serial::CLOSECOMM(port);
        return fail("Errore di impostazione dei parametri di comunicazione (", cPort);
    }
    frame.next_line();
    if (!serial::SETCOMMSTATE(port, dcb)) {
        serial::CLOSECOMM(port);
        return fail("Errore di impostazione della porta di comunicazione (", cPort);
    }
    winlib::Handle window = oWnd.hWnd;
    oWnd.bCommNotify = [window](std::uintptr_t wparam, std::intptr_t) {
        auto handle = static_cast<serial::PortHandle>(wparam);
        CONNECT(handle);
        notify(handle, window);
    };
    frame.next_line();
    if (!serial::ENABLECOMMNOTIFICATION(port, window, 1, -1)) {
        serial::CLOSECOMM(port);
        return fail("Errore di abilitazione della notifica (", cPort);
    }
    return port;
}

void CONNECT(serial::PortHandle port) {
    runtime::Frame frame("CONNECT");
    notify(port, 0);
    // The reader hands over up to 1023 bytes per notification and the ring may hold more:
    // take until it is empty, so that every received byte reaches the buffer.
    frame.next_line();
    for (std::string chunk = RECEIVESTR(port); !chunk.empty(); chunk = RECEIVESTR(port))
        receive_buffer().append(chunk);
}

std::string RECEIVESTR(serial::PortHandle port) {
    runtime::Frame frame("RECEIVESTR");
    std::string buffer(kReceiveChunk, ' ');
    int n = serial::READCOMM(port, buffer);
    return buffer.substr(0, static_cast<std::size_t>(n));
}

bool SENDSTR(serial::PortHandle port, const std::string& bytes) {
    runtime::Frame frame("SENDSTR");
    return serial::WRITECOMM(port, bytes) == static_cast<int>(bytes.size());
}

std::string GETCHAR() {
    runtime::Frame frame("GETCHAR");
    return receive_buffer().take();
}

std::string WAITCOMMAND() {
    runtime::Frame frame("WAITCOMMAND");
    std::string byte;
    while (!escape_down()) {
        byte = GETCHAR();
        if (!byte.empty()) break;
        frame.next_line();
        idle();
    }
    frame.next_line();
    refresh_after_wait();
    return byte;
}

std::string WAITCHAR() {
    runtime::Frame frame("WAITCHAR");
    // Elapsed time from a steady clock: a wait across midnight still lasts 2 seconds. The
    // clock is first read when no byte is waiting, which is when the wait starts to count.
    std::optional<std::chrono::steady_clock::time_point> start;
    std::string byte;
    while (!escape_down()) {
        byte = GETCHAR();
        if (!byte.empty()) break;
        auto now = std::chrono::steady_clock::now();
        if (!start) start = now;
        if (now - *start >= kCharTimeout) break;
        frame.next_line();
        idle();
    }
    frame.next_line();
    refresh_after_wait();
    return byte;
}

}  // namespace velkan
