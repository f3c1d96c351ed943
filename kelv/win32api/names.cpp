#include "kelv/win32api/names.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <thread>

#include "runtime/date.h"
#include "runtime/text1252.h"

namespace kelv {
namespace {

// The hundredths of a second since midnight, as the name carries them.
long hundredths_now() { return std::lround(runtime::seconds_since_midnight() * 100); }

std::string unique_name(long hundredths) {
    runtime::Date today = runtime::today();
    char text[32];
    std::snprintf(text, sizeof text, "\x7F%04d%02d%02d%ld", today.year(), today.month(),
                  today.day(), hundredths);
    return text;
}

}  // namespace

std::string GETNEWFNAME() {
    long now = hundredths_now();
    std::string first = unique_name(now);
    // Wait for the next hundredth by sleeping through the rest of this one (at most
    // 10 ms), not by asking the clock again and again.
    while (unique_name(hundredths_now()) == first) {
        double left_ms = (static_cast<double>(now) + 0.5) * 10 -
                         runtime::seconds_since_midnight() * 1000;
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::max<long>(100, std::lround(left_ms * 1000))));
    }
    return first;
}

bool LFNFNAME(const std::string& name) {
    std::string upper = runtime::upper(runtime::trim(name));
    if (upper.empty()) return false;
    if (upper.find_first_of("\"*/:<>?\\|") != std::string::npos) return false;
    constexpr std::string_view kReserved[] = {"NUL",  "CON",  "PRN",  "AUX",  "LPT1", "LPT2",
                                              "LPT3", "COM1", "COM2", "COM3", "COM4"};
    for (std::string_view reserved : kReserved)
        if (upper == reserved) return false;
    return true;
}

}  // namespace kelv
