// Calendar functions: Easter, the Italian public holidays, the leap-year rule, the
// length of a month, the Italian names of weekdays and months (Windows-1252), a check of
// a time-of-day text and the date of a date-time. A date or a number is accepted where a
// function says so; any other kind is a programming fault (the value's accessor throws).
#pragma once

#include <string>
#include <string_view>

#include "runtime/value.h"

namespace kelv {

// Easter Sunday of the year of a date, or of a year given as a number (Meeus's anonymous
// Gregorian computation). The date is made through the library's date format from the
// day, the month and the last four characters of the year's text, so a year is meant to
// have four digits.
runtime::Date EASTER(const runtime::Value& xYear);
// A fixed Italian holiday, Easter Monday, a Sunday, or a Saturday when lSaturday holds.
bool ISFEST(runtime::Date dDate, bool lSaturday = true);
// The leap-year rule for the year of a date (the empty date is year 0) or a number.
bool ISLEAP(const runtime::Value& xYear);
// Days of the date's month, 0 for the empty date.
int MDAYS(runtime::Date dDate);
// "Domenica" .. "Sabato"; the empty text for the empty date.
std::string CDAY(runtime::Date dDate);
// "Gennaio" .. "Dicembre" for the month of a date or a month number; the empty text for
// month 0; nothing for any other number.
runtime::Value CMNT(const runtime::Value& xMonth);
// True when the text, read as hh:mm:ss, has no blank and no field above its range.
bool ISTIME(std::string_view cTime);
// The date of a date-time; the empty date for the empty date-time.
runtime::Date TTOD(const runtime::DateTime& tTime);

}  // namespace kelv
