#include "kelv/values/mkstr.h"

#include <gtest/gtest.h>

#include <memory>

namespace kelv {
namespace {

using runtime::Value;

TEST(Mkstr, TextsBecomeQuotedExpressions) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", R"("abc")"},
        {R"(a"b)", R"("a" + ["] + "b")"},
        {R"("a)", R"(["] + "a")"},
        {R"(a")", R"("a" + ["])"},
        {R"(a""b)", R"("a" + [""] + "b")"},
        {R"(")", R"(["])"},
        {"   ", R"("")"},
        {" \t\r\n", R"("")"},
        {"", R"("")"},
        {" a ", R"(" a ")"},
        // The removals act on runs the text itself holds as well.
        {R"(x] + [y)", R"("xy")"},
        {"\xE0", "\"\xE0\""},
    };
    for (const Case& c : cases) EXPECT_EQ(MKSTR(c.text), Value(c.expected)) << c.text;
}

TEST(Mkstr, DatesNumbersAndOtherValues) {
    EXPECT_EQ(MKSTR(*runtime::Date::from_ymd(2024, 12, 25)), Value(R"(CTOD( "25/12/2024" ))"));
    EXPECT_EQ(MKSTR(*runtime::Date::from_ymd(2024, 1, 5)), Value(R"(CTOD( "05/01/2024" ))"));
    EXPECT_EQ(MKSTR(12), Value("12"));
    EXPECT_EQ(MKSTR(-12.5), Value("-12.5"));
    EXPECT_EQ(MKSTR(Value::number(12, 8, 2)), Value("12.00"));

    struct Empty {
        Value value;
    };
    const Empty empties[] = {{Value()},
                             {Value(false)},
                             {Value(0)},
                             {Value(runtime::Date())},
                             {Value(runtime::DateTime{})},
                             {Value::list()}};
    for (const Empty& e : empties)
        EXPECT_EQ(MKSTR(e.value), Value(R"("")")) << runtime::kind_letter(e.value);

    Value list = Value::list({Value(1)});
    Value object = Value(std::make_shared<runtime::Object>());
    for (const Value& other : {Value(true), list, object}) EXPECT_EQ(MKSTR(other), other);
}

}  // namespace
}  // namespace kelv
