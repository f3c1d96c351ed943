#include "kelv/values/text_subst.h"

#include <gtest/gtest.h>

namespace kelv {
namespace {

struct Case {
    const char* text;
    const char* expected;
};

TEST(Htmlencode, EntitiesAmpersandFirst) {
    const Case cases[] = {
        {"\xE0 la carte & co", "&#224; la carte &#38; co"},
        {"&#38;", "&#38;#38;"},
        {"\xE8\xE9\xEC\xF2\xF9\xB0", "&#232;&#233;&#236;&#242;&#249;&#176;"},
        {"<b>\"x\"</b>", "<b>\"x\"</b>"},
        {"\xC0\xC8\xE1", "\xC0\xC8\xE1"},  // other accented letters stay
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(HTMLENCODE(c.text), c.expected) << c.text;
}

TEST(O2a, SixOemLetters) {
    const Case cases[] = {
        {"\x85\x8A\x82\x8D\x95\x97", "\xE0\xE8\xE9\xEC\xF2\xF9"},
        {"perch\x82 pi\x97", "perch\xE9 pi\xF9"},
        {"plain text 123", "plain text 123"},
        // The capital letters and the other OEM bytes stay as they are.
        {"\xB7\xD4\x90\x80\x87\x81", "\xB7\xD4\x90\x80\x87\x81"},
        {"\xE0\xE8", "\xE0\xE8"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(O2A(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace kelv
