// Buttons worked by a user: choosing a radio button clears the others of its group only;
// a button reached with Tab is the dialog's focused control. Shared by the drivers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/winlib/user.h"
#include "winlib/buttons.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace winlib {
namespace {

using testing::make_user;

TEST(RadioButtons, ChoosingOneClearsTheOthersOfItsGroupOnly) {
    auto dlg = TDialog::New("Scelta", 260, 200, ws::kPopup | ws::kCaption | ws::kSysMenu);
    auto frame = TGroup::New(*dlg, {5, 5, 240, 150}, "Colori");
    std::vector<std::shared_ptr<TRadio>> radios;
    // Two groups: A (11, 12) and B (13, 14), the first of each checked; each button no
    // wider than its mark and caption, where a click counts.
    for (int i = 0; i < 4; ++i) {
        radios.push_back(TRadio::New(*dlg, {20, 25 + 30 * i, 40, 24}, 11 + i,
                                     std::string(1, i < 2 ? 'A' : 'B') + std::to_string(i % 2 + 1),
                                     i % 2 == 0));
        radios.back()->lChecked = i % 2 == 0;
    }
    std::vector<std::string> seen;
    for (const auto& radio : radios) {
        radio->bChange = [&] {
            std::string marks;
            for (const auto& r : radios) marks += r->lChecked ? '1' : '0';
            seen.push_back(marks);
        };
    }
    auto user = make_user();
    user->wait_window("Scelta")
        .expect_text("Scelta", 11, "A1")
        .click("Scelta", 12)
        .click("Scelta", 14)
        .click("Scelta", 11)
        .pause(200)
        .key("Scelta", vk::kEscape);
    user->start();
    dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(seen, (std::vector<std::string>{"0110", "0101", "1001"}));
    EXPECT_TRUE(dlg->lModify);
    EXPECT_EQ(frame->GetText(), "Colori");
}

TEST(Buttons, OneReachedWithTabIsTheFocusedControl) {
    auto dlg = TDialog::New("Tasti", 260, 120, ws::kPopup | ws::kCaption | ws::kSysMenu);
    std::string text(5, ' ');
    auto field = TGet::New(*dlg, {10, 10, 100, 24}, &text);
    auto button = TButton::New(*dlg, {10, 50, 80, 26}, 201, "Prova", {});
    std::vector<bool> button_focused;  // at each close request
    dlg->bValid = [&] {
        button_focused.push_back(dlg->hCtlFocus == button->hWnd);
        return true;
    };
    auto user = make_user();
    user->wait_window("Tasti").key("Tasti", vk::kTab).pause(100).key("Tasti", vk::kEscape);
    user->start();
    dlg->bStart = [&] { field->SetFocus(); };
    dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(button_focused, std::vector<bool>{true});
}

}  // namespace
}  // namespace winlib
