// Edit fields and texts as a user types them: the name dialog of the transfer tool.
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "robot.h"
#include "winlib/control.h"
#include "winlib/window.h"

namespace {

using winlib::TButton;
using winlib::TDialog;
using winlib::TGet;
using winlib::TSay;

// MSGGET2 with a prompt and an edit bound to `value`; OK (201, the default button) ends
// with 1. Returns the dialog after it has ended.
std::shared_ptr<TDialog> ask(const std::string& caption, const std::string& prompt,
                             std::string* value, const std::string& picture,
                             std::function<void(QWidget*)> user) {
    auto dlg = TDialog::FromResource("MSGGET2", caption);
    TSay::Redefine(*dlg, 101, prompt);
    auto get = TGet::Redefine(*dlg, 102, value, picture);
    get->cVarName = "cTemp";
    TButton::Redefine(*dlg, 201, [d = dlg.get()] {
        d->Cargo = 1;
        d->End(1);
    });
    robot::when_shown(&dlg->hWnd, std::move(user));
    dlg->Activate(true);
    return dlg;
}

TEST_F(UiTest, FieldTakesAtMostTheVariableLengthAndIsFilledWithBlanks) {
    const struct {
        const char* typed;
        const char* picture;
        const char* shown;
        const char* value;
    } cases[] = {
        {"ABC", "", "ABC", "ABC       "},
        {"  ABC", "", "  ABC", "  ABC     "},
        {"ABCDEFGHIJKLMN", "", "ABCDEFGHIJ", "ABCDEFGHIJ"},
        {"abc", "@!", "ABC", "ABC       "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string value(10, ' ');
        QString shown;
        const auto dlg = ask("Add file", "File name:", &value, c.picture, [&](QWidget* w) {
            auto* edit = qobject_cast<QLineEdit*>(robot::item(w, 102));
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->text(), "");  // the blanks are not in the way of typing
            edit->setFocus();
            QTest::keyClicks(edit, c.typed);
            shown = edit->text();
            robot::key(edit, Qt::Key_Return);  // the default button, focus stays in the field
        });
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(value, c.value);
        EXPECT_TRUE(dlg->lModify);
        EXPECT_EQ(dlg->nResult, 1);
    }
}

TEST_F(UiTest, TextsAreWindows1252) {
    std::string value(4, ' ');
    QString prompt, caption;
    ask("Citt\xE0", "gi\xE0", &value, "", [&](QWidget* w) {
        caption = w->windowTitle();
        prompt = qobject_cast<QLabel*>(robot::item(w, 101))->text();
        auto* edit = robot::item(w, 102);
        edit->setFocus();
        // è and the euro sign, as a keyboard that has them types them
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Egrave, QString(QChar(0xE8)), {});
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(QChar(0x20AC)), {});
        robot::click(robot::item(w, 201));
    });
    EXPECT_EQ(prompt, QString::fromUtf16(u"gi\u00E0"));
    EXPECT_EQ(caption, QString::fromUtf16(u"Citt\u00E0"));
    EXPECT_EQ(value, "\xE8\x80  ");
}

TEST_F(UiTest, PasswordAndDisabledFields) {
    auto dlg = TDialog::FromResource("MSGGET2", "Utente");
    std::string password(8, ' ');
    auto get = TGet::Redefine(*dlg, 102, &password);
    get->nStyle |= winlib::es::kPassword;
    get->Disable();
    robot::when_shown(&dlg->hWnd, [&](QWidget* w) {
        auto* edit = qobject_cast<QLineEdit*>(robot::item(w, 102));
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(edit->isEnabled());
        get->Enable();
        EXPECT_TRUE(edit->isEnabled());
        robot::key(w, Qt::Key_Escape);
    });
    dlg->Activate(true);
    EXPECT_EQ(dlg->nResult, 2);
}

}  // namespace
