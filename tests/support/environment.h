// Sets an environment variable of the test process until the object goes.
#pragma once

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace test_support {

class Environment {
public:
    // A null value removes the variable.
    Environment(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        set(value);
    }
    ~Environment() { set(had_ ? old_.c_str() : nullptr); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    void set(const char* value) {
#ifdef _WIN32
        // Both the C library's copy and the process's own block, which
        // GetEnvironmentVariable reads.
        _putenv((name_ + "=" + (value ? value : "")).c_str());
        SetEnvironmentVariableA(name_.c_str(), value);
#else
        if (value) setenv(name_.c_str(), value, 1);
        else unsetenv(name_.c_str());
#endif
    }

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace test_support
