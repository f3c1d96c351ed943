// System services as a user answers them: message boxes, a held key, the save dialog.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "robot.h"
#include "runtime/path.h"
#include "runtime/text1252.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace {

using namespace winlib;

QMessageBox* box() { return robot::top_level<QMessageBox>(); }

TEST_F(UiTest, MessageBoxKindsGiveWindowsResults) {
    enum Act { kEnter, kEsc, kClickNo, kClickCancel };
    const struct {
        unsigned style;
        Act act;
        int result;
        QMessageBox::Icon icon;
    } cases[] = {
        {64, kEnter, id::kOk, QMessageBox::Information},  // kind 1
        {64, kEsc, id::kOk, QMessageBox::Information},
        {33, kEnter, id::kOk, QMessageBox::Question},  // kind 2
        {33, kEsc, id::kCancel, QMessageBox::Question},
        {33, kClickCancel, id::kCancel, QMessageBox::Question},
        {35, kEnter, id::kYes, QMessageBox::Question},  // kind 3
        {35, kClickNo, id::kNo, QMessageBox::Question},
        {35, kEsc, id::kCancel, QMessageBox::Question},
        {36, kEnter, id::kYes, QMessageBox::Question},  // kind 4
        {36, kClickNo, id::kNo, QMessageBox::Question},
        {292, kEnter, id::kNo, QMessageBox::Question},  // kind 5: No is the default
        {17, kEnter, id::kOk, QMessageBox::Critical},   // kind 6
        {17, kEsc, id::kCancel, QMessageBox::Critical},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " act " << c.act);
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        robot::when([] { return box() != nullptr; },
                    [&] {
                        text = box()->text();
                        icon = box()->icon();
                        switch (c.act) {
                            case kEnter:
                                robot::key(box(), Qt::Key_Return);
                                break;
                            case kEsc:
                                robot::key(box(), Qt::Key_Escape);
                                break;
                            case kClickNo:
                                robot::click(box()->button(QMessageBox::No));
                                break;
                            case kClickCancel:
                                robot::click(box()->button(QMessageBox::Cancel));
                                break;
                        }
                    });
        EXPECT_EQ(message_box("Sovrascrivo il file?\nUno", "Attenzione", c.style), c.result);
        EXPECT_EQ(text, "Sovrascrivo il file?\nUno");
        EXPECT_EQ(icon, c.icon);
    }
}

TEST_F(UiTest, YesNoBoxIgnoresEscAndItsCloseBox) {
    bool still_open = false;
    robot::when([] { return box() != nullptr; },
                [&] {
                    robot::key(box(), Qt::Key_Escape);
                    box()->close();
                    QTest::qWait(30);
                    still_open = box() != nullptr;
                    robot::click(box()->button(QMessageBox::Yes));
                });
    EXPECT_EQ(message_box("Annullo le modifiche?", "Attenzione", 292), id::kYes);
    EXPECT_TRUE(still_open);
}

TEST_F(UiTest, MessageBoxIsOwnedByTheActiveWindow) {
    auto dlg = TDialog::New("Proprietario", 300, 200);
    dlg->Activate(false);
    pump();  // the window system makes it active
    QWidget* owner = nullptr;
    Handle active = 0;
    robot::when([] { return box() != nullptr; },
                [&] {
                    owner = box()->parentWidget();
                    robot::key(box(), Qt::Key_Return);
                });
    active = active_window();
    message_box("Ciao", "Attenzione", 64);
    EXPECT_EQ(active, dlg->hWnd);
    EXPECT_EQ(owner, robot::window(dlg->hWnd));
    dlg->End(2);
}

TEST_F(UiTest, KeyIsDownWhileHeld) {
    auto dlg = TDialog::New("Tasti", 300, 200);
    dlg->Activate(false);
    QWidget* w = robot::window(dlg->hWnd);
    ASSERT_NE(w, nullptr);
    for (const auto& [qt_key, vk] :
         {std::pair{Qt::Key_F4, vk::kF4}, {Qt::Key_Escape, vk::kEscape}}) {
        SCOPED_TRACE(vk);
        EXPECT_FALSE(key_down(vk));
        QTest::keyPress(w, qt_key);
        pump();
        EXPECT_TRUE(key_down(vk));
        EXPECT_TRUE(key_down(vk));  // still down: being asked does not release it
        QTest::keyRelease(w, qt_key);
        EXPECT_FALSE(key_down(vk));
    }
    dlg->End(2);
}

// The user types a name in the save dialog and presses Save, or presses Cancel.
void save_as(const QString& name_typed, bool then_cancel, bool* still_open = nullptr,
             QString* shown_filter = nullptr) {
    robot::when([] { return robot::top_level<QFileDialog>() != nullptr; },
                [=] {
                    QFileDialog* dialog = robot::top_level<QFileDialog>();
                    EXPECT_EQ(dialog->windowTitle(), "Salva file");
                    if (shown_filter != nullptr)
                        *shown_filter =
                            dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
                    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
                    ASSERT_NE(name, nullptr);
                    ASSERT_NE(buttons, nullptr);
                    QTest::keyClicks(name, name_typed);
                    // The completer's list of names takes the next click: the user closes it first.
                    QTest::qWait(50);
                    if (QWidget* popup = QApplication::activePopupWidget())
                        robot::key(popup, Qt::Key_Escape);
                    robot::click(buttons->button(QDialogButtonBox::Save));
                    if (still_open != nullptr) *still_open = dialog->isVisible();
                    if (then_cancel) robot::click(buttons->button(QDialogButtonBox::Cancel));
                });
}

TEST_F(UiTest, SaveDialogReturnsTheTypedPathOrNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The program's paths are Windows paths, the folder given and the answer alike.
    const std::string initial = runtime::windows_path(folder.path().toStdString());
    const QString cwd = QDir::currentPath();
    const std::string filter = "File TAP (*.tap)|*.tap";

    QString shown_filter;
    save_as("nastro.tap", false, nullptr, &shown_filter);
    EXPECT_EQ(save_file_dialog(filter, "Salva file", initial),
              runtime::windows_path(folder.filePath("nastro.tap").toStdString()));
    EXPECT_EQ(shown_filter, "File TAP (*.tap)");
    EXPECT_EQ(QDir::currentPath(), cwd);

    bool still_open = false;
    save_as("manca/nastro.tap", true, &still_open);  // a folder that does not exist
    EXPECT_EQ(save_file_dialog(filter, "Salva file", initial), "");
    EXPECT_TRUE(still_open);
}

}  // namespace
