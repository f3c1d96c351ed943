#include "runtime/date.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <vector>

#include "runtime/fs.h"
#include "runtime/settings.h"

namespace runtime {
namespace {

// Julian day number from a Gregorian date (Fliegel and Van Flandern, 1968).
std::int32_t julian_from_ymd(int y, int m, int d) {
    int a = (14 - m) / 12;
    int yy = y + 4800 - a;
    int mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

struct Ymd {
    int y, m, d;
};

Ymd ymd_from_julian(std::int32_t jd) {
    int a = jd + 32044;
    int b = (4 * a + 3) / 146097;
    int c = a - 146097 * b / 4;
    int d = (4 * c + 3) / 1461;
    int e = c - 1461 * d / 4;
    int m = (5 * e + 2) / 153;
    return {100 * b + d - 4800 + m / 10, m + 3 - 12 * (m / 10), e - (153 * m + 2) / 5 + 1};
}

struct Field {
    char letter;  // 'd', 'm' or 'y'
    std::size_t pos, len;
};

// The day, month and year fields of a format, in the order they appear.
std::vector<Field> fields_of(std::string_view format) {
    std::vector<Field> out;
    for (std::size_t i = 0; i < format.size();) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
        if (c == 'd' || c == 'm' || c == 'y') {
            std::size_t j = i;
            while (j < format.size() &&
                   std::tolower(static_cast<unsigned char>(format[j])) == c)
                ++j;
            out.push_back({c, i, j - i});
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

}  // namespace

std::optional<Date> Date::from_ymd(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        (day > 28 && day > days_in_month(year, month)))
        return std::nullopt;
    return Date(julian_from_ymd(year, month, day));
}

int Date::year() const { return empty() ? 0 : ymd_from_julian(day_).y; }
int Date::month() const { return empty() ? 0 : ymd_from_julian(day_).m; }
int Date::day() const { return empty() ? 0 : ymd_from_julian(day_).d; }
int Date::weekday() const { return empty() ? 0 : (day_ + 1) % 7 + 1; }

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

std::string date_format() {
    Value v = setting("DateFormat");
    return v.is_text() ? v.text() : "dd/mm/yyyy";
}

int date_epoch() {
    Value v = setting("Epoch");
    return v.is_number() ? static_cast<int>(v.number()) : 1980;
}

int expand_year(int year, int epoch) {
    if (year >= 100) return year;
    int century = epoch / 100 * 100;
    return year >= epoch % 100 ? century + year : century + 100 + year;
}

std::string date_to_text(Date date, std::string_view format) {
    std::string out(format);
    for (const Field& f : fields_of(format)) {
        int value = f.letter == 'd' ? date.day() : f.letter == 'm' ? date.month() : date.year();
        for (std::size_t k = 0; k < f.len; ++k) {
            char& c = out[f.pos + f.len - 1 - k];
            c = date.empty() ? ' ' : static_cast<char>('0' + value % 10);
            value /= 10;
        }
    }
    return out;
}

std::string date_to_text(Date date) { return date_to_text(date, date_format()); }

std::optional<Date> date_from_text(std::string_view text, std::string_view format, int epoch) {
    bool blank = true;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c))) blank = false;
    if (blank) {
        for (char c : text)
            if (c != ' ' && c != '/' && c != '.' && c != '-') return std::nullopt;
        return Date();
    }
    // Read the digits of each field at its place; a short year field takes what is there.
    int d = 0, m = 0, y = -1;
    for (const Field& f : fields_of(format)) {
        int value = 0, digits = 0;
        for (std::size_t k = f.pos; k < f.pos + f.len && k < text.size(); ++k) {
            unsigned char c = static_cast<unsigned char>(text[k]);
            if (c == ' ') continue;
            if (!std::isdigit(c)) return std::nullopt;
            value = value * 10 + (c - '0');
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (f.letter == 'd') d = value;
        else if (f.letter == 'm') m = value;
        else y = f.len <= 2 || digits <= 2 ? expand_year(value, epoch) : value;
    }
    if (y < 0) return std::nullopt;
    return Date::from_ymd(y, m, d);
}

std::optional<Date> date_from_text(std::string_view text) {
    return date_from_text(text, date_format(), date_epoch());
}

Date today() {
    std::tm local = local_time(std::time(nullptr));
    return *Date::from_ymd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

double seconds_since_midnight() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::tm local = local_time(system_clock::to_time_t(now));
    double fraction =
        static_cast<double>(duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000) /
        1e6;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

}  // namespace runtime
