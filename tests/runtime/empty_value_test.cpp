#include "runtime/empty_value.h"

#include <gtest/gtest.h>

#include <memory>

namespace runtime {
namespace {

TEST(EmptyValue, EachKind) {
    struct Case {
        Value value;
        bool empty;
    };
    const Case cases[] = {
        {Value(), true},
        {Value(false), true},
        {Value(true), false},
        {Value(0), true},
        {Value(-0.0), true},
        {Value(0.001), false},
        {Value(Date()), true},
        {Value(*Date::from_ymd(2024, 1, 1)), false},
        {Value(DateTime{}), true},
        {Value(DateTime{*Date::from_ymd(2024, 1, 1), 0}), false},
        {Value(""), true},
        {Value(" \t\r\n "), true},
        {Value(" x "), false},
        {Value("\xA0"), false},
        {Value::list(), true},
        {Value::list({Value()}), false},
        {Value(std::make_shared<Object>()), false},
        {Value(Callback([](std::vector<Value>&) { return Value(); })), false},
    };
    for (const Case& c : cases) EXPECT_EQ(is_empty_value(c.value), c.empty) << kind_letter(c.value);
}

}  // namespace
}  // namespace runtime
