// A test's numbers under a locale that writes "," before the decimals, as the Linux
// program's process is on an Italian desktop (Qt takes the C library's locale from the
// environment). scripts/bootstrap makes the locale on Linux; Windows has its own. The
// "C" locale is back when the object goes.
#pragma once

#include <clocale>

namespace test_support {

class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"it_IT.UTF-8", "it_IT.utf8", "Italian_Italy.1252", "Italian"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                active_ = *std::localeconv()->decimal_point == ',';
                break;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return active_; }

private:
    bool active_ = false;
};

}  // namespace test_support
