// Message boxes and the wait box, answered by a user (tests/winlib/user.h).
#include <gtest/gtest.h>

#include "kelv/ui/popmsg.h"
#include "tests/winlib/user.h"
#include "winlib/messages.h"
#include "winlib/window.h"

namespace kelv {
namespace {

using runtime::Value;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;  // a message box's text

struct KindCase {
    int kind;
    const char* answer;  // "click" or "esc" or "enter"
    int button;          // for "click"
    Value expected;
};

class MessageKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(MessageKinds, AnswerAsTheKindSays) {
    const KindCase& c = GetParam();
    auto user = make_user();
    user->wait_window("Attenzione");
    if (std::string(c.answer) == "click") user->click("Attenzione", c.button);
    if (std::string(c.answer) == "enter") user->key("Attenzione", winlib::vk::kReturn);
    if (std::string(c.answer) == "esc") user->key("Attenzione", winlib::vk::kEscape);
    user->start();
    Value result = POPMSG("Domanda?", c.kind);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageKinds,
    ::testing::Values(KindCase{1, "click", 1, Value()},
                      KindCase{2, "click", 1, Value(true)}, KindCase{2, "click", 2, Value(false)},
                      KindCase{2, "esc", 0, Value(false)},
                      KindCase{3, "click", 6, Value(6)}, KindCase{3, "click", 7, Value(7)},
                      KindCase{3, "esc", 0, Value(2)},
                      KindCase{4, "click", 6, Value(true)}, KindCase{4, "enter", 0, Value(true)},
                      KindCase{5, "enter", 0, Value(false)}, KindCase{5, "click", 6, Value(true)},
                      KindCase{6, "click", 1, Value(true)}, KindCase{6, "esc", 0, Value(false)}));

TEST(MessageBox, SemicolonBreaksTheLineAndOldAccentsShowAsTheirLetters) {
    auto user = make_user();
    user->wait_window("Avviso")
        .expect_text("Avviso", kText, "Prima riga\r\nseconda \xE8 qui")
        .click("Avviso", 1);
    user->start();
    EXPECT_TRUE(POPMSG("Prima riga;seconda \x8A qui", 1, "Avviso").is_nothing());
    EXPECT_TRUE(user->finished()) << user->report();
}

TEST(MessageBox, KindOutsideTheTableShowsNothing) {
    EXPECT_TRUE(POPMSG("x", 7).is_nothing());
    EXPECT_TRUE(POPMSG("x", 0).is_nothing());
}

TEST(WaitBox, KeepsItsFirstTextUntilClosed) {
    EXPECT_TRUE(POPMSG().is_nothing());  // nothing open: nothing happens
    EXPECT_TRUE(CURMSG().is_nothing());
    POPMSG("Elaborazione in corso");
    EXPECT_EQ(CURMSG(), Value("Elaborazione in corso"));
    POPMSG("Altro testo");  // a second open request leaves the box as it is
    EXPECT_EQ(CURMSG(), Value("Elaborazione in corso"));
    POPMSG("Nuovo testo", {}, {}, true);  // an update changes what it shows, not CURMSG
    EXPECT_EQ(CURMSG(), Value("Elaborazione in corso"));
    POPMSG();
    EXPECT_TRUE(CURMSG().is_nothing());
    POPMSG("   ");
    EXPECT_EQ(CURMSG(), Value(""));
    POPMSG("x", 7);  // a message kind closes the box, even one that shows nothing
    EXPECT_TRUE(CURMSG().is_nothing());
}

TEST(WaitBox, AMessageBoxClosesItAndEnablesTheWindowItDisabled) {
    auto owner = winlib::TDialog::New("Proprietario", 300, 200);
    owner->Activate(false);
    winlib::pump();
    POPMSG("Attendere prego");
    ASSERT_EQ(CURMSG(), Value("Attendere prego"));
    auto user = make_user();
    user->wait_gone("Attendere").wait_window("Attenzione").click("Attenzione", 1);
    user->start();
    POPMSG("Fatto.", 1);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_TRUE(CURMSG().is_nothing());
    // Enabled again: a user's click on the owner reaches it.
    auto again = make_user();
    again->close("Proprietario");
    again->start();
    EXPECT_TRUE(again->finished()) << again->report();
}

}  // namespace
}  // namespace kelv
