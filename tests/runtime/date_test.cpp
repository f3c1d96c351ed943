#include "runtime/date.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

TEST(Date, JulianDayNumbersOfKnownDates) {
    struct Case {
        int y, m, d;
        std::int32_t julian;
        int weekday;  // 1 = Sunday
    } cases[] = {
        {2000, 1, 1, 2451545, 7},   // a Saturday
        {1970, 1, 1, 2440588, 5},   // a Thursday
        {1582, 10, 15, 2299161, 6}, // first Gregorian day, a Friday
        {2026, 12, 10, 2461385, 5}, // a Thursday
        {1, 1, 1, 1721426, 2},      // proleptic, a Monday
        {9999, 12, 31, 5373484, 6},
    };
    for (const Case& c : cases) {
        Date d = ymd(c.y, c.m, c.d);
        EXPECT_EQ(d.julian(), c.julian) << c.y;
        EXPECT_EQ(d.weekday(), c.weekday) << c.y;
        EXPECT_EQ(d.year(), c.y);
        EXPECT_EQ(d.month(), c.m);
        EXPECT_EQ(d.day(), c.d);
        EXPECT_EQ(Date::from_julian(c.julian), d);
    }
}

TEST(Date, EmptyDate) {
    Date e;
    EXPECT_TRUE(e.empty());
    EXPECT_EQ(e.year(), 0);
    EXPECT_EQ(e.weekday(), 0);
    EXPECT_TRUE(e.plus_days(5).empty());
    EXPECT_LT(e, ymd(1, 1, 1));
}

TEST(Date, InvalidDatesAreRefused) {
    EXPECT_FALSE(Date::from_ymd(2023, 2, 29));
    EXPECT_TRUE(Date::from_ymd(2024, 2, 29));
    EXPECT_FALSE(Date::from_ymd(1900, 2, 29));
    EXPECT_TRUE(Date::from_ymd(2000, 2, 29));
    EXPECT_FALSE(Date::from_ymd(2024, 13, 1));
    EXPECT_FALSE(Date::from_ymd(2024, 4, 31));
    EXPECT_FALSE(Date::from_ymd(0, 1, 1));
}

TEST(Date, ArithmeticCrossesMonthsAndYears) {
    EXPECT_EQ(ymd(2024, 2, 28).plus_days(1), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2024, 12, 31).plus_days(1), ymd(2025, 1, 1));
    EXPECT_EQ(ymd(2025, 3, 1).julian() - ymd(2024, 3, 1).julian(), 365);
}

TEST(Date, TextUnderTheFormat) {
    EXPECT_EQ(date_to_text(ymd(2026, 1, 5), "dd/mm/yyyy"), "05/01/2026");
    EXPECT_EQ(date_to_text(ymd(2026, 1, 5), "dd/mm/yy"), "05/01/26");
    EXPECT_EQ(date_to_text(ymd(2026, 1, 5), "yyyy.mm.dd"), "2026.01.05");
    EXPECT_EQ(date_to_text(Date(), "dd/mm/yyyy"), "  /  /    ");
}

TEST(Date, ReadingTextWithEpoch1980) {
    struct Case {
        const char* text;
        std::optional<Date> expected;
    } cases[] = {
        {"05/01/2026", ymd(2026, 1, 5)},
        {"05/01/80", ymd(1980, 1, 5)},
        {"05/01/79", ymd(2079, 1, 5)},
        {"31/12/99", ymd(1999, 12, 31)},
        {"01/01/00", ymd(2000, 1, 1)},
        {"31/02/2024", std::nullopt},
        {"  /  /    ", Date()},
        {"", Date()},
        {"ab/01/2024", std::nullopt},
        {"1/2/2024", std::nullopt},  // fields are read at their places
    };
    for (const Case& c : cases) EXPECT_EQ(date_from_text(c.text, "dd/mm/yyyy", 1980), c.expected) << c.text;
}

TEST(Date, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(is_leap_year(2000));
    EXPECT_FALSE(is_leap_year(1900));
    EXPECT_TRUE(is_leap_year(2024));
    EXPECT_EQ(days_in_month(2024, 2), 29);
    EXPECT_EQ(days_in_month(2023, 2), 28);
    EXPECT_EQ(days_in_month(2023, 11), 30);
    EXPECT_EQ(days_in_month(2023, 13), 0);
}

}  // namespace
}  // namespace runtime
