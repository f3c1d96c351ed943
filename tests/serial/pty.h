// A pseudo-terminal for the tests: the test is the device on the master side, the port
// layer opens the slave by its path.
#pragma once

#include <cstdint>
#include <string>

namespace serial::test {

class Pty {
public:
    Pty();  // aborts the test program when no terminal can be made
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& path() const { return path_; }
    int master() const { return master_; }
    int slave() const { return slave_; }

    // Blocking, all or nothing.
    void send(const std::string& bytes) const;
    std::string receive(std::size_t count) const;
    // Closes the master: the device side hangs up.
    void hang_up();

private:
    int master_ = -1;
    int slave_ = -1;  // kept open so the terminal lives as long as the test wants it
    std::string path_;
};

}  // namespace serial::test
