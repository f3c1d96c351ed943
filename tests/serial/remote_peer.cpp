// The peer as velkan-line-peer on the far side of the port named by VELKAN_TEST_PORT. It
// takes one command per text line, written through the port under test:
//   reset              drop what the port has not read yet, then answer "ready\n"
//   send N START MS    after MS milliseconds send N pattern bytes from START on
//   echo N             send back the next N bytes received
//   settings           answer the line settings and "\n"
// What it sends comes back through the port's ring, which the test empties with READCOMM.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/serial/peer.h"

namespace serial::test {

namespace {

using Clock = std::chrono::steady_clock;

class RemotePeer final : public Peer {
public:
    std::string port_name() const override {
        const char* name = std::getenv("VELKAN_TEST_PORT");
        return name == nullptr ? "" : name;
    }

    void attach(PortHandle port) override {
        port_ = port;
        command("reset\n");
        std::string line = read_until("ready\n");
        if (line.size() < 6 || line.compare(line.size() - 6, 6, "ready\n") != 0)
            ADD_FAILURE() << "the line peer did not answer the reset";
    }

    void send(std::size_t count, std::size_t start, int after_ms) override {
        command("send " + std::to_string(count) + " " + std::to_string(start) + " " +
                std::to_string(after_ms) + "\n");
    }

    void expect(std::size_t count) override {
        expected_ = count;
        command("echo " + std::to_string(count) + "\n");
    }
    std::string received() override {
        std::string got;
        take(got, [&] { return got.size() >= expected_; });
        return got;
    }

    std::string line_settings() override {
        command("settings\n");
        std::string line = read_until("\n");
        if (!line.empty()) line.pop_back();
        return line;
    }

private:
    void command(const std::string& text) {
        if (WRITECOMM(port_, text) != static_cast<int>(text.size()))
            ADD_FAILURE() << "command not written: " << text;
    }

    std::string read_until(const std::string& end) {
        std::string got;
        take(got, [&] {
            return got.size() >= end.size() &&
                   got.compare(got.size() - end.size(), end.size(), end) == 0;
        });
        return got;
    }

    // Polls the ring until done(), giving up when the line stays quiet for 10 s.
    template <class Done>
    void take(std::string& got, Done done) {
        auto last = Clock::now();
        while (!done() && Clock::now() - last < std::chrono::seconds(10)) {
            std::string buf(1, ' ');
            if (READCOMM(port_, buf) == 1) {
                got += buf;
                last = Clock::now();
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }

    PortHandle port_ = kNoPort;
    std::size_t expected_ = 0;
};

}  // namespace

std::unique_ptr<Peer> make_peer() { return std::make_unique<RemotePeer>(); }

}  // namespace serial::test
