// Message boxes and the wait box, answered by a user (tests/winlib/user.h).
#include <gtest/gtest.h>

#include "kelv/ui/popmsg.h"

#include <algorithm>
#include <string>

#include "kelv/ui/wait_box.h"
#include "winlib/services.h"
#include "tests/winlib/progress_watch.h"
#include "tests/winlib/user.h"
#include "winlib/control.h"
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
    EXPECT_FALSE(winlib::window_enabled(owner->hWnd));
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

// Keys go to the box rather than to the field of the window it covers: the box, or on
// Windows the control in it that the dialog manager chose, has the focus.
TEST(WaitBox, TakesTheFocusFromTheWindowItCovers) {
    auto owner = winlib::TDialog::New("Proprietario", 300, 200);
    std::string name = "abc";
    auto field = winlib::TGet::New(*owner, {10, 10, 120, 22}, &name);
    owner->Activate(false);
    field->SetFocus();
    winlib::pump();
    ASSERT_EQ(winlib::focused_window(), field->hWnd);
    POPMSG("Attendere prego");
    winlib::pump();
    const winlib::TDialog* box = wait_box_window();
    ASSERT_NE(box, nullptr);
    const winlib::Handle focused = winlib::focused_window();
    const auto control = winlib::Window::control_owning(focused);
    EXPECT_TRUE(focused == box->hWnd || (control != nullptr && control->oWnd == box))
        << "focus on " << focused << ", the box is " << box->hWnd;
    POPMSG();
    owner->End();
    winlib::pump();
}

// The box's measured size: width + 110 by (lines + 5) character heights of its 15-pixel
// font; a blank text is one line 100 pixels narrower than its length; a progress bar adds
// a line and 5 pixels.
TEST(WaitBox, TakesItsMeasuredSize) {
    const int surface = static_cast<int>(winlib::active_window());
    auto width_of = [surface](std::initializer_list<const char*> lines) {
        int widest = 0;
        for (const char* line : lines)
            widest = std::max(widest, winlib::text_width(static_cast<winlib::Handle>(surface), line));
        return widest;
    };
    const std::string long_words = std::string(60, 'a') + " " + std::string(30, 'b');
    struct Case {
        const char* name;
        std::string text;
        Value nMin;
        int width;
        int lines;
    } cases[] = {
        {"empty", "", Value(), 10, 1},
        {"empty with a bar", "", Value(0), 15, 2},
        {"blanks", "   ", Value(), 13, 1},
        {"two lines", "Uno;Secondo   ", Value(), width_of({"Uno", "Secondo"}) + 110, 2},
        {"wrapped at 79", long_words, Value(),
         width_of({std::string(60, 'a').c_str(), std::string(30, 'b').c_str()}) + 110, 2},
        {"tab as 4", "\tx", Value(0), width_of({"    x"}) + 115, 2},
    };
    for (const Case& c : cases) {
        POPMSG(c.text, {}, {}, {}, c.nMin, Value(10));
        const winlib::TDialog* box = wait_box_window();
        ASSERT_NE(box, nullptr) << c.name;
        EXPECT_EQ(box->nWidth, c.width) << c.name;
        EXPECT_EQ(box->nHeight, (c.lines + 5) * 15) << c.name;
        EXPECT_EQ(wait_box_progress() != nullptr, c.nMin.is_number()) << c.name;
        POPMSG();
        EXPECT_EQ(wait_box_window(), nullptr) << c.name;
    }
}

// SetPos sets the bar one past its end first; at the end of the range through a range
// widened by one. It ends at the position, or full. What the bar showed is watched on it.
TEST(WaitBox, MovesTheBarWithinItsRange) {
    using winlib::testing::ProgressShown;
    POPMSG("Copia in corso", {}, {}, {}, Value(0), Value(10));
    const winlib::TProgress* bar = wait_box_progress();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(std::pair(bar->nMin, bar->nMax), std::pair(0, 10));
    struct Case {
        int position;
        std::vector<ProgressShown> shown;  // from where the case before left the bar
    } cases[] = {
        {4, {{0, 10, 5}, {0, 10, 4}}},
        {0, {{0, 10, 1}, {0, 10, 0}}},
        {10, {{0, 11, 11}, {0, 10, 10}}},
        {12, {{0, 11, 11}, {0, 10, 10}}},
        {9, {{0, 10, 9}}},  // one past is 10, where the bar already stood
    };
    for (const Case& c : cases) {
        // A position comes with a text: a request without one closes the box.
        const auto shown = winlib::testing::watch_progress(*bar, [&] {
            POPMSG("Copia in corso", {}, {}, {}, {}, {}, Value(c.position));
        });
        ASSERT_EQ(wait_box_progress(), bar);
        EXPECT_EQ(shown, c.shown) << c.position;
        EXPECT_EQ(bar->nPos, c.shown.back().position) << c.position;
        EXPECT_EQ(std::pair(bar->nMin, bar->nMax), std::pair(0, 10)) << c.position;
    }
    POPMSG();
}

// Esc held asks the box to close by itself (the dialog's cancel); F4 held stands for
// Alt+F4, the close request arriving while the key is down.
TEST(WaitBox, EscOrF4HeldDoesNotCloseIt) {
    for (const int key : {winlib::vk::kEscape, winlib::vk::kF4}) {
        SCOPED_TRACE(testing::Message() << "key " << key);
        POPMSG("Attendere prego");
        auto user = make_user();
        user->wait_window("Attendere");
        if (key == winlib::vk::kEscape) user->hold(key, 600);
        else user->hold_closing(key, 600, "Attendere");
        user->pause(200);
        user->start();
        EXPECT_TRUE(user->finished()) << user->report();
        ASSERT_NE(wait_box_window(), nullptr);
        EXPECT_NE(wait_box_window()->hWnd, winlib::Handle{0}) << "the box was closed";
        EXPECT_EQ(CURMSG(), Value("Attendere prego"));
        POPMSG();
    }
}


// The print variant: the template's box with its cancel row cut off (33 pixels lower, as
// wide, the cancel button hidden); the page field empty until the first next-page
// request, which shows 2; the text the box shows is no wait text.
TEST(WaitBox, PrintVariantCountsPages) {
    winlib::Size whole;
    auto plain = winlib::TDialog::FromResource("PRINTDLG", "Attendere");
    plain->bInit = [dlg = plain.get(), &whole] {
        whole = dlg->GetSize();
        dlg->End();  // measured, never shown
    };
    plain->Activate(false);
    ASSERT_GT(whole.height, 33);

    const Value t(true), f(false);
    POPMSG({}, {}, {}, f, {}, {}, {}, t);
    const winlib::TDialog* box = wait_box_window();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(CURMSG().is_nothing());
    EXPECT_EQ(box->GetSize().width, whole.width);
    EXPECT_EQ(box->GetSize().height, whole.height - 33);
    ASSERT_NE(box->control_by_id(201), nullptr);
    EXPECT_FALSE(box->control_by_id(201)->IsShown()) << "the cancel button shows";
    EXPECT_TRUE(box->control_by_id(102)->IsShown());
    auto user = make_user();
    user->wait_window("Attendere").expect_text("Attendere", 102, "");
    user->start();
    EXPECT_TRUE(user->finished()) << user->report();

    POPMSG({}, {}, {}, f, {}, {}, {}, f, t);
    auto again = make_user();
    again->wait_window("Attendere").expect_text("Attendere", 102, "2");
    again->start();
    EXPECT_TRUE(again->finished()) << again->report();
    POPMSG();
    EXPECT_EQ(wait_box_window(), nullptr);
}

}  // namespace
}  // namespace kelv
