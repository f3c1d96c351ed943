// A real second process for the sharing tests: the test's helper program, started with
// arguments, its standard output read line by line and its standard input held open
// until release() (which lets a "hold" helper end).
#pragma once

#include <string>
#include <vector>

namespace dbf_test {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return started_; }
    // The next line of its output without the line end; "" at end of output.
    std::string read_line();
    // Closes its standard input.
    void release();
    // Waits for it to end; its exit code.
    int wait();

private:
    bool started_ = false;
#ifdef _WIN32
    void* process_ = nullptr;
    void* in_ = nullptr;
    void* out_ = nullptr;
#else
    int pid_ = -1;
    int in_ = -1;
    int out_ = -1;
#endif
};

// The helper program's path, as this build starts it.
std::string helper_path();

}  // namespace dbf_test
