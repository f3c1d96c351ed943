#include "kelv/values/number_format.h"

#include <algorithm>
#include <cmath>

#include "runtime/number_text.h"

namespace kelv {
namespace {

constexpr int kMaxPositions = 15;

// The integer width the number shows without a width argument.
int natural_width(const runtime::Number& n) {
    if (n.width >= 0) return n.decimals > 0 ? n.width - n.decimals - 1 : n.width;
    if (!std::isfinite(n.value)) return 20;
    int length = runtime::integer_digit_count(n.value) + (n.value < 0 ? 1 : 0);
    return length <= 10 ? 10 : 20;
}

int whole_positions(const runtime::Number& n, std::optional<int> width) {
    int d = width.value_or(natural_width(n));
    if (d == 20) return 10;
    return std::min(d, kMaxPositions);
}

int decimal_positions(const runtime::Number& n, std::optional<int> width) {
    int natural = natural_width(n);
    int w = width.value_or(natural == 10 ? 10 : natural + 2);
    return std::min(w - 2, kMaxPositions);
}

// The value in `positions` integer places and `decimals` (0 or 2) decimal places; all
// blanks for an exact zero when asked.
std::string render(double value, int positions, int decimals, bool blank_zero) {
    std::string out = runtime::grouped_number_text(value, positions, decimals);
    if (blank_zero && value == 0) out.assign(out.size(), ' ');
    return out;
}

std::string sign_of(double value) { return value < 0 ? "-" : " "; }

}  // namespace

std::string NSTR(const runtime::Number& nValue, std::optional<int> nWidth) {
    return render(nValue.value, whole_positions(nValue, nWidth), 0, false);
}

std::string ZSTR(const runtime::Number& nValue, std::optional<int> nWidth) {
    return render(nValue.value, whole_positions(nValue, nWidth), 0, true);
}

std::string SSTR(const runtime::Number& nValue, std::optional<int> nWidth, bool lZero) {
    return render(std::fabs(nValue.value), whole_positions(nValue, nWidth), 0, !lZero) +
           sign_of(nValue.value);
}

std::string ENSTR(const runtime::Number& nValue, std::optional<int> nWidth) {
    return render(nValue.value, decimal_positions(nValue, nWidth), 2, false);
}

std::string EZSTR(const runtime::Number& nValue, std::optional<int> nWidth) {
    return render(nValue.value, decimal_positions(nValue, nWidth), 2, true);
}

std::string ESSTR(const runtime::Number& nValue, std::optional<int> nWidth, bool lZero) {
    return render(std::fabs(nValue.value), decimal_positions(nValue, nWidth), 2, !lZero) +
           sign_of(nValue.value);
}

}  // namespace kelv
