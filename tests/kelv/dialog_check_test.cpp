// The dialog convention: the close rule, field checks, and finding controls.
#include <gtest/gtest.h>

#include "kelv/ui/dialog_check.h"
#include "tests/winlib/user.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace kelv {
namespace {

using runtime::Value;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;

// The name template: OK (201) confirms, Cancel (202) cancels; edit 102 holds `value`.
struct NameDialog {
    std::string value = "ABC       ";
    std::shared_ptr<winlib::TDialog> dlg = winlib::TDialog::FromResource("MSGGET2", "Nome");
    std::shared_ptr<winlib::TGet> get;

    explicit NameDialog(bool ask) {
        winlib::TSay::Redefine(*dlg, 101, "Nome:");
        get = winlib::TGet::Redefine(*dlg, 102, &value);
        get->cVarName = "cTemp";
        winlib::TButton::Redefine(*dlg, 201, [this] {
            dlg->Cargo = 1;
            dlg->End(1);
        });
        winlib::TButton::Redefine(*dlg, 202, [this] {
            dlg->Cargo = 2;
            dlg->End(2);
        });
        dlg->bValid = [this, ask] { return __VALID(*dlg, ask); };
    }
};

TEST(CloseRule, LeavingWithoutAskingClosesWhateverWasChanged) {
    NameDialog d(false);
    auto user = make_user();
    user->wait_window("Nome").type("Nome", 102, "X").key("Nome", winlib::vk::kEscape);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 2);
    EXPECT_TRUE(d.dlg->Cargo.is_nothing());
}

TEST(CloseRule, AModifiedDialogAsksAndNoKeepsItOpen) {
    NameDialog d(true);
    auto user = make_user();
    user->wait_window("Nome")
        .type("Nome", 102, "X")
        .click("Nome", 202)
        .wait_window("Attenzione")
        .expect_text("Attenzione", kText, "Annullo le modifiche?")
        .key("Attenzione", winlib::vk::kReturn)  // No is the default
        .wait_gone("Attenzione")
        // A close request while the rule is still at work is refused: the user waits for
        // the dialog to be back before pressing again.
        .pause(500)
        .click("Nome", 202)
        .wait_window("Attenzione")
        .click("Attenzione", 6);  // Yes: the changes go
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 2);
}

TEST(CloseRule, AFailedFieldCheckRefusesAndResetsCargoSoEscCloses) {
    NameDialog d(false);
    int checked = 0;
    d.get->Cargo = Value(runtime::Callback([&checked](std::vector<Value>&) {
        ++checked;
        return Value(false);
    }));
    auto user = make_user();
    user->wait_window("Nome")
        .click("Nome", 201)
        .wait_window("Attenzione")
        .expect_text("Attenzione", kText, "Campo non valido.")
        .expect_colour("Nome", 102, 255)  // red behind the rejected field meanwhile
        .click("Attenzione", 1)
        .wait_gone("Attenzione")
        .expect_colour("Nome", 102, 0xFFFFFF)
        .pause(500)
        .key("Nome", winlib::vk::kEscape);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(d.dlg->nResult, 2);
    EXPECT_TRUE(d.dlg->Cargo.is_nothing());
}

TEST(CloseRule, ConfirmingStoresWhatWasTypedAndPassesTheChecks) {
    NameDialog d(false);
    d.value = std::string(10, ' ');
    d.get->Cargo = Value(runtime::Callback([](std::vector<Value>& args) {
        auto control = args.at(0).object_as<winlib::Control>();
        return Value(control && control->VarGet().text().rfind("XY", 0) == 0);
    }));
    auto user = make_user();
    user->wait_window("Nome").type("Nome", 102, "XY").click("Nome", 201);
    user->start();
    d.dlg->Activate(true);
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_EQ(d.dlg->nResult, 1);
    EXPECT_EQ(d.value.substr(0, 2), "XY");
    EXPECT_EQ(d.value.size(), 10u);
}

TEST(FindControl, ByPositionNameAndId) {
    NameDialog d(false);
    auto& dlg = *d.dlg;
    std::size_t count = dlg.aControls.size();
    EXPECT_EQ(CTL(dlg, 0), nullptr);
    EXPECT_EQ(CTL(dlg, static_cast<double>(count + 1)), nullptr);
    EXPECT_EQ(CTL(dlg, 2), d.get);
    EXPECT_EQ(CTL(dlg, "cTemp"), d.get);
    EXPECT_EQ(CTL(dlg, "cTe"), d.get);       // the name begins with the key
    EXPECT_EQ(CTL(dlg, "cTempo"), nullptr);
    EXPECT_EQ(CTL(dlg, ""), d.get);          // the first control that has a name
    EXPECT_EQ(CTL(dlg, Value(true)), nullptr);
    EXPECT_EQ(ITEM(dlg, 102), d.get);
    EXPECT_EQ(ITEM(dlg, 999), nullptr);
}

}  // namespace
}  // namespace kelv
