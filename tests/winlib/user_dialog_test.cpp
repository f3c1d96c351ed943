// Dialogs worked by a user (tests/winlib/user.h): template dialogs and their buttons, the
// close rule, Esc, the start hook and Windows-1252 text on screen. Shared by the drivers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "tests/winlib/user.h"
#include "winlib/control.h"
#include "winlib/messages.h"
#include "winlib/window.h"

namespace winlib {
namespace {

using testing::make_user;

constexpr int kEsc = vk::kEscape;

// The file list template: "Start" (201) confirms, "Cancel" (202) cancels, each setting
// Cargo before asking the dialog to end.
std::shared_ptr<TDialog> file_list_dialog(const std::string& caption, std::string* selected) {
    auto dialog = TDialog::FromResource("AFILES", caption);
    TDialog* raw = dialog.get();
    auto list = TListBox::Redefine(*dialog, 101, selected, {});
    dialog->bInit = [list] { list->SetItems({"ONE       ", "TWO       "}); };
    TButton::Redefine(*dialog, 201, [raw] {
        raw->Cargo = 1;
        raw->End(1);
    });
    TButton::Redefine(*dialog, 202, [raw] {
        raw->Cargo = 2;
        raw->End(2);
    });
    return dialog;
}

// What a button's callback throws never goes back into the driver: an abandon ends the
// press alone, and the dialog goes on; the program's end leaves every open dialog, the
// outer one too, and comes out where the program opened them.
TEST(Callbacks, AnAbandonEndsThePressAQuitEndsEveryDialog) {
    std::string selected;
    auto outer = file_list_dialog("Outer", &selected);
    auto inner = file_list_dialog("Inner", &selected);
    int presses = 0;
    TButton::Redefine(*outer, 203, [&] { inner->Activate(true); });
    TButton::Redefine(*inner, 203, [&] {
        ++presses;
        if (presses == 1) throw runtime::Break{};
        throw runtime::Quit{1};
    });
    auto user = make_user();
    user->wait_window("Outer").click("Outer", 203).wait_window("Inner").click("Inner", 203)
        .expect_items("Inner", 101, {"ONE       ", "TWO       "})  // still there
        .click("Inner", 203)
        .wait_gone("Inner")
        .wait_gone("Outer");
    user->start();
    try {
        outer->Activate(true);
        ADD_FAILURE() << "the quit did not come out";
    } catch (const runtime::Quit& quit) {
        EXPECT_EQ(quit.exit_code, 1);
    }
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(presses, 2);
}

struct ButtonCase {
    int button;
    int result;
};

class TemplateButtons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(TemplateButtons, SetCargoAndEndWithTheirResult) {
    std::string selected;
    auto dialog = file_list_dialog("Files", &selected);
    auto user = make_user();
    user->wait_window("Files")
        .expect_items("Files", 101, {"ONE       ", "TWO       "})
        .expect_selection("Files", 101, 1)
        .click("Files", GetParam().button);
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(dialog->nResult, GetParam().result);
    EXPECT_EQ(dialog->Cargo, runtime::Value(GetParam().result));
}

INSTANTIATE_TEST_SUITE_P(FileList, TemplateButtons,
                         ::testing::Values(ButtonCase{201, 1}, ButtonCase{202, 2}));

TEST(CloseRule, RefusesWhileItSaysNo) {
    std::string selected;
    auto dialog = file_list_dialog("Rule", &selected);
    int asked = 0;
    dialog->bValid = [&asked] { return ++asked >= 2; };
    auto user = make_user();
    // The first press is refused, so the dialog is still there for the second one.
    user->wait_window("Rule").click("Rule", 201).pause(300).wait_window("Rule").click("Rule", 201);
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(dialog->nResult, 1);
}

TEST(CloseRule, EndReportsTheRefusal) {
    auto dialog = TDialog::New("Refused", 300, 200);
    dialog->bValid = [] { return false; };
    bool ended = true;
    dialog->bStart = [&] {
        ended = dialog->End(1);
        dialog->bValid = nullptr;
        dialog->End(1);
    };
    dialog->Activate(true);
    EXPECT_FALSE(ended);
    EXPECT_EQ(dialog->nResult, 1);
}

// Esc is a close request: result 2, Cargo left as it was. Typed in a template's edit, in
// a window with no control, and in a run-time window's read-only log (its client control).
enum class EscWhere { kTemplateEdit, kEmptyWindow, kLog };

class EscCloses : public ::testing::TestWithParam<EscWhere> {};

TEST_P(EscCloses, WithResultTwo) {
    std::string value(10, ' ');
    std::shared_ptr<TDialog> dialog;
    switch (GetParam()) {
        case EscWhere::kTemplateEdit:
            dialog = TDialog::FromResource("MSGGET2", "Esc");
            TGet::Redefine(*dialog, 102, &value);
            break;
        case EscWhere::kEmptyWindow:
            dialog = TDialog::New("Esc", 300, 200);
            break;
        case EscWhere::kLog: {
            dialog = TDialog::New("Esc", 300, 200);
            value = "a line of the log";
            auto log = TMultiGet::New(*dialog, 0, 0, &value, true);
            TDialog* raw = dialog.get();
            dialog->bInit = [raw, log] {
                raw->SetControl(log);
                log->SetFocus();
            };
            break;
        }
    }
    auto user = make_user();
    user->wait_window("Esc").key("Esc", kEsc).wait_gone("Esc");
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(dialog->nResult, 2);
    EXPECT_TRUE(dialog->Cargo.is_nothing());
}

INSTANTIATE_TEST_SUITE_P(Everywhere, EscCloses,
                         ::testing::Values(EscWhere::kTemplateEdit, EscWhere::kEmptyWindow,
                                           EscWhere::kLog));

// A modal window asked to end from inside a message (the start hook runs inside the first
// paint) stays, and keeps handling messages, until that message returns.
TEST(ModalEnd, WaitsForTheMessageBeingHandled) {
    auto dialog = TDialog::New("Ending", 300, 200);
    TDialog* raw = dialog.get();
    int arrivals = 0;
    bool hook_finished = false;
    dialog->bCommNotify = [&arrivals](std::uintptr_t, std::intptr_t) { ++arrivals; };
    dialog->bStart = [raw, &hook_finished] {
        EXPECT_TRUE(raw->End(1));
        for (int i = 0; i < 20; ++i) {
            pump();
            wait_event(10);
        }
        EXPECT_NE(raw->hWnd, 0);
        send_message(raw->hWnd, msg::kCommNotify, 3, 1);
        hook_finished = true;
    };
    dialog->Activate(true);
    EXPECT_TRUE(hook_finished);
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(dialog->nResult, 1);
}

TEST(StartHook, RunsOnceAfterTheFirstPaintAndIsClearedFirst) {
    auto dialog = TDialog::New("Hook", 300, 200);
    int runs = 0;
    bool cleared = false;
    dialog->bStart = [&] {
        ++runs;
        cleared = !dialog->bStart;
        // Further paints while the hook runs, and after it, do not run it again.
        for (int i = 0; i < 3; ++i) {
            dialog->Refresh(true);
            pump();
        }
    };
    auto user = make_user();
    user->wait_window("Hook").pause(300).close("Hook");
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(cleared);
}

// Windows-1252 text reaches the screen as the same characters, and typed ones come back
// as 1252 bytes, filled with blanks to the variable's length.
TEST(Text1252, ShownAndTypedAsTheSameCharacters) {
    std::string value(10, ' ');
    auto dialog = TDialog::FromResource("MSGGET2", "gi\xE0");
    TDialog* raw = dialog.get();
    TSay::Redefine(*dialog, 101, "gi\xE0 \x80");
    TGet::Redefine(*dialog, 102, &value);
    TButton::Redefine(*dialog, 201, [raw] {
        raw->Cargo = 1;
        raw->End(1);
    });
    auto user = make_user();
    user->wait_window("gi\xE0")
        .expect_text("gi\xE0", 0, "gi\xE0")
        .expect_text("gi\xE0", 101, "gi\xE0 \x80")
        .type("gi\xE0", 102, "\xE8\xE9")
        .expect_text("gi\xE0", 102, "\xE8\xE9")
        .click("gi\xE0", 201);
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(dialog->nResult, 1);
    EXPECT_EQ(value, "\xE8\xE9        ");
}

TEST(TemplateEdit, TakesNoMoreCharactersThanTheVariableIsLong) {
    std::string value(10, ' ');
    auto dialog = TDialog::FromResource("MSGGET2", "Limit");
    TDialog* raw = dialog.get();
    TGet::Redefine(*dialog, 102, &value);
    TButton::Redefine(*dialog, 201, [raw] {
        raw->Cargo = 1;
        raw->End(1);
    });
    auto user = make_user();
    user->wait_window("Limit").type("Limit", 102, "ABCDEFGHIJKLM").click("Limit", 201);
    user->start();
    dialog->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(value, "ABCDEFGHIJ");
}

}  // namespace
}  // namespace winlib
