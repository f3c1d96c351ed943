#include "runtime/value.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

TEST(Value, NothingIsItsOwnKind) {
    Value nothing;
    EXPECT_TRUE(nothing.is_nothing());
    EXPECT_FALSE(nothing == Value(false));
    EXPECT_FALSE(nothing == Value(0));
    EXPECT_FALSE(nothing == Value(""));
    EXPECT_TRUE(nothing == Value());
    EXPECT_EQ(kind_letter(nothing), 'U');
}

TEST(Value, KindsAndLetters) {
    struct Case {
        Value value;
        Kind kind;
        char letter;
    } cases[] = {
        {Value(true), Kind::kLogical, 'L'},
        {Value(3.5), Kind::kNumber, 'N'},
        {Value(*Date::from_ymd(2026, 12, 10)), Kind::kDate, 'D'},
        {Value(DateTime{*Date::from_ymd(2026, 12, 10), 1000}), Kind::kDateTime, 'T'},
        {Value("abc"), Kind::kText, 'C'},
        {Value::list({1, 2}), Kind::kList, 'A'},
        {Value(std::make_shared<Object>()), Kind::kObject, 'O'},
        {Value(Callback([](std::vector<Value>&) { return Value(); })), Kind::kCallback, 'B'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.value.kind(), c.kind);
        EXPECT_EQ(kind_letter(c.value), c.letter);
    }
}

TEST(Value, NumberKeepsDeclaredWidthAndDecimals) {
    Value n = Value::number(12.5, 8, 2);
    EXPECT_EQ(n.number(), 12.5);
    EXPECT_EQ(n.number_info().width, 8);
    EXPECT_EQ(n.number_info().decimals, 2);
    EXPECT_EQ(Value(7).number_info().width, -1);
    EXPECT_TRUE(n == Value(12.5));  // the declared layout is not part of the value
}

TEST(Value, ListsAreSharedAndOneBased) {
    Value a = Value::list({"x", "y"});
    Value b = a;
    b.at(2) = "z";
    EXPECT_EQ(a.at(2).text(), "z");
    EXPECT_EQ(a.at(1).text(), "x");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == Value::list({"x", "z"}));  // identity, not content
    EXPECT_THROW(a.at(3), std::out_of_range);
}

TEST(Value, CallbacksReceiveTheirArguments) {
    Value add(Callback([](std::vector<Value>& args) {
        return Value(args.at(0).number() + args.at(1).number());
    }));
    EXPECT_EQ(add.call({2, 3}).number(), 5);
    EXPECT_TRUE(Value().call().is_nothing());
}

TEST(Value, WrongKindAccessIsAProgrammingFault) {
    EXPECT_THROW(Value("1").number(), std::bad_variant_access);
}

}  // namespace
}  // namespace runtime
