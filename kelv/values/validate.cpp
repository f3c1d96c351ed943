#include "kelv/values/validate.h"

#include <array>
#include <cmath>
#include <string>

#include "runtime/number_text.h"
#include "runtime/text1252.h"

namespace kelv {
namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
int code(char c) { return static_cast<unsigned char>(c); }

// Weights of the characters at odd positions of a fiscal code, by value (A or 0 = 0 ...).
constexpr std::array<int, 26> kOddWeights = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                             20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

}  // namespace

bool ISCOD(std::string_view cCode) {
    std::string text = runtime::upper(cCode);
    if (runtime::trim_right(text).size() != 16) return ISIVA(text);
    if (!is_letter(text[11])) return false;
    int sum = 0;
    for (std::size_t p = 1; p <= 15; ++p) {
        char c = text[p - 1];
        if (!is_letter(c) && !is_digit(c)) return false;
        int v = is_letter(c) ? code(c) - 'A' : code(c) - '0';
        sum += p % 2 == 0 ? v : kOddWeights[static_cast<std::size_t>(v)];
    }
    return sum % 26 == code(text[15]) - 'A';
}

bool ISIVA(std::string_view cIva) {
    if (runtime::trim_right(cIva).size() != 11 || cIva.substr(0, 11) == "00000000000") return false;
    long sum = 0;
    for (std::size_t p = 1; p <= 10; ++p) {
        int v = code(cIva[p - 1]) - '0';
        if (p % 2 == 1) {
            sum += v;
        } else {
            // The digit sum of 2v for a digit; any other character keeps the same formula
            // (real division, remainder with the dividend's sign, truncation toward zero).
            double twice = 2.0 * v;
            sum += static_cast<long>(std::trunc(twice / 10 + std::fmod(twice, 10)));
        }
    }
    return (10 - sum % 10) % 10 == code(cIva[10]) - '0';
}

bool ISIBAN(std::string_view cIban) {
    if (runtime::trim(cIban).size() != 27) return false;
    std::string text = std::string(cIban.substr(4)) + std::string(cIban.substr(0, 4));
    // Every non-digit becomes the decimal text of its code - 55 (A = 10 ... Z = 35); the
    // scan goes on after what was inserted.
    std::string expanded;
    for (char c : text) expanded += is_digit(c) ? std::string(1, c) : std::to_string(code(c) - 55);
    std::string remainder;
    for (std::size_t i = 0; i < expanded.size(); i += 8) {
        double n = runtime::leading_number(remainder + expanded.substr(i, 8));
        remainder = runtime::number_text(std::fmod(n, 97.0));
    }
    return remainder == "1";
}

bool ISEMAIL(std::string_view cMail) {
    std::string text = runtime::trim_right(cMail);
    if (text.find(' ') != std::string::npos) return false;
    if (!text.empty() && text.back() == '.') return false;
    if (text.find('.') == std::string::npos || text.find('@') == std::string::npos) return false;
    for (char c : text) {
        if (c == '.' || c == '@' || c == '_' || c == '-' || c == '\'') continue;
        if (!is_letter(c) && !is_digit(c)) return false;
    }
    return true;
}

bool ISNUMBER(std::string_view cText) {
    for (char c : cText)
        if (!is_digit(c)) return false;
    return true;
}

}  // namespace kelv
