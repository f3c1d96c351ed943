// Edit pictures: how a field shows a number and reads back what was typed.
#include "winlib/picture.h"

#include <gtest/gtest.h>

namespace winlib {
namespace {

TEST(Picture, NumberPlaces) {
    const struct {
        const char* picture;
        bool number;
        int positions, decimals;
    } cases[] = {
        {"999", true, 3, 0},      {"9999.99", true, 4, 2}, {"9,999.99", true, 4, 2},
        {"@E 999.9", true, 3, 1}, {"@!", false, 0, 0},     {"", false, 0, 0},
        {"##", true, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        const auto places = number_picture(c.picture);
        ASSERT_EQ(places.has_value(), c.number);
        if (!places) continue;
        EXPECT_EQ(places->positions, c.positions);
        EXPECT_EQ(places->decimals, c.decimals);
    }
}

TEST(Picture, NumbersShownAndOverflowing) {
    const struct {
        double value;
        const char* picture;
        const char* shown;
        bool overflows;
    } cases[] = {
        {999, "999", "999", false},
        {1000, "999", "1000", true},  // shown plainly, so the user sees what to correct
        {-99, "999", "-99", false},
        {-100, "999", "-100", true},
        {5, "999", "5", false},
        {1234.5, "9999.99", "1.234,50", false},
        {12345.5, "9999.99", "12345.5", true},
        {999.996, "999.99", "999.996", true},  // rounds past its places
        {123456, "", "123456", false},         // no digit places: no bound
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(field_number_text(c.value, c.picture), c.shown);
        EXPECT_EQ(number_overflows(c.value, c.picture), c.overflows);
    }
}

TEST(Picture, TypedNumbersReadBack) {
    const struct {
        const char* typed;
        double value;
    } cases[] = {
        {"1000", 1000}, {"1.234,50", 1234.5}, {" 12,5 ", 12.5}, {"-3", -3},
        {"", 0},        {"abc", 0},           {"12a3", 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_DOUBLE_EQ(field_number_value(c.typed), c.value);
    }
}

}  // namespace
}  // namespace winlib
