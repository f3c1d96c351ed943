#include "kelv/values/calendar.h"

#include <array>
#include <cmath>

#include "runtime/number_text.h"

namespace kelv {
namespace {

constexpr std::array<const char*, 8> kWeekdays = {"",           "Domenica",     "Luned\xEC",
                                                  "Marted\xEC", "Mercoled\xEC", "Gioved\xEC",
                                                  "Venerd\xEC", "Sabato"};

constexpr std::array<const char*, 13> kMonths = {
    "",       "Gennaio", "Febbraio",  "Marzo",   "Aprile",   "Maggio",  "Giugno",
    "Luglio", "Agosto",  "Settembre", "Ottobre", "Novembre", "Dicembre"};

struct DayMonth {
    int day, month;
};
constexpr std::array<DayMonth, 10> kFixedHolidays = {
    {{1, 1}, {6, 1}, {25, 4}, {1, 5}, {2, 6}, {15, 8}, {1, 11}, {8, 12}, {25, 12}, {26, 12}}};

double year_of(const runtime::Value& x) { return x.is_date() ? x.date().year() : x.number(); }

// The integer part of a division and the remainder with the dividend's sign, on reals.
double idiv(double a, double b) { return std::trunc(a / b); }
double mod(double a, double b) { return std::fmod(a, b); }

std::string two_digits(double n) {
    std::string text = runtime::number_text(std::trunc(n));
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

runtime::Date EASTER(const runtime::Value& xYear) {
    double y = year_of(xYear);
    double a = mod(y, 19), b = idiv(y, 100), c = mod(y, 100);
    double d = idiv(b, 4), e = mod(b, 4), f = idiv(b + 8, 25), g = idiv(b - f + 1, 3);
    double h = mod(19 * a + b - d - g + 15, 30);
    double i = idiv(c, 4), k = mod(c, 4);
    double l = mod(32 + 2 * e + 2 * i - h - k, 7);
    double m = idiv(a + 11 * h + 22 * l, 451);
    double n = h + l - 7 * m + 114;
    double day = mod(n, 31) + 1, month = idiv(n, 31);
    std::string year_text = runtime::number_text(y);
    if (year_text.size() > 4) year_text = year_text.substr(year_text.size() - 4);
    std::string text = two_digits(day) + "/" + two_digits(month) + "/" + year_text;
    return runtime::date_from_text(text).value_or(runtime::Date());
}

bool ISFEST(runtime::Date dDate, bool lSaturday) {
    for (const DayMonth& h : kFixedHolidays)
        if (dDate.day() == h.day && dDate.month() == h.month) return true;
    if (dDate == EASTER(dDate).plus_days(1)) return true;
    if (dDate.weekday() == 1) return true;
    return lSaturday && dDate.weekday() == 7;
}

bool ISLEAP(const runtime::Value& xYear) {
    double y = year_of(xYear);
    return (mod(y, 4) == 0 && mod(y, 100) != 0) || mod(y, 400) == 0;
}

int MDAYS(runtime::Date dDate) {
    switch (dDate.month()) {
        case 0:
            return 0;
        case 2:
            return ISLEAP(dDate) ? 29 : 28;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        default:
            return 31;
    }
}

std::string CDAY(runtime::Date dDate) {
    return kWeekdays[static_cast<std::size_t>(dDate.weekday())];
}

runtime::Value CMNT(const runtime::Value& xMonth) {
    double month = xMonth.is_date() ? xMonth.date().month() : xMonth.number();
    if (month < 0 || month > 12 || month != std::trunc(month)) return {};
    return kMonths[static_cast<std::size_t>(month)];
}

bool ISTIME(std::string_view cTime) {
    auto field = [&](std::size_t from) {
        return from < cTime.size() ? runtime::leading_number(cTime.substr(from, 2)) : 0.0;
    };
    if (cTime.find(' ') != std::string_view::npos) return false;
    return field(0) <= 23 && field(3) <= 59 && field(6) <= 59;
}

runtime::Date TTOD(const runtime::DateTime& tTime) { return tTime.date; }

}  // namespace kelv
