#include "kelv/values/crypt.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kelv {
namespace {

using runtime::Value;

TEST(Crypt, TextsFlipTheTopBitAndComeBack) {
    EXPECT_EQ(CRYPT("AB"), Value("\xC1\xC2"));
    EXPECT_EQ(CRYPT("\xC1\xC2"), Value("AB"));
    EXPECT_EQ(CRYPT("a\xE0 1"), Value("\xE1\x60\xA0\xB1"));
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    for (const std::string& text :
         {std::string("PASSWORD"), std::string("pi\xF9 x"), all, std::string(1, '\0') + "x"})
        EXPECT_EQ(CRYPT(CRYPT(text)), Value(text)) << text;
}

TEST(Crypt, NumbersAgainstTheirNines) {
    struct Case {
        Value in;
        double out;
    };
    const Case cases[] = {
        {1234, 8765},
        {8765, 1234},
        {9000, 999},
        {999, 0},
        {5, 4},
        {-5, 104},                         // "-5": two characters
        {12.5, 9986.5},                    // "12.5": four characters
        {Value::number(12, 8, 2), 99987},  // "12.00": five characters
    };
    for (const Case& c : cases) EXPECT_EQ(CRYPT(c.in), Value(c.out)) << c.in.number();
}

TEST(Crypt, EmptyAndOtherValuesUnchanged) {
    Value list = Value::list({Value(1)});
    Value object = Value(std::make_shared<runtime::Object>());
    const Value same[] = {Value(""),
                          Value("  \t"),
                          Value(0),
                          Value(),
                          Value(false),
                          Value(true),
                          Value(runtime::Date()),
                          Value(*runtime::Date::from_ymd(2024, 1, 1)),
                          list,
                          object};
    for (const Value& v : same) EXPECT_EQ(CRYPT(v), v) << runtime::kind_letter(v);
}

}  // namespace
}  // namespace kelv
