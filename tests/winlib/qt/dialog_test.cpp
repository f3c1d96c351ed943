// Dialogs as a user meets them: template dialogs, close rule, Esc, the start hook.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "robot.h"
#include "winlib/control.h"
#include "winlib/dialog_template.h"
#include "winlib/window.h"

namespace {

using winlib::TButton;
using winlib::TDialog;
using winlib::TListBox;
using winlib::TMultiGet;

// The file list dialog as the transfer tool builds it.
struct FileList {
    std::shared_ptr<TDialog> dlg = TDialog::FromResource("AFILES");
    std::string selected;
    std::shared_ptr<TListBox> list = TListBox::Redefine(*dlg, 101, &selected, {});
    FileList() {
        TButton::Redefine(*dlg, 201, [this] {
            dlg->Cargo = 1;
            dlg->End(1);
        });
        TButton::Redefine(*dlg, 202, [this] {
            dlg->Cargo = 2;
            dlg->End(2);
        });
        TButton::Redefine(*dlg, 203, [this] { list->SetItems({"ABC       ", "DEF       "}); });
    }
};

TEST_F(UiTest, TemplateButtonsSetCargoAndEndWithTheirResult) {
    for (const int button : {201, 202}) {
        SCOPED_TRACE(button);
        FileList f;
        robot::when_shown(&f.dlg->hWnd,
                          [button](QWidget* w) { robot::click(robot::item(w, button)); });
        f.dlg->Activate(true);
        EXPECT_EQ(f.dlg->nResult, button - 200);
        EXPECT_EQ(f.dlg->Cargo, runtime::Value(button - 200));
        EXPECT_EQ(f.dlg->hWnd, 0);
        EXPECT_EQ(winlib::Window::from_handle(f.dlg->hWnd), nullptr);
    }
}

TEST_F(UiTest, TemplateIsLaidOutForItsFontAndItsListIsBound) {
    FileList f;
    bool modified_by_set_items = true;
    robot::when_shown(&f.dlg->hWnd, [&](QWidget* w) {
        // Dialog units become pixels for the template's font, as Windows computes them.
        const QFontMetrics metrics(w->font());
        const auto base = winlib::base_units(
            metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
            metrics.height());
        const auto list_px = winlib::dialog_units_to_pixels({10, 10, 180, 225}, base);
        const auto size_px = winlib::dialog_units_to_pixels({0, 0, 250, 265}, base);
        EXPECT_EQ(w->size(), QSize(size_px.width, size_px.height));
        auto* list = qobject_cast<QListWidget*>(robot::item(w, 101));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->geometry(), QRect(list_px.x, list_px.y, list_px.width, list_px.height));
        EXPECT_EQ(w->windowTitle(), "");

        robot::click(robot::item(w, 203));  // Add file: SetItems shows all, selects the first
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), "DEF       ");
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(f.selected, "ABC       ");
        modified_by_set_items = f.dlg->lModify;

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        robot::click(robot::item(w, 201));
    });
    f.dlg->Activate(true);
    EXPECT_FALSE(modified_by_set_items);
    EXPECT_TRUE(f.dlg->lModify);  // the user's selection
    EXPECT_EQ(f.selected, "DEF       ");
    EXPECT_EQ(f.list->GetPos(), 2);
    EXPECT_EQ(f.dlg->nResult, 1);
}

TEST_F(UiTest, CloseRuleThatRefusesKeepsTheDialog) {
    auto dlg = TDialog::New("Regola", 300, 200);
    bool allow = false;
    int asked = 0;
    dlg->bValid = [&] {
        ++asked;
        return allow;
    };
    robot::when_shown(&dlg->hWnd, [&](QWidget* w) {
        robot::key(w, Qt::Key_Escape);
        EXPECT_FALSE(dlg->End(1));  // refusal is reported
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(asked, 2);
        allow = true;
        robot::key(w, Qt::Key_Escape);
    });
    dlg->Activate(true);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(dlg->nResult, 2);
}

// The main window's shape: a run-time dialog of style 0 whose only control is a read-only
// log; Esc typed in the log asks the window to close.
TEST_F(UiTest, EscInTheLogOfARunTimeWindowEndsItWithTwo) {
    auto dlg = TDialog::New("VELKAN", 500, 500, 0);
    std::string log = "uno\r\ndue\r\n";
    auto multi = TMultiGet::New(*dlg, 0, 0, &log, true);
    dlg->bInit = [&] { dlg->SetControl(multi); };
    robot::when_shown(&dlg->hWnd, [&](QWidget* w) {
        EXPECT_FALSE(w->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(w->windowFlags() & Qt::WindowSystemMenuHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowTitleHint);
        auto* editor = w->findChild<QPlainTextEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->geometry(), QRect(QPoint(0, 0), w->size()));  // the client control
        EXPECT_EQ(editor->toPlainText(), "uno\ndue\n");
        EXPECT_TRUE(editor->isReadOnly());
        EXPECT_EQ(editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(editor->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        editor->setFocus();
        robot::key(editor, Qt::Key_Escape);
    });
    dlg->Activate(true);
    EXPECT_EQ(dlg->nResult, 2);
    EXPECT_TRUE(dlg->Cargo.is_nothing());
}

TEST_F(UiTest, StartHookRunsOnceAfterTheFirstPaintAndTheWindowEndsWhenItReturns) {
    auto dlg = TDialog::New("Avvio", 300, 200);
    bool shown_in_init = true;
    int runs = 0;
    bool visible_in_hook = false, alive_after_end = false;
    dlg->bInit = [&] { shown_in_init = robot::window(dlg->hWnd) != nullptr; };
    dlg->bStart = [&] {
        ++runs;
        EXPECT_FALSE(dlg->bStart);  // cleared before it runs
        visible_in_hook = robot::window(dlg->hWnd) != nullptr;
        // A transfer: it ends the window early and keeps working, with paints meanwhile.
        EXPECT_TRUE(dlg->End(1));
        for (int i = 0; i < 5; ++i) {
            dlg->Refresh();
            QTest::qWait(20);
            winlib::pump();
        }
        alive_after_end = robot::window(dlg->hWnd) != nullptr;
    };
    dlg->Activate(true);
    EXPECT_FALSE(shown_in_init);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(visible_in_hook);
    EXPECT_TRUE(alive_after_end);
    EXPECT_EQ(dlg->nResult, 1);
}

TEST_F(UiTest, WindowEndedByItsInitIsNeverShownAndHasNoStart) {
    auto dlg = TDialog::New("Porta", 300, 200);
    bool started = false;
    dlg->bInit = [&] { dlg->End(2); };
    dlg->bStart = [&] { started = true; };
    dlg->Activate(true);
    winlib::pump();
    EXPECT_FALSE(started);
    EXPECT_EQ(dlg->nResult, 2);
    EXPECT_EQ(dlg->hWnd, 0);
}

}  // namespace
