// Gregorian calendar dates as day numbers, with the empty date, the text form under a
// date format ("dd/mm/yyyy") and two-digit years read against an epoch (1980).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// A date is its Julian day number (1 January 4713 BC, proleptic Julian = 0); the empty
// date is day 0, which no real date of the program reaches. Differences of dates are days.
class Date {
public:
    constexpr Date() = default;
    static constexpr Date from_julian(std::int32_t julian_day) { return Date(julian_day); }
    // Nothing for a day, month or year outside the Gregorian calendar (year 1..9999).
    static std::optional<Date> from_ymd(int year, int month, int day);

    constexpr bool empty() const { return day_ == 0; }
    constexpr std::int32_t julian() const { return day_; }
    int year() const;   // 0 for the empty date
    int month() const;  // 0 for the empty date
    int day() const;    // 0 for the empty date
    // 1 = Sunday .. 7 = Saturday; 0 for the empty date.
    int weekday() const;

    Date plus_days(std::int32_t days) const { return empty() ? Date() : Date(day_ + days); }
    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr auto operator<=>(Date, Date) = default;

private:
    constexpr explicit Date(std::int32_t d) : day_(d) {}
    std::int32_t day_ = 0;
};

bool is_leap_year(int year);
int days_in_month(int year, int month);

// The date format in force and the century epoch, as the program's settings hold them
// ("DateFormat", default "dd/mm/yyyy"; "Epoch", default 1980).
std::string date_format();
int date_epoch();

// The text of a date under a format made of "dd", "mm", "yy" or "yyyy" and separators;
// the empty date gives the format with its letters turned to blanks ("  /  /    ").
std::string date_to_text(Date date, std::string_view format);
std::string date_to_text(Date date);
// Reads a text under a format; a two-digit year counts from the epoch (yy >= epoch % 100
// gives the epoch's century, else the next). A blank text or the empty mask gives the
// empty date; anything that is not a real date gives nothing.
std::optional<Date> date_from_text(std::string_view text, std::string_view format, int epoch);
std::optional<Date> date_from_text(std::string_view text);

// A year of two digits or fewer taken against an epoch, as the date reading does.
int expand_year(int year, int epoch);

// The date and time now, from the platform clock (local time).
Date today();
// Seconds since midnight, with a fractional part.
double seconds_since_midnight();

}  // namespace runtime
