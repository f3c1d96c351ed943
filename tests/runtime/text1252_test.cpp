#include "runtime/text1252.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

TEST(Text1252, EveryByteRoundTripsThroughUtf16AndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(from_utf16(to_utf16(all)), all);
    EXPECT_EQ(from_utf8(to_utf8(all)), all);
}

TEST(Text1252, MapsThePublishedCodePoints) {
    struct Case {
        unsigned char byte;
        char16_t unicode;
    } cases[] = {{0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F},
                 {0x90, 0x0090}, {0x9D, 0x009D}, {0x92, 0x2019}, {0x9F, 0x0178},
                 {0xE0, 0x00E0}, {0xEC, 0x00EC}, {0xFF, 0x00FF}, {0x41, 0x0041}};
    for (const Case& c : cases) {
        EXPECT_EQ(cp1252_to_unicode(c.byte), c.unicode) << int(c.byte);
        EXPECT_EQ(static_cast<unsigned char>(unicode_to_cp1252(c.unicode)), c.byte);
    }
}

TEST(Text1252, Utf8OfAccentedItalian) {
    EXPECT_EQ(to_utf8("gi\xE0"), "gi\xC3\xA0");
    EXPECT_EQ(to_utf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(from_utf8("Luned\xC3\xAC"), "Luned\xEC");
}

TEST(Text1252, OutsideTheCodePageBecomesQuestionMark) {
    EXPECT_EQ(from_utf16(u"\u4E2D"), "?");
    EXPECT_EQ(from_utf8("\xF0\x9F\x98\x80"), "?");      // a character beyond the BMP
    EXPECT_EQ(from_utf16(u"\U0001F600"), "?");           // a surrogate pair is one character
    EXPECT_EQ(from_utf8("a\xC3"), "a?");                  // truncated sequence
    EXPECT_EQ(from_utf8("\xC3(x"), "?(x");                // bad continuation byte
}

TEST(Text1252, CaseChangesAsciiLettersOnly) {
    EXPECT_EQ(upper("game.b\xE0n"), "GAME.B\xE0N");
    EXPECT_EQ(lower("ABC\xC0"), "abc\xC0");
    EXPECT_TRUE(equals_ignore_case("Velkan.ini", "VELKAN.INI"));
    EXPECT_FALSE(equals_ignore_case("a", "ab"));
}

TEST(Text1252, TrimAndBlank) {
    EXPECT_EQ(trim("  AB C  "), "AB C");
    EXPECT_EQ(trim_right("  A  "), "  A");
    EXPECT_EQ(trim_left("  A  "), "A  ");
    EXPECT_TRUE(is_blank(""));
    EXPECT_TRUE(is_blank("   "));
    EXPECT_FALSE(is_blank(" \t"));
}

}  // namespace
}  // namespace runtime
