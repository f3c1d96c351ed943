#include "dbf/field_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dbf/field_number.h"
#include "runtime/date.h"
#include "runtime/text1252.h"

namespace dbf {
namespace {

using runtime::Value;

// YYYYMMDD into 8 bytes.
void write_date_digits(runtime::Date d, char* out) {
    int parts[3] = {d.year(), d.month(), d.day()};
    int widths[3] = {4, 2, 2};
    for (int i = 0, at = 0; i < 3; at += widths[i], ++i)
        for (int k = widths[i] - 1, v = parts[i]; k >= 0; --k, v /= 10)
            out[at + k] = static_cast<char>('0' + v % 10);
}

// The number in n digits; -1 when one is not a digit.
int digits(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

}  // namespace

Value decode_field(const Field& f, std::string_view raw) {
    switch (f.type) {
        case 'C':
            return std::string(raw);
        case 'N':
        case 'F':
            return Value::number(parse_number(raw), f.width, f.decimals);
        case 'D': {
            if (raw.size() != 8) return runtime::Date();
            int y = digits(raw.data(), 4);
            int m = digits(raw.data() + 4, 2);
            int d = digits(raw.data() + 6, 2);
            return runtime::Date::from_ymd(y, m, d).value_or(runtime::Date());
        }
        case 'L':
            return raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y';
        case 'I':
        case '+':
            if (f.width == 4)
                return Value::number(static_cast<std::int32_t>(read_le32(raw.data())), 11, 0);
            break;
        case 'Y':
            if (f.width == 8) {
                std::uint64_t v =
                    read_le32(raw.data()) | (std::uint64_t{read_le32(raw.data() + 4)} << 32);
                return Value::number(static_cast<double>(static_cast<std::int64_t>(v)) / 10000.0,
                                     20, 4);
            }
            break;
        case 'B':
            if (f.width == 8) {
                double v;
                std::memcpy(&v, raw.data(), 8);
                return Value::number(v, 20, f.decimals);
            }
            break;
        case 'T':
            if (f.width == 8) {
                std::uint32_t day = read_le32(raw.data());
                runtime::DateTime t;
                if (day != 0) t.date = runtime::Date::from_julian(static_cast<std::int32_t>(day));
                t.milliseconds = static_cast<std::int32_t>(read_le32(raw.data() + 4));
                return t;
            }
            break;
        default:
            break;
    }
    return std::string(raw);
}

Encoded encode_field(const Field& f, const Value& value, char* out) {
    std::size_t width = static_cast<std::size_t>(f.width);
    switch (f.type) {
        case 'C': {
            if (!value.is_text()) return Encoded::kWrongType;
            std::size_t n = std::min(width, value.text().size());
            std::memcpy(out, value.text().data(), n);
            std::memset(out + n, ' ', width - n);
            return Encoded::kDone;
        }
        case 'N': {
            if (!value.is_number()) return Encoded::kWrongType;
            // Tables of other tools may declare any width a descriptor's byte holds.
            char buf[kMaxFieldWidth + 1];
            double v = value.number();
            int n = std::isfinite(v) ? format_number(buf, sizeof buf, v, f.width, f.decimals)
                                     : kMaxFieldWidth + 1;
            if (n < 0 || static_cast<std::size_t>(n) > width) return Encoded::kTooWide;
            std::memcpy(out, buf, width);
            return Encoded::kDone;
        }
        case 'D':
            if (!value.is_date()) return Encoded::kWrongType;
            if (value.date().empty())
                std::memset(out, ' ', 8);
            else
                write_date_digits(value.date(), out);
            return Encoded::kDone;
        case 'L':
            if (!value.is_logical()) return Encoded::kWrongType;
            *out = value.logical() ? 'T' : 'F';
            return Encoded::kDone;
        default:
            return Encoded::kReadOnly;
    }
}

std::uint32_t decode_memo_block(const Field& f, const char* raw) {
    if (f.width == 4) return read_le32(raw);
    std::string text = runtime::trim(std::string_view(raw, static_cast<std::size_t>(f.width)));
    if (text.empty()) return 0;
    for (char c : text)
        if (c < '0' || c > '9') return kBadMemoBlock;
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

void encode_memo_block(std::uint32_t block, char* out) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%10u", block);
    std::memcpy(out, block == 0 ? "          " : buf, 10);
}

}  // namespace dbf
