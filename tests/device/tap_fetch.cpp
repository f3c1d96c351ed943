#include "tests/device/tap_fetch.h"

#include <chrono>
#include <thread>

namespace device::test {

std::vector<std::string> names(const std::string& image) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + 2 <= image.size();) {
        std::size_t len = static_cast<unsigned char>(image[at]) |
                          static_cast<std::size_t>(static_cast<unsigned char>(image[at + 1])) << 8;
        if (len == 19 && image[at + 2] == '\0') out.push_back(image.substr(at + 4, 10));
        at += 2 + len;
    }
    return out;
}

std::string receive(serial::PortHandle port, std::size_t count, int quiet_ms) {
    std::string got;
    auto last = std::chrono::steady_clock::now();
    while (got.size() < count &&
           std::chrono::steady_clock::now() - last < std::chrono::milliseconds(quiet_ms)) {
        std::string buf(std::min<std::size_t>(1000, count - got.size()), ' ');
        int n = serial::READCOMM(port, buf);
        if (n > 0) {
            got.append(buf, 0, static_cast<std::size_t>(n));
            last = std::chrono::steady_clock::now();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return got;
}

std::string fetch(serial::PortHandle port, const std::string& name) {
    serial::WRITECOMM(port, std::string(1, '\0') + name);
    std::string head = receive(port, 8);
    if (head.size() < 8) return "";
    std::size_t n = static_cast<unsigned char>(head[2]) |
                    static_cast<std::size_t>(static_cast<unsigned char>(head[3])) << 8;
    std::string data = receive(port, n);
    receive(port, 1);  // the closing byte
    std::string header = std::string("\x00", 1) + head[1] + name + head.substr(2, 6);
    char check = 0;
    for (char c : header) check = static_cast<char>(check ^ c);
    char data_check = '\xFF';
    for (char c : data) data_check = static_cast<char>(data_check ^ c);
    std::string blocks = std::string("\x13\x00", 2) + header + check;
    blocks.push_back(static_cast<char>((n + 2) & 0xFF));
    blocks.push_back(static_cast<char>((n + 2) >> 8));
    return blocks + '\xFF' + data + data_check;
}

}  // namespace device::test
