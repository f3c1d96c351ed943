// System services of the Qt driver: the message box with Win32 styles and results, the
// active window, enabling a window, the key-down query, the beep, the save dialog and the
// shell's open (the desktop's opener, xdg-open).
//
// Limits against Windows: the beep is the desktop's bell (QApplication::beep), without
// frequency or duration; the key-down query knows only keys typed into this program's
// windows (application.cpp); the save dialog is Qt's own (not the desktop's), so that it
// behaves the same everywhere and a test can drive it. Like Windows' own, a message box
// copies its caption, text and buttons to the clipboard on Ctrl+C.
#include "winlib/driver/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <vector>

#include "runtime/path.h"
#include "winlib/drivers/qt/native.h"
#include "winlib/vocabulary.h"

namespace winlib::driver {
namespace {

struct BoxButton {
    QMessageBox::StandardButton button;
    int result;  // id::
};

// The buttons of an MB_ type, in Windows' order (MB_DEFBUTTONn counts in this order).
std::vector<BoxButton> box_buttons(unsigned style) {
    using B = QMessageBox;
    switch (style & mb::kTypeMask) {
        case mb::kOkCancel:
            return {{B::Ok, id::kOk}, {B::Cancel, id::kCancel}};
        case mb::kAbortRetryIgnore:
            return {{B::Abort, id::kAbort}, {B::Retry, id::kRetry}, {B::Ignore, id::kIgnore}};
        case mb::kYesNoCancel:
            return {{B::Yes, id::kYes}, {B::No, id::kNo}, {B::Cancel, id::kCancel}};
        case mb::kYesNo:
            return {{B::Yes, id::kYes}, {B::No, id::kNo}};
        case mb::kRetryCancel:
            return {{B::Retry, id::kRetry}, {B::Cancel, id::kCancel}};
        default:
            return {{B::Ok, id::kOk}};
    }
}

QMessageBox::Icon box_icon(unsigned style) {
    switch (style & mb::kIconMask) {
        case mb::kIconHand:
            return QMessageBox::Critical;
        case mb::kIconQuestion:
            return QMessageBox::Question;
        case mb::kIconExclamation:
            return QMessageBox::Warning;
        case mb::kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// A box without a way out (Yes/No, Abort/Retry/Ignore) ignores Esc and its close box, as
// Windows' does; Qt's would take No or Abort.
class NoEscape : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// Ctrl+C in a message box puts its caption, text and buttons on the clipboard, each part
// between lines of dashes, as Windows does.
class CopyText : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box == nullptr || event->type() != QEvent::KeyPress ||
            !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            return QObject::eventFilter(watched, event);
        const QString rule = QStringLiteral("---------------------------\r\n");
        QString buttons;
        for (QAbstractButton* button : box->buttons())
            buttons += button->text().remove(u'&') + QStringLiteral("   ");
        QApplication::clipboard()->setText(rule + box->windowTitle() + QStringLiteral("\r\n") +
                                           rule + box->text() + QStringLiteral("\r\n") + rule +
                                           buttons + QStringLiteral("\r\n") + rule);
        return true;
    }
};

// The save dialog refuses a name in a folder that does not exist (OFN_PATHMUSTEXIST).
class SaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !QFileInfo(files.first()).isDir() &&
            !QFileInfo(files.first()).absoluteDir().exists())
            return;
        QFileDialog::accept();
    }
};

// "shown|pattern|shown|pattern" as Qt name filters. Qt reads the patterns from the last
// parentheses of each filter and, with HideNameFilterDetails, shows only what precedes
// them: the user sees the program's own text.
QStringList name_filters(const std::string& filter) {
    const QStringList parts = qt::to_qstring(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

}  // namespace

int message_box(Handle owner, const std::string& text, const std::string& caption, unsigned style) {
    qt::ensure_application();
    QMessageBox box(box_icon(style), qt::to_qstring(caption), qt::to_qstring(text),
                    QMessageBox::NoButton, qt::widget_of(owner));
    box.setTextFormat(Qt::PlainText);
    const std::vector<BoxButton> buttons = box_buttons(style);
    for (const BoxButton& b : buttons) box.addButton(b.button);
    const std::size_t default_index = (style & mb::kDefMask) >> mb::kDefShift;
    box.setDefaultButton(buttons[default_index < buttons.size() ? default_index : 0].button);
    if (buttons.size() == 1) {
        box.setEscapeButton(buttons.front().button);
    } else if (box.button(QMessageBox::Cancel) != nullptr) {
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.installEventFilter(new NoEscape(&box));
    }
    box.installEventFilter(new CopyText(&box));
    box.exec();
    const QMessageBox::StandardButton chosen = box.standardButton(box.clickedButton());
    for (const BoxButton& b : buttons)
        if (b.button == chosen) return b.result;
    return 0;
}

Handle active_window() {
    qt::ensure_application();
    return qt::handle_of(QApplication::activeWindow());
}

void enable_window(Handle window, bool enabled) {
    if (QWidget* widget = qt::widget_of(window)) widget->setEnabled(enabled);
}

bool window_enabled(Handle window) {
    const QWidget* widget = qt::widget_of(window);
    return widget != nullptr && widget->isEnabled();
}

bool key_down(int virtual_key) { return qt::key_held(virtual_key); }

void beep(int frequency_hz, int duration_ms) {
    (void)frequency_hz;  // see the file's opening comment
    (void)duration_ms;
    qt::ensure_application();
    QApplication::beep();
}

std::string save_file_dialog(Handle owner, const std::string& filter, const std::string& title,
                             const std::string& initial_dir) {
    qt::ensure_application();
    // The program speaks Windows paths: the folder is handed over in the platform's form
    // and the answer comes back in the program's.
    const QString folder = QString::fromStdString(runtime::native_path(initial_dir).string());
    SaveDialog dialog(qt::widget_of(owner), qt::to_qstring(title), folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = name_filters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return runtime::windows_path(dialog.selectedFiles().first().toStdString());
}

int text_width(Handle, const std::string& text) {
    // Qt draws every window with the application's font: it is each surface's default.
    qt::ensure_application();
    return QFontMetrics(QApplication::font()).horizontalAdvance(qt::to_qstring(text));
}

void shell_open(const std::string& target, const std::string&, int) {
    // Started apart from the program, which may end at once (the error report does).
    QProcess::startDetached(QStringLiteral("xdg-open"), {qt::to_qstring(target)});
}

}  // namespace winlib::driver
