#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace runtime {
namespace {

TEST(RoundDecimal, HalvesAwayFromZeroOnSixteenDigits) {
    struct Case {
        double value;
        int decimals;
        bool negative;
        const char* integer;
        const char* fraction;
    };
    const Case cases[] = {
        {0.5, 0, false, "1", ""},
        {-0.5, 0, true, "1", ""},
        {-0.4, 0, false, "0", ""},  // rounds to zero: no sign
        {2.345, 2, false, "2", "35"},
        {1.005, 2, false, "1", "01"},
        {-1.005, 2, true, "1", "01"},
        {999.995, 2, false, "1000", "00"},
        {0.001, 2, false, "0", "00"},
        {0.0049999, 2, false, "0", "00"},
        {1234.5, 0, false, "1235", ""},
        {0, 2, false, "0", "00"},
        {1e20, 0, false, "100000000000000000000", ""},
        {1e-20, 2, false, "0", "00"},
        {123456789012345678.0, 0, false, "123456789012345700", ""},  // 16 digits kept
    };
    for (const Case& c : cases) {
        RoundedDecimal r = round_decimal(c.value, c.decimals);
        EXPECT_EQ(r.negative, c.negative) << c.value;
        EXPECT_EQ(r.integer, c.integer) << c.value;
        EXPECT_EQ(r.fraction, c.fraction) << c.value;
    }
}

TEST(IntegerDigitCount, WithoutRounding) {
    struct Case {
        double value;
        int digits;
    };
    const Case cases[] = {{0, 1},  {0.99, 1},       {-0.5, 1},          {9, 1},
                          {10, 2}, {-999999999, 9}, {9999999999.6, 10}, {1e10, 11}};
    for (const Case& c : cases) EXPECT_EQ(integer_digit_count(c.value), c.digits) << c.value;
}

TEST(NumberText, PlainDecimalText) {
    struct Case {
        Number number;
        const char* text;
    };
    const Case cases[] = {
        {{12}, "12"},          {{-12.5}, "-12.5"},           {{0}, "0"},
        {{0.1 + 0.2}, "0.3"},  {{1e15}, "1000000000000000"}, {{1234, 8, 0}, "1234"},
        {{12, 8, 2}, "12.00"}, {{2.345, 8, 2}, "2.35"},      {{-0.001, 5, 2}, "0.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(number_text(c.number), c.text) << c.number.value;
}

TEST(LeadingNumber, ReadsWhatCanBeRead) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12", 12},     {"12:30", 12},      {"-1", -1}, {"+7", 7}, {"  42x", 42},
        {"1.5.2", 1.5}, {".5", 0.5},        {"ab", 0},  {"", 0},   {"-", 0},
        {"12-23", 12},  {"-23456", -23456}, {"007", 7},
    };
    for (const Case& c : cases) EXPECT_EQ(leading_number(c.text), c.value) << c.text;
}

TEST(NumberText, IgnoresTheProcessLocale) {
    // A GUI toolkit may switch the C locale to the user's, whose decimal mark may be ",".
    const char* set = std::setlocale(LC_ALL, "it_IT.UTF-8");
    EXPECT_EQ(number_text(-12.5), "-12.5");
    EXPECT_EQ(leading_number("1.5"), 1.5);
    EXPECT_EQ(round_decimal(2.345, 2).fraction, "35");
    if (set != nullptr) std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace runtime
