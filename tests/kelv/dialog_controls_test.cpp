// Combo boxes, folders and the helpers on a dialog's controls, worked by a user: the close
// rule with folder pages, the combo box's write-back, finding controls inside pages,
// disabling a combo box, its typing picture, posted keystrokes, a folder page's tab taken
// away and a list box's selection by prefix.
#include <gtest/gtest.h>

#include "kelv/ui/control_helpers.h"
#include "kelv/ui/dialog_check.h"
#include "kelv/ui/post_string.h"
#include "kelv/ui/refresh_all.h"
#include "tests/winlib/user.h"
#include "winlib/combo_box.h"
#include "winlib/folder.h"

namespace kelv {
namespace {

using runtime::Value;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;
constexpr const char* kCaption = "Cartelle";

// A dialog built at run time: a combo box (101) over a folder (102) of two pages, the
// first with a name field (201), the second with a file field (202); OK (1) confirms.
struct FolderDialog {
    std::string combo_value = "Due";
    std::string name = std::string(10, ' ');
    std::string file = std::string(10, ' ');
    std::shared_ptr<winlib::TDialog> dlg = winlib::TDialog::New(
        kCaption, 340, 260, winlib::ws::kPopup | winlib::ws::kCaption | winlib::ws::kSysMenu);
    std::shared_ptr<winlib::TDialog> first = winlib::TFolder::Page();
    std::shared_ptr<winlib::TDialog> second = winlib::TFolder::Page();
    std::shared_ptr<winlib::TComboBox> combo;
    std::shared_ptr<winlib::TFolder> folder;
    std::shared_ptr<winlib::TGet> name_field;
    std::shared_ptr<winlib::TGet> file_field;

    explicit FolderDialog(bool ask) {
        combo =
            winlib::TComboBox::New(*dlg, {10, 10, 150, 120}, &combo_value, {"Uno", "Due", "Tre"});
        combo->nId = 101;
        combo->cVarName = "cCombo";
        folder =
            winlib::TFolder::New(*dlg, {10, 45, 310, 140}, {"Primo", "Secondo"}, {first, second});
        folder->nId = 102;
        folder->cVarName = "cFolder";
        name_field = winlib::TGet::New(*first, {10, 10, 200, 24}, &name);
        name_field->nId = 201;
        name_field->cVarName = "cNome";
        file_field = winlib::TGet::New(*second, {10, 10, 200, 24}, &file);
        file_field->nId = 202;
        file_field->cVarName = "cFil";
        winlib::TButton::New(*dlg, {10, 200, 80, 26}, winlib::id::kOk, "OK", [this] {
            dlg->Cargo = 1;
            dlg->End(1);
        });
        dlg->bValid = [this, ask] { return __VALID(*dlg, ask); };
    }
};

TEST(FolderCloseRule, LeavingWithoutAskingClosesWhateverTheFlagsSay) {
    FolderDialog d(false);
    d.dlg->lModify = true;
    d.first->lModify = true;
    auto user = make_user();
    user->wait_window(kCaption).key(kCaption, winlib::vk::kEscape).wait_gone(kCaption);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 2);
}

TEST(FolderCloseRule, AModifiedPageAsksAndNoKeepsTheDialogAndTheFocus) {
    FolderDialog d(true);
    d.dlg->bStart = [&d] { d.name_field->SetFocus(); };
    auto user = make_user();
    user->wait_window(kCaption)
        .pause(300)
        .type(kCaption, 201, "X")
        .key(kCaption, winlib::vk::kEscape)
        .wait_window("Attenzione")
        .expect_text("Attenzione", kText, "Annullo le modifiche?")
        .key("Attenzione", winlib::vk::kReturn)  // No is the default
        .wait_gone("Attenzione")
        .pause(500)
        .key(kCaption, 'Z')  // typed where the focus is: the name field again
        .expect_text(kCaption, 201, "Xz")
        .key(kCaption, winlib::vk::kEscape)
        .wait_window("Attenzione")
        .click("Attenzione", winlib::id::kYes);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 2);
    EXPECT_TRUE(d.first->lModify);
    EXPECT_TRUE(d.dlg->lModify);  // gathered from the page
}

TEST(FolderCloseRule, AFailingPageStaysInFrontAndEscThenClosesWithoutChecks) {
    FolderDialog d(false);
    int checked = 0;
    d.file_field->Cargo = Value(runtime::Callback([&checked](std::vector<Value>&) {
        ++checked;
        return Value(false);
    }));
    auto user = make_user();
    user->wait_window(kCaption)
        .click(kCaption, winlib::id::kOk)
        .wait_window("Attenzione")
        .expect_text("Attenzione", kText, "Campo non valido.")
        .click("Attenzione", winlib::id::kOk)
        .wait_gone("Attenzione")
        .pause(500)
        .key(kCaption, winlib::vk::kEscape)
        .wait_gone(kCaption);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(d.folder->nOption, 2);
    EXPECT_EQ(d.dlg->nResult, 2);
}

TEST(FolderCloseRule, ASkippedComboBoxStillWritesItsTextBack) {
    FolderDialog d(false);
    const auto refuse = Value(runtime::Callback([](std::vector<Value>&) { return Value(false); }));
    d.combo->bWhen = [] { return false; };
    d.combo->Cargo = refuse;
    d.name_field->bWhen = [] { return false; };
    d.name_field->Cargo = refuse;
    // What the box shows, unknown to its variable: no change was reported.
    d.dlg->bStart = [&d] {
        d.name_field->SetFocus();
        d.combo->SetEditText("Quattro");
    };
    auto user = make_user();
    user->wait_window(kCaption)
        .expect_text(kCaption, 101, "Quattro")
        .click(kCaption, winlib::id::kOk)
        .wait_gone(kCaption);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 1);
    EXPECT_EQ(d.combo_value, "Quattro");
}

TEST(FindControl, InsideFolderPagesNeverTheFolderItself) {
    FolderDialog d(false);
    auto nested = winlib::TFolder::Page();
    std::string deep = "x";
    auto deep_combo = winlib::TComboBox::New(*nested, {0, 0, 50, 80}, &deep, {});
    deep_combo->nId = 301;
    deep_combo->cVarName = "cDeep";
    winlib::TFolder::New(*d.second, {0, 40, 100, 80}, {"Dentro"}, {nested});
    const auto& dlg = *d.dlg;
    EXPECT_EQ(CTL(dlg, 0), nullptr);
    EXPECT_EQ(CTL(dlg, static_cast<double>(dlg.aControls.size() + 1)), nullptr);
    EXPECT_EQ(CTL(dlg, static_cast<double>(dlg.aControls.size())), dlg.aControls.back());
    EXPECT_EQ(CTL(dlg, "cFil"), d.file_field);
    EXPECT_EQ(CTL(dlg, "cN"), d.name_field);
    EXPECT_EQ(CTL(dlg, "cFolder"), nullptr);
    EXPECT_EQ(CTL(dlg, "cDeep"), deep_combo);
    EXPECT_EQ(ITEM(dlg, 202), d.file_field);
    EXPECT_EQ(ITEM(dlg, 301), deep_combo);
    EXPECT_EQ(ITEM(dlg, 102), nullptr);
}

TEST(FolderPages, HidingATabKeepsThePageLastAndModifiedFlagsGather) {
    FolderDialog d(false);
    auto third = winlib::TFolder::Page();
    d.folder->ADIALOGS.push_back(third);
    d.folder->APROMPTS.push_back("Terzo");
    FLDHIDEITEM(*d.folder, winlib::TFolder::Page());  // not one of its pages: nothing
    EXPECT_EQ(d.folder->APROMPTS.size(), 3u);
    FLDHIDEITEM(*d.folder, d.second);
    EXPECT_EQ(d.folder->ADIALOGS, (std::vector{d.first, third, d.second}));
    EXPECT_EQ(d.folder->APROMPTS, (std::vector<std::string>{"Primo", "Terzo"}));

    third->lModify = true;
    UPDATEMODIFY(*d.dlg);
    EXPECT_TRUE(d.dlg->lModify);
    RESETMODIFY(*d.folder);
    EXPECT_FALSE(third->lModify);
    EXPECT_TRUE(d.dlg->lModify);  // the dialog's own flag is never cleared here
}

TEST(ComboBox, DisablingEmptiesTheSelectedItemAndEnablingGivesItBack) {
    FolderDialog d(false);
    std::vector<std::string> seen;
    auto note = [&d, &seen] {
        seen.push_back(d.combo_value + "|" + d.combo->aItems[1] + "|" +
                       (d.combo->lEnabled ? "on" : "off"));
    };
    winlib::TButton::New(*d.dlg, {100, 200, 80, 26}, 11, "Spegni", [&] {
        CTLDISABLE(*d.combo);
        note();
    });
    winlib::TButton::New(*d.dlg, {190, 200, 80, 26}, 12, "Accendi", [&] {
        CTLENABLE(*d.combo);
        note();
    });
    auto user = make_user();
    user->wait_window(kCaption)
        .expect_text(kCaption, 101, "Due")
        .click(kCaption, 11)
        .expect_text(kCaption, 101, "")
        .click(kCaption, 12)
        .expect_text(kCaption, 101, "Due")
        .key(kCaption, winlib::vk::kEscape);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(seen, (std::vector<std::string>{"||off", "Due|Due|on"}));
    EXPECT_EQ(d.combo->cTmpItem.text(), "Due");
}

TEST(ComboBox, DigitsPictureRemovesTheStrayCharacterAndTheCaretFollows) {
    FolderDialog d(false);
    d.combo_value.clear();
    d.combo->bChange = [&d] { CBPICTURE(*d.combo, "9"); };
    auto user = make_user();
    // "123", the caret back before the "3", an "a" typed there: "12a3" with the caret after
    // the "a" becomes "123" with the caret after the "2", where the "9" then goes.
    user->wait_window(kCaption)
        .type(kCaption, 101, "123")
        .expect_text(kCaption, 101, "123")
        .key(kCaption, winlib::vk::kLeft)
        .type(kCaption, 101, "a")
        .expect_text(kCaption, 101, "123")
        .type(kCaption, 101, "9")
        .expect_text(kCaption, 101, "1293")
        .key(kCaption, winlib::vk::kEscape);
    d.dlg->bStart = [&d] { d.combo->SetFocus(); };
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
}

TEST(ComboBox, UpperCasePictureAndACaretAtTheStartStaysThere) {
    FolderDialog d(false);
    std::vector<int> carets;
    d.dlg->bStart = [&] {
        d.combo->SetEditText("x9");
        d.combo->SendMsg(winlib::cb::kSetEditSel, 0, 0);
        CBPICTURE(*d.combo, "9");
        carets.push_back(static_cast<int>(d.combo->SendMsg(winlib::cb::kGetEditSel) & 0xFFFF));
        d.combo->SetEditText(
            "\xE0"
            "bc9");  // a-z only: the accented letter stays
        CBPICTURE(*d.combo, "@!");
    };
    auto user = make_user();
    user->wait_window(kCaption)
        .expect_text(kCaption, 101,
                     "\xE0"
                     "BC9")
        .key(kCaption, winlib::vk::kEscape);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(carets, std::vector<int>{0});
}

TEST(RefreshAll, ShowsChangedValuesButLeavesTheFocusedComboBox) {
    FolderDialog d(false);
    std::string note(10, ' ');
    auto note_field = winlib::TGet::New(*d.dlg, {170, 10, 150, 24}, &note);
    note_field->nId = 103;
    double amount = 1234.5;
    auto amount_field = winlib::TGet::New(*d.dlg, {170, 40, 150, 24}, &amount, "9999.99");
    amount_field->nId = 104;
    d.dlg->bStart = [&] {
        d.combo->SetFocus();
        d.combo_value = "Tre";
        note = "Nuovo     ";
        amount = 4321.25;  // shown under its picture
        d.name = "Rossi     ";  // a page's field: the dialog's own controls only are walked
        REFRESHALL(*d.dlg);
    };
    auto user = make_user();
    user->wait_window(kCaption)
        .expect_text(kCaption, 103, "Nuovo")
        .expect_text(kCaption, 104, "4.321,25")
        .expect_text(kCaption, 101, "Due")
        .expect_text(kCaption, 201, "")
        .key(kCaption, winlib::vk::kEscape);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.combo->nAt, 2);
}

TEST(PostString, ACharacterAndAReturnAsTypedIntoTheField) {
    std::string value(10, ' ');
    auto dlg = winlib::TDialog::FromResource("MSGGET2", "Posta");
    auto get = winlib::TGet::Redefine(*dlg, 102, &value);
    int confirmed = 0;
    winlib::TButton::Redefine(*dlg, 201, [&] {
        ++confirmed;
        dlg->End(1);
    });
    dlg->bStart = [&] {
        get->SetFocus();
        POSTSTRING(get->hWnd, "A\r");
    };
    dlg->Activate(true);
    EXPECT_EQ(dlg->nResult, 1);
    EXPECT_EQ(confirmed, 1);
    EXPECT_EQ(value, "A         ");
}

TEST(ListBox, SelectsTheFirstItemBeginningWithTheText) {
    std::string selected;
    auto dlg = winlib::TDialog::FromResource("AFILES", "Elenco");
    auto list = winlib::TListBox::Redefine(*dlg, 101, &selected, {"alfa", "beta", "betulla"});
    dlg->bStart = [&] {
        LBXSET(*list, "bet");
        LBXSET(*list, "zeta");  // none: the selection stays
    };
    auto user = make_user();
    user->wait_window("Elenco")
        .expect_selection("Elenco", 101, 2)
        .key("Elenco", winlib::vk::kEscape);
    user->start();
    dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(selected, "beta");
}

}  // namespace
}  // namespace kelv
