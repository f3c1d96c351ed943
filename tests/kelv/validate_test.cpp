#include "kelv/values/validate.h"

#include <gtest/gtest.h>

#include <string>

namespace kelv {
namespace {

struct Case {
    const char* text;
    bool expected;
};

TEST(Iscod, FiscalCodes) {
    const Case cases[] = {
        {"ABCDEF12G34H567S", true},
        {"abcdef12g34h567s", true},     // upper-cased first
        {"ABCDEF12G34H567S   ", true},  // trailing blanks of a form field
        {" ABCDEF12G34H567S", false},   // 17 characters: checked as a VAT number
        {"ABCDEF12G34H567", false},     // 15 characters: a VAT number that fails
        {"ABCDEF12G34H56?S", false},    // neither letter nor digit
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISCOD(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Iscod, OnlyTheMatchingFinalLetterPasses) {
    for (char last = 'A'; last <= 'Z'; ++last) {
        std::string code = std::string("ABCDEF12G34H567") + last;
        EXPECT_EQ(ISCOD(code), last == 'S') << code;
        // A digit at position 12 fails whatever the final letter.
        EXPECT_FALSE(ISCOD(std::string("ABCDEF12G341567") + last)) << last;
    }
    EXPECT_FALSE(ISCOD("ABCDEF12G34H5670"));
}

TEST(Iscod, ElevenCharactersAreAVatNumber) {
    for (const char* vat : {"12345678903", "12345678904", "00000000000", "A2345678907"})
        EXPECT_EQ(ISCOD(vat), ISIVA(vat)) << vat;
    EXPECT_TRUE(ISCOD("12345678903"));
    EXPECT_TRUE(ISCOD("a2345678907"));  // upper-cased before the VAT check
}

TEST(Isiva, VatNumbers) {
    const Case cases[] = {
        {"12345678903", true},
        {"12345678903  ", true},
        {"00000000000", false},  // its check digit would match
        {"1234567890", false},
        {"123456789031", false},
        {"", false},
        // Letters are not rejected: they enter the arithmetic with code - 48, at an odd
        // position (A = 17) and at an even one (B = 18, INT(36 / 10 + 6) = 9).
        {"A2345678907", true},
        {"A2345678903", false},
        {"1B345678908", true},
        {"1B345678903", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISIVA(c.text), c.expected) << '"' << c.text << '"';
    for (char last = '0'; last <= '9'; ++last)
        EXPECT_EQ(ISIVA(std::string("1234567890") + last), last == '3') << last;
}

TEST(Isiban, Ibans) {
    const Case cases[] = {
        {"IT90X0123401234000000012345", true},
        {"IT90 X012 3401 2340 0000 0012 345", false},  // blanks every four: wrong length
        {"it90x0123401234000000012345", false},        // lower case keeps its own codes
        {"IT90X0123401234000000012345   ", false},     // trimmed for the length only
        {"  IT90X0123401234000000012345", false},      // the blanks enter the check
        // Blanks before the text pass the length test and count as characters (code - 55
        // written with its sign), so these check digits make it pass.
        {"  IT57X0123401234000000012345", true},
        {"IT90X012340123400000001234", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISIBAN(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Isiban, AnyChangedDigitFails) {
    const std::string good = "IT90X0123401234000000012345";
    for (std::size_t i = 0; i < good.size(); ++i) {
        if (good[i] < '0' || good[i] > '9') continue;
        std::string bad = good;
        bad[i] = static_cast<char>('0' + (bad[i] - '0' + 1) % 10);
        EXPECT_FALSE(ISIBAN(bad)) << bad;
    }
}

TEST(Isemail, CharacterRules) {
    const Case cases[] = {
        {"a@b.c", true},     {"a@b.c   ", true}, {"a-x@b.c", true}, {"a_x@b.c", true},
        {"a'x@b.c", true},   {"a@@b.c", true},   // count and order of "@" and "." do not matter
        {"a.b@", true},      {"a@b.c.", false},  // final dot
        {"a@b.c. ", false},  {"a b@c.d", false}, {"a@bc", false},  // no dot
        {"ab.c", false},                                           // no at sign
        {"\xE0@b.c", false},  // an accented letter is not a letter
        {"a,b@c.d", false},  {"", false},        {"   ", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISEMAIL(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Isnumber, DigitsOnly) {
    const Case cases[] = {
        {"0123456789", true}, {"", true},     {" 1", false}, {"-1", false},
        {"+1", false},        {"1.5", false}, {"1 ", false}, {"\xB2", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ISNUMBER(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
}  // namespace kelv
