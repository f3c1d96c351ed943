#include "dbf/field_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "tests/support/comma_locale.h"

namespace dbf_test {
namespace {

std::string ours(double v, int width, int decimals) {
    char buf[64];
    int n = dbf::format_number(buf, sizeof buf, v, width, decimals);
    return std::to_string(n) + ":" + buf;
}

std::string library(double v, int width, int decimals) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
    return std::to_string(n) + ":" + buf;
}

TEST(FieldNumber, WritesWhatPrintfWrites) {
    struct Case {
        double value;
        int width, decimals;
    } cases[] = {
        {0, 10, 2},          {-0.0, 10, 2},     {-0.001, 10, 2},  {0.125, 10, 2},
        {0.375, 10, 2},      {1.005, 10, 2},    {2.675, 10, 2},   {1234.5, 6, 0},
        {1235.5, 6, 0},      {-1234.5, 6, 0},   {999.995, 10, 2}, {99999999.99, 10, 2},
        {123456789.0, 5, 0}, {1e15, 20, 0},     {1e300, 20, 2},   {-1e-300, 8, 3},
        {0.5, 1, 0},         {1.5, 1, 0},       {2.5, 1, 0},      {3.14159, 20, 15},
        {NAN, 10, 2},        {INFINITY, 10, 2}, {123.456, 3, 0},  {7.0, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ours(c.value, c.width, c.decimals), library(c.value, c.width, c.decimals))
            << c.value << " " << c.width << "." << c.decimals;
    // Amounts as tables hold them: cents, halves of cents, and plain doubles.
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        int decimals = static_cast<int>(rng() % 6);
        double v = static_cast<double>(static_cast<std::int64_t>(rng() % 2000000001) - 1000000000);
        v = i % 3 == 0   ? v / 200.0
            : i % 3 == 1 ? v * 0.01
                         : std::ldexp(v, -static_cast<int>(rng() % 40));
        ASSERT_EQ(ours(v, 12, decimals), library(v, 12, decimals)) << v << " ." << decimals;
    }
}

TEST(FieldNumber, ReadsWhatStrtodReads) {
    const char* cases[] = {"",
                           "          ",
                           "    123.45",
                           "-12.5",
                           "+7",
                           "-0",
                           "  -.5",
                           "5.",
                           ".",
                           "-",
                           "1.5e3",
                           "12 34",
                           "0.1",
                           "0.3",
                           "123456789012345",
                           "1234567890123456789",
                           "9007199254740993",
                           "  12.5abc",
                           "1e400",
                           "-1e400",
                           "1e-400",
                           " inf",
                           "*******",
                           "\t3",
                           "00000000.01",
                           "-999999.9999"};
    for (const char* text : cases) {
        double want = std::strtod(text, nullptr);
        double got = dbf::parse_number(text);
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << "\"" << text << "\"";
        EXPECT_TRUE(got == want || (std::isnan(got) && std::isnan(want))) << "\"" << text << "\"";
    }
    // Every text format_number writes reads back as strtod reads it.
    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        int decimals = static_cast<int>(rng() % 5);
        char buf[64];
        double v =
            static_cast<double>(static_cast<std::int64_t>(rng() % 20000000001) - 10000000000) /
            std::pow(10.0, decimals);
        std::snprintf(buf, sizeof buf, "%14.*f", decimals, v);
        ASSERT_EQ(dbf::parse_number(buf), std::strtod(buf, nullptr)) << "\"" << buf << "\"";
    }
}

TEST(FieldNumber, ReadsOnlyDecimalNumbers) {
    EXPECT_EQ(dbf::parse_number("0x10"), 0.0);
    EXPECT_EQ(dbf::parse_number("  0X1A"), 0.0);
}

// Under a locale with "," the text keeps "."; the short way and the long way alike.
TEST(FieldNumber, KeepsThePointUnderACommaLocale) {
    const test_support::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "no locale with a decimal comma";
    struct Case {
        double value;
        int width, decimals;
        const char* text;
    } cases[] = {
        {3.14, 10, 2, "      3.14"},            // the short way
        {0.125, 6, 2, "  0.12"},                // a tie: the library's way
        {1e15, 20, 3, "1000000000000000.000"},  // beyond the short way's range
        {-2.5e-7, 12, 10, "-0.0000002500"},
    };
    for (const Case& c : cases) {
        char buf[64];
        dbf::format_number(buf, sizeof buf, c.value, c.width, c.decimals);
        EXPECT_STREQ(buf, c.text);
    }
    EXPECT_EQ(dbf::parse_number("      3.14"), 3.14);                        // the short way
    EXPECT_EQ(dbf::parse_number("1234567890123456.5"), 1234567890123456.5);  // the long way
    EXPECT_EQ(dbf::parse_number("-2.5e-7"), -2.5e-7);
}

}  // namespace
}  // namespace dbf_test
