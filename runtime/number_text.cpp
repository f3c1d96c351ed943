#include "runtime/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace runtime {
namespace {

constexpr int kSignificantDigits = 16;

// |value| = 0.digits x 10^point, digits being exactly 16 significant digits.
struct DecimalForm {
    std::string digits;
    int point = 0;
};

DecimalForm decimal_form(double value) {
    // to_chars, unlike printf, ignores the locale (a "," decimal point would not do).
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                             kSignificantDigits - 1)
                   .ptr;
    DecimalForm f;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.') f.digits.push_back(*p);
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    f.point = value == 0 ? 1 : exponent + 1;
    return f;
}

std::string strip_leading_zeros(std::string digits) {
    std::size_t i = digits.find_first_not_of('0');
    if (i == std::string::npos) return "0";
    return digits.substr(i);
}

}  // namespace

RoundedDecimal round_decimal(double value, int decimals) {
    DecimalForm f = decimal_form(value);
    // The value times 10^decimals as whole digits: the digits down to the last decimal
    // place, the next one deciding the rounding.
    const int keep = f.point + decimals;
    std::string scaled;
    if (keep >= 0) {
        const auto count = static_cast<std::size_t>(keep);
        scaled = f.digits.substr(0, std::min(count, f.digits.size()));
        scaled.resize(count, '0');
        if (count < f.digits.size() && f.digits[count] >= '5') {
            std::size_t i = scaled.size();
            while (i > 0 && scaled[i - 1] == '9') scaled[--i] = '0';
            if (i == 0) {
                scaled.insert(scaled.begin(), '1');
            } else {
                ++scaled[i - 1];
            }
        }
    }
    const auto places = static_cast<std::size_t>(decimals);
    if (scaled.size() < places + 1) scaled.insert(0, places + 1 - scaled.size(), '0');
    RoundedDecimal r;
    r.integer = strip_leading_zeros(scaled.substr(0, scaled.size() - places));
    r.fraction = scaled.substr(scaled.size() - places);
    r.negative = value < 0 && scaled.find_first_not_of('0') != std::string::npos;
    return r;
}

int integer_digit_count(double value) {
    DecimalForm f = decimal_form(value);
    return f.point > 1 ? f.point : 1;
}

std::string number_text(const Number& number) {
    if (!std::isfinite(number.value))
        return number.value != number.value ? "nan" : number.value < 0 ? "-inf" : "inf";
    RoundedDecimal r;
    if (number.decimals >= 0) {
        r = round_decimal(number.value, number.decimals);
    } else {
        // As many places as the 16 significant digits reach, trailing zeros dropped.
        DecimalForm f = decimal_form(number.value);
        r = round_decimal(number.value, std::max(0, kSignificantDigits - f.point));
        while (!r.fraction.empty() && r.fraction.back() == '0') r.fraction.pop_back();
    }
    std::string out = r.negative ? "-" : "";
    out += r.integer;
    if (!r.fraction.empty()) out += "." + r.fraction;
    return out;
}

std::string number_text(double value) { return number_text(Number{value}); }

double leading_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::string number;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number.push_back(c);
    }
    if (!digits) return 0.0;
    if (number.front() == '.') number.insert(number.begin(), '0');
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return negative ? -value : value;
}

std::string grouped_number_text(double value, int positions, int decimals) {
    const int d = std::max(positions, 1);
    const std::size_t length =
        static_cast<std::size_t>(d + (d - 1) / 3 + (decimals > 0 ? decimals + 1 : 0));
    std::string places(static_cast<std::size_t>(d), ' ');
    std::string fraction(static_cast<std::size_t>(decimals), '*');
    bool overflow = !std::isfinite(value);
    if (!overflow) {
        RoundedDecimal r = round_decimal(value, decimals);
        std::string text = (r.negative ? "-" : "") + r.integer;
        overflow = text.size() > places.size();
        if (!overflow) {
            places.replace(places.size() - text.size(), text.size(), text);
            fraction = r.fraction;
        }
    }
    if (overflow) places.assign(places.size(), '*');

    std::string out;
    out.reserve(length);
    for (int i = 0; i < d; ++i) {
        if (i > 0 && (d - i) % 3 == 0) {
            char left = out.back();
            if (left >= '0' && left <= '9') {
                out += '.';
            } else if (left == '*') {
                out += '*';
            } else if (left == '-') {
                out.back() = ' ';
                out += '-';
            } else {
                out += ' ';
            }
        }
        out += places[static_cast<std::size_t>(i)];
    }
    if (decimals > 0) out += "," + fraction;
    return out;
}

}  // namespace runtime
