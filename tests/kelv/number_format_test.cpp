#include "kelv/values/number_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kelv {
namespace {

using runtime::Number;

struct Case {
    double value;
    std::optional<int> width;
    const char* expected;
};

void check(const char* name, std::string (*format)(const Number&, std::optional<int>),
           std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(format(Number{c.value}, c.width), c.expected)
            << name << "(" << c.value << ", " << (c.width ? std::to_string(*c.width) : "-") << ")";
}

TEST(Nstr, GroupsWidthAndOverflow) {
    check("NSTR", NSTR,
          {
              {1234567, {}, "    1.234.567"},
              {1234567, 7, "1.234.567"},
              {-1234567, {}, "   -1.234.567"},
              {12345678, 7, "*********"},
              {-1234, 4, "*****"},
              {-999, 3, "***"},
              {-99, 3, "-99"},
              {999, 3, "999"},
              {1000, 3, "***"},
              {0, {}, "            0"},
              {1, 1, "1"},
              {-1, 1, "*"},
              {123456789012345.0, 15, "123.456.789.012.345"},
              {1234567890, {}, "1.234.567.890"},
              {12345678901.0, {}, "*************"},  // natural width 20 counts as 10
              {-999999999, {}, " -999.999.999"},
              {-1000000000, {}, "*************"},  // 11 characters with the sign
          });
}

TEST(Nstr, MinusMovesIntoTheSeparatorsPlace) {
    check("NSTR", NSTR,
          {
              {-123, 4, " -123"},
              {-123, 5, "  -123"},
              {-123, 6, "   -123"},
              {-123, 7, "     -123"},
              {-123456, 7, " -123.456"},
              {-123456, 8, "  -123.456"},
              {-12, 4, "  -12"},
              {-1234, 5, "-1.234"},
              {-1234567, 8, "-1.234.567"},
              {-123456789, 10, " -123.456.789"},
          });
    check("ENSTR", ENSTR,
          {
              {-123.5, 6, " -123,50"},
              {-123456.25, 9, " -123.456,25"},
          });
}

// Right-aligned text in the field of d integer positions (and two decimals when e).
std::string field(const std::string& text, int d, bool e = false) {
    std::size_t length = static_cast<std::size_t>(d + (d - 1) / 3 + (e ? 3 : 0));
    return std::string(length - text.size(), ' ') + text;
}

TEST(Nstr, SignBeforeItsDigitsAtEveryWidth) {
    // Where a group separator falls just right of the "-" (widths 4, 7, 10, 13 for -123),
    // the sign takes the separator's place: never "- 123".
    for (int d = 1; d <= 15; ++d) {
        EXPECT_EQ(NSTR(-123, d), d < 4 ? std::string(d, '*') : field("-123", d)) << d;
        EXPECT_EQ(NSTR(-123456, d),
                  d < 7 ? field(std::string(d + (d - 1) / 3, '*'), d) : field("-123.456", d))
            << d;
        EXPECT_EQ(ENSTR(-123.5, d + 2),
                  d < 4 ? field(std::string(d + (d - 1) / 3, '*') + ",**", d, true)
                        : field("-123,50", d, true))
            << d;
    }
}

TEST(Nstr, HalfRoundsUpAtEveryWidth) {
    for (int d = 1; d <= 15; ++d) {
        EXPECT_EQ(NSTR(0.5, d), field("1", d)) << d;
        EXPECT_EQ(NSTR(-0.5, d), d < 2 ? "*" : field("-1", d)) << d;
        EXPECT_EQ(NSTR(-0.49, d), field("0", d)) << d;
        EXPECT_EQ(ENSTR(0.005, d + 2), field("0,01", d, true)) << d;
        EXPECT_EQ(ENSTR(-0.005, d + 2), d < 2 ? "*,**" : field("-0,01", d, true)) << d;
        EXPECT_EQ(ENSTR(-0.0049, d + 2), field("0,00", d, true)) << d;
    }
}

TEST(Nstr, RoundsHalvesAwayFromZeroOnSixteenDigits) {
    check("NSTR", NSTR,
          {
              {1234.5, 4, "1.235"},
              {0.5, 3, "  1"},
              {-0.5, 3, " -1"},
              {1.5, 1, "2"},
              {2.5, 1, "3"},
              {-2.5, 2, "-3"},
              {0.4, 3, "  0"},
              {-0.4, 3, "  0"},  // rounds to zero: no sign
              {9.5, 1, "*"},     // rounds to 10
              {999.5, 3, "***"},
              {999.5, 4, "1.000"},
              {-999.5, 4, "*****"},
              {1e15 - 0.5, 15, "*******************"},
          });
    check("ENSTR", ENSTR,
          {
              {2.345, 5, "  2,35"},  // 2.345 is a shade below in binary, 2.345 in 16 digits
              {1.005, 3, "1,01"},
              {-1.005, 4, "-1,01"},
              {0.125, 3, "0,13"},
              {-0.004, 3, "0,00"},
              {0.005, 3, "0,01"},
              {99.995, 4, "**,**"},
              {99.995, 5, "100,00"},
          });
}

TEST(Nstr, WidthRules) {
    check("NSTR", NSTR,
          {
              {1, 20, "            1"},        // 20 counts as 10
              {1, 16, "                  1"},  // more than 15 counts as 15
              {1, 19, "                  1"},
              {1, 15, "                  1"},
              {1, 0, "1"},  // no position left: one
          });
    // A table field declares its integer width: N(6,0) and N(9,2) both give 6 positions.
    EXPECT_EQ(NSTR(Number{1234, 6, 0}), "  1.234");
    EXPECT_EQ(NSTR(Number{1234.5, 9, 2}), "  1.235");
    EXPECT_EQ(NSTR(Number{12, 20, 0}), "           12");
    EXPECT_EQ(NSTR(Number{12, 18, 0}), "                 12");
    EXPECT_EQ(ENSTR(Number{1234.5, 6, 0}), "  1.234,50");      // 6 + 2 digit positions
    EXPECT_EQ(ENSTR(Number{1234.5, 10, 0}), "     1.234,50");  // natural 10: 8 + 2
}

TEST(Zstr, BlankOnlyWhenExactlyZero) {
    check("ZSTR", ZSTR,
          {
              {0, {}, "             "},
              {0.4, {}, "            0"},
              {-0.4, 3, "  0"},
              {0, 3, "   "},
              {-5, 3, " -5"},
              {1234567, {}, "    1.234.567"},
          });
}

TEST(Sstr, AbsoluteValueAndSign) {
    struct SignedCase {
        double value;
        std::optional<int> width;
        bool zero;
        const char* expected;
    };
    const SignedCase whole[] = {
        {-1234.5, 6, false, "  1.235-"},
        {1234.5, 6, false, "  1.235 "},
        {0, 6, false, "        "},
        {0, 6, true, "      0 "},
        {-0.4, 3, false, "  0-"},
        {-1234567, {}, false, "    1.234.567-"},
        {-1234567890, {}, false, "1.234.567.890-"},  // 11 signed characters: 20, so 10
        {-999, 3, false, "999-"},
    };
    for (const SignedCase& c : whole)
        EXPECT_EQ(SSTR(Number{c.value}, c.width, c.zero), c.expected) << c.value;
    const SignedCase decimal[] = {
        {-1234.5, {}, false, "     1.234,50-"},
        {0, {}, true, "         0,00 "},
        {0, {}, false, "              "},
        {0.001, 4, false, " 0,00 "},
    };
    for (const SignedCase& c : decimal)
        EXPECT_EQ(ESSTR(Number{c.value}, c.width, c.zero), c.expected) << c.value;
    EXPECT_EQ(SSTR(-5.0), std::string(12, ' ') + "5-");
}

TEST(Enstr, TwoDecimals) {
    check("ENSTR", ENSTR,
          {
              {1234.5, {}, "     1.234,50"},
              {-0.5, {}, "        -0,50"},
              {123456789.5, {}, "**********,**"},
              {12345678.994, {}, "12.345.678,99"},
              {0, {}, "         0,00"},
              {1, 3, "1,00"},
              {1, 0, "1,00"},                        // no position left: one
              {1, 17, "                  1,00"},     // 15 positions at most
              {1e12, {}, "  1.000.000.000.000,00"},  // natural width 20: 22, then 15
          });
    check("EZSTR", EZSTR,
          {
              {0, {}, "             "},
              {0.001, {}, "         0,00"},
              {-12.5, 4, "**,**"},
          });
}

}  // namespace
}  // namespace kelv
