#include <gtest/gtest.h>

#include "runtime/date.h"
#include "runtime/error.h"
#include "runtime/settings.h"

namespace runtime {
namespace {

class Settings : public testing::Test {
protected:
    void TearDown() override { clear_settings(); }
};

TEST_F(Settings, ReadAndWriteByNameIgnoringCase) {
    EXPECT_TRUE(setting("Epoch").is_nothing());
    EXPECT_TRUE(set_setting("Epoch", 1950).is_nothing());
    EXPECT_EQ(setting("EPOCH").number(), 1950);
    EXPECT_EQ(set_setting("epoch", 1980).number(), 1950);
}

TEST_F(Settings, DateReadingFollowsTheSettings) {
    EXPECT_EQ(date_format(), "dd/mm/yyyy");
    set_setting("DateFormat", "mm/dd/yyyy");
    set_setting("Epoch", 1950);
    EXPECT_EQ(date_to_text(*Date::from_ymd(2026, 1, 5)), "01/05/2026");
    EXPECT_EQ(date_from_text("01/05/49"), Date::from_ymd(2049, 1, 5));
    EXPECT_EQ(date_from_text("01/05/50"), Date::from_ymd(1950, 1, 5));
}

class ErrorHandling : public testing::Test {
protected:
    void TearDown() override { install_error_handler({}); }
};

TEST_F(ErrorHandling, TheInstalledHandlerAnswers) {
    Error seen;
    install_error_handler([&](const Error& e) {
        seen = e;
        return Value(0);
    });
    Error e;
    e.gencode = gencode::kZeroDivide;
    e.operation = "/";
    EXPECT_EQ(raise(e).number(), 0);
    EXPECT_EQ(seen.gencode, 5);
    EXPECT_EQ(seen.operation, "/");
}

TEST_F(ErrorHandling, BreakReachesTheNearestRecoveryPointWithItsValue) {
    install_error_handler([](const Error&) -> Value { throw Break{"abandoned"}; });
    std::string reached;
    try {
        raise(Error{});
        reached = "after raise";
    } catch (const Break& b) {
        reached = b.value.text();
    }
    EXPECT_EQ(reached, "abandoned");
}

TEST_F(ErrorHandling, ReplacingReturnsThePreviousHandler) {
    auto first = [](const Error&) { return Value(1); };
    install_error_handler(first);
    ErrorHandler previous = install_error_handler([](const Error&) { return Value(2); });
    EXPECT_EQ(previous(Error{}).number(), 1);
    EXPECT_EQ(raise(Error{}).number(), 2);
}

TEST_F(ErrorHandling, WithoutHandlerAnErrorEndsTheProgram) {
    EXPECT_THROW(raise(Error{}), Quit);
}

}  // namespace
}  // namespace runtime
