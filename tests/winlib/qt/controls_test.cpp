// Edit fields and texts as a user types them: the name dialog of the transfer tool.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "resources/bitmaps.h"
#include "robot.h"
#include "winlib/control.h"
#include "winlib/image.h"
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

// The image control shows the logo, from a template and at run time alike; the line is
// a sunken frame; the server's icon is read from the same resources as the bitmaps.
TEST_F(UiTest, ImageControlsLinesAndIcon) {
    const QColor logo_blue(0x2b, 0x4c, 0x7e);  // the logo's square, left of the K
    auto shows_logo = [&](QWidget* w) {
        auto* label = qobject_cast<QLabel*>(w);
        ASSERT_NE(label, nullptr);
        const QImage image = label->pixmap().toImage();
        EXPECT_EQ(image.size(), QSize(64, 64));
        EXPECT_EQ(image.pixelColor(8, 32), logo_blue);
    };

    auto infos = TDialog::FromResource("INFOS");
    winlib::TImage::Redefine(*infos, 101, "KELV");
    robot::when_shown(&infos->hWnd, [&](QWidget* w) {
        shows_logo(robot::item(w, 101));
        bool sunken = false;
        for (auto* frame : w->findChildren<QLabel*>())
            sunken = sunken || frame->frameShadow() == QFrame::Sunken;
        EXPECT_TRUE(sunken);
        robot::key(w, Qt::Key_Escape);
    });
    infos->Activate(true);

    auto built = TDialog::New("Logo", 200, 120);
    winlib::TImage::New(*built, {10, 10, 64, 64}, "KELV");
    winlib::TLine::New(*built, {10, 90, 180, 1});
    robot::when_shown(&built->hWnd, [&](QWidget* w) {
        const auto labels = w->findChildren<QLabel*>();  // in creation order
        ASSERT_EQ(labels.size(), 2);
        shows_logo(labels[0]);
        EXPECT_EQ(labels[1]->frameShadow(), QFrame::Sunken);
        robot::key(w, Qt::Key_Escape);
    });
    built->Activate(true);

    const std::string_view icon = resources::icon("ICONA");
    QImage read;
    EXPECT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(icon.data()),
                                  static_cast<int>(icon.size()), "ICO"));
    EXPECT_FALSE(read.isNull());
    EXPECT_TRUE(resources::icon("NONE").empty());
}

}  // namespace
