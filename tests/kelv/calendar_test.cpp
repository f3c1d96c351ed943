#include "kelv/values/calendar.h"

#include <gtest/gtest.h>

#include <string>

namespace kelv {
namespace {

using runtime::Date;
using runtime::Value;

Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

TEST(Easter, YearsAsNumbersAndAsDates) {
    struct Case {
        int year;
        Date easter;
    };
    const Case cases[] = {
        {2000, ymd(2000, 4, 23)}, {2024, ymd(2024, 3, 31)}, {2025, ymd(2025, 4, 20)},
        {2026, ymd(2026, 4, 5)},  {2100, ymd(2100, 3, 28)}, {1818, ymd(1818, 3, 22)},
        {2038, ymd(2038, 4, 25)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EASTER(c.year), c.easter) << c.year;
        EXPECT_EQ(EASTER(ymd(c.year, 11, 30)), c.easter) << c.year;
        EXPECT_EQ(EASTER(Value::number(c.year, 4, 0)), c.easter) << c.year;
    }
}

TEST(Easter, TheDateIsMadeThroughTheDateFormatFromFourYearCharacters) {
    // Year 99 computes the Easter of year 99 (29 March) and reads "29/03/99" against the
    // epoch 1980; a longer year keeps its last four characters.
    EXPECT_EQ(EASTER(99), ymd(1999, 3, 29));
    EXPECT_EQ(EASTER(12024), ymd(2024, 4, 7));
    // The empty date is year 0: "09/04/0" reads as 2000.
    EXPECT_EQ(EASTER(Date()), ymd(2000, 4, 9));
}

TEST(Isfest, Holidays) {
    struct Case {
        Date date;
        bool saturday;
        bool expected;
    };
    const Case cases[] = {
        {ymd(2025, 4, 21), true, true},    // Easter Monday
        {ymd(2024, 4, 1), false, true},    // Easter Monday
        {ymd(2025, 4, 22), true, false},   // the Tuesday after
        {ymd(2025, 4, 20), true, true},    // Easter Sunday, a Sunday
        {ymd(2025, 4, 25), true, true},    // fixed, a Friday
        {ymd(2023, 6, 2), false, true},    // fixed, a Friday
        {ymd(2026, 12, 26), false, true},  // fixed, a Saturday
        {ymd(2025, 1, 6), true, true},
        {ymd(2025, 8, 15), true, true},
        {ymd(2025, 12, 8), true, true},
        {ymd(2025, 3, 15), true, true},    // a Saturday, counted by default
        {ymd(2025, 3, 15), false, false},  // not counted when asked
        {ymd(2025, 3, 16), false, true},   // a Sunday
        {ymd(2025, 3, 12), true, false},   // a Wednesday
        {ymd(2025, 6, 3), true, false},
        {Date(), true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ISFEST(c.date, c.saturday), c.expected)
            << c.date.day() << "/" << c.date.month() << "/" << c.date.year();
    EXPECT_TRUE(ISFEST(ymd(2025, 3, 15)));
}

TEST(Isleap, DatesAndNumbers) {
    struct Case {
        int year;
        bool expected;
    };
    const Case cases[] = {{1900, false}, {2023, false}, {2000, true}, {2024, true}, {2100, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(ISLEAP(c.year), c.expected) << c.year;
        EXPECT_EQ(ISLEAP(ymd(c.year, 7, 1)), c.expected) << c.year;
    }
    EXPECT_TRUE(ISLEAP(Date()));  // year 0
    EXPECT_TRUE(ISLEAP(0));
}

TEST(Mdays, MonthLengths) {
    struct Case {
        Date date;
        int days;
    };
    const Case cases[] = {
        {ymd(2024, 2, 10), 29},
        {ymd(2023, 2, 10), 28},
        {ymd(1900, 2, 1), 28},
        {ymd(2000, 2, 1), 29},
        {ymd(2023, 4, 30), 30},
        {ymd(2023, 4, 1), 30},
        {ymd(2023, 6, 5), 30},
        {ymd(2023, 9, 5), 30},
        {ymd(2023, 11, 5), 30},
        {ymd(2023, 1, 5), 31},
        {ymd(2023, 7, 5), 31},
        {ymd(2023, 12, 31), 31},
        {Date(), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(MDAYS(c.date), c.days) << c.date.month();
}

TEST(Cday, ItalianWeekdayNames) {
    // 2 to 8 June 2025 run from Monday to Sunday.
    const char* names[] = {"Luned\xEC",  "Marted\xEC", "Mercoled\xEC", "Gioved\xEC",
                           "Venerd\xEC", "Sabato",     "Domenica"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(CDAY(ymd(2025, 6, 2 + i)), names[i]) << i;
    EXPECT_EQ(CDAY(ymd(2025, 6, 2)).back(), '\xEC');
    EXPECT_EQ(CDAY(Date()), "");
}

TEST(Cmnt, MonthNamesForDatesAndNumbers) {
    const char* names[] = {"",        "Gennaio",  "Febbraio", "Marzo",  "Aprile",
                           "Maggio",  "Giugno",   "Luglio",   "Agosto", "Settembre",
                           "Ottobre", "Novembre", "Dicembre"};
    for (int m = 0; m <= 12; ++m) EXPECT_EQ(CMNT(m), Value(names[m])) << m;
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(CMNT(ymd(2024, m, 28)), Value(names[m])) << m;
    EXPECT_EQ(CMNT(ymd(2024, 9, 1)), Value("Settembre"));
    EXPECT_EQ(CMNT(Date()), Value(""));
    for (double other : {13.0, -1.0, 2.5}) EXPECT_TRUE(CMNT(other).is_nothing()) << other;
}

TEST(Istime, FieldsInRange) {
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"23:59:59", true},  {"00:00:00", true},  {"24:00:00", false},
        {"12:60:00", false}, {"12:00:60", false}, {"12:00:00 ", false},
        {" 2:00:00", false}, {"12: 0:00", false}, {"", true},  // every field reads as 0
        {"12:30", true},                                       // seconds missing
        {"12-30-45", true},                                    // separators not examined
        {"ab:cd:ef", true},                                    // letters read as 0
        {"-1:00:00", true},                                    // no lower bound
        {"2x:99:00", false},                                   // "2x" reads 2, "99" is out of range
        {"99", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISTIME(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Ttod, DatePartOfADateTime) {
    EXPECT_EQ(TTOD(runtime::DateTime{}), Date());
    EXPECT_EQ(TTOD(runtime::DateTime{ymd(2024, 12, 25), 86399999}), ymd(2024, 12, 25));
    EXPECT_EQ(TTOD(runtime::DateTime{ymd(2024, 12, 25), 0}), ymd(2024, 12, 25));
}

}  // namespace
}  // namespace kelv
