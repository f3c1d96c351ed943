// The peer as a pseudo-terminal held by the test itself; its sends run on a thread of
// their own, so a test can send more than the terminal buffers and read meanwhile.
#include <chrono>
#include <thread>

#include "tests/serial/line_settings.h"
#include "tests/serial/pattern.h"
#include "tests/serial/peer.h"
#include "tests/serial/pty.h"

namespace serial::test {

namespace {

class PtyPeer final : public Peer {
public:
    ~PtyPeer() override {
        if (sender_.joinable()) sender_.join();
        if (receiver_.joinable()) receiver_.join();
    }

    std::string port_name() const override { return pty_.path(); }
    void attach(PortHandle) override {}

    void send(std::size_t count, std::size_t start, int after_ms) override {
        std::thread previous = std::move(sender_);
        sender_ = std::thread([this, count, start, after_ms, p = std::move(previous)]() mutable {
            if (p.joinable()) p.join();
            std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
            pty_.send(pattern(count, start));
        });
    }

    void expect(std::size_t count) override {
        receiver_ = std::thread([this, count] { received_ = pty_.receive(count); });
    }
    std::string received() override {
        if (receiver_.joinable()) receiver_.join();
        return received_;
    }

    std::string line_settings() override { return describe_line(pty_.slave()); }

private:
    Pty pty_;
    std::thread sender_, receiver_;
    std::string received_;
};

}  // namespace

std::unique_ptr<Peer> make_peer() { return std::make_unique<PtyPeer>(); }

}  // namespace serial::test
