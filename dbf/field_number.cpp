#include "dbf/field_number.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace dbf {
namespace {

// Powers of ten up to 10^22, all exact in a double.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Below 2^40 a scaled value's fraction is exact to 2^-12; only a fraction this close to one
// half could round another way than the exact value does, so such values take the library.
constexpr double kScaledLimit = 1099511627776.0;  // 2^40
constexpr double kTieMargin = 1.0 / 1024;

// Where doubles are computed in wider registers (x87), a quotient is rounded twice and may
// end one bit away from the correctly rounded value; there every number takes the long way.
constexpr bool kDoubleArithmetic = FLT_EVAL_METHOD == 0;

// The long ways are the standard library's conversions, which give the C library's "C"
// locale results whatever locale the process is in: a table holds "." before its
// decimals on every desktop.
int library_format(char* out, std::size_t size, double value, int width, int decimals) {
    // A sign, the 309 digits of the largest double, the point and the decimals.
    std::string text(static_cast<std::size_t>(311 + std::max(decimals, 0)), '\0');
    const std::to_chars_result written = std::to_chars(text.data(), text.data() + text.size(),
                                                       value, std::chars_format::fixed, decimals);
    const int length = static_cast<int>(written.ptr - text.data());
    const int pad = width > length ? width - length : 0;
    const int total = pad + length;
    if (static_cast<std::size_t>(total) < size) {
        std::memset(out, ' ', static_cast<std::size_t>(pad));
        std::memcpy(out + pad, text.data(), static_cast<std::size_t>(length));
        out[total] = '\0';
    }
    return total;
}

// A decimal number (a fraction and an exponent allowed) from p, the sign already read; one
// beyond a double's range is infinite, or zero when it is too small.
double library_parse(const char* p, const char* end, bool negative) {
    double value = 0;
    const std::from_chars_result read = std::from_chars(p, end, value);
    if (read.ec == std::errc::result_out_of_range) {
        const char* exponent =
            std::find_if(p, read.ptr, [](char c) { return c == 'e' || c == 'E'; });
        value = exponent + 1 < read.ptr && exponent[1] == '-' ? 0.0 : HUGE_VAL;
    } else if (read.ec != std::errc()) {
        return 0;  // no number: no sign either
    }
    return negative ? -value : value;
}

}  // namespace

int format_number(char* out, std::size_t size, double value, int width, int decimals) {
    double magnitude = std::fabs(value);
    if (decimals < 0 || decimals > 15 || !(magnitude < kScaledLimit))
        return library_format(out, size, value, width, decimals);
    double scaled = magnitude * kPow10[decimals];
    double whole = std::floor(scaled);
    double fraction = scaled - whole;
    if (!(scaled < kScaledLimit) || std::fabs(fraction - 0.5) < kTieMargin)
        return library_format(out, size, value, width, decimals);
    auto units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    // Digits from the right: the decimals, the point, the whole part (at least "0").
    char text[64];
    char* p = text + sizeof text;
    for (int i = 0; i < decimals; ++i, units /= 10) *--p = static_cast<char>('0' + units % 10);
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (std::signbit(value)) *--p = '-';
    int length = static_cast<int>(text + sizeof text - p);
    int pad = width > length ? width - length : 0;
    int total = pad + length;
    if (static_cast<std::size_t>(total) >= size)
        return library_format(out, size, value, width, decimals);
    std::memset(out, ' ', static_cast<std::size_t>(pad));
    std::memcpy(out + pad, p, static_cast<std::size_t>(length));
    out[total] = '\0';
    return total;
}

double parse_number(std::string_view text) {
    // Blanks, a sign, up to 15 digits with one point, then blanks or the end: the digits
    // as an integer divided by a power of ten is then one correctly rounded division, the
    // same double the long way gives. Anything else takes the long way.
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    std::uint64_t digits = 0;
    const char* whole = p;
    for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p)
        digits = digits * 10 + static_cast<unsigned>(*p - '0');
    int count = static_cast<int>(p - whole);
    int decimals = 0;
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p)
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
        decimals = static_cast<int>(p - fraction);
        count += decimals;
    }
    while (p < end && *p == ' ') ++p;
    if (kDoubleArithmetic && count > 0 && count <= 15 && p == end) {
        double v = static_cast<double>(digits) / kPow10[decimals];
        return negative ? -v : v;
    }
    return library_parse(whole, end, negative);
}

}  // namespace dbf
