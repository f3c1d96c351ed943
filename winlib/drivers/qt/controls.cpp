// Controls of the Qt driver: text, items, selection, place, focus and state of the widget
// realising a core control. Programmatic changes run under a QSignalBlocker so that only
// the user's changes reach the core (as on Windows, where LB_SETCURSEL notifies nobody).
// Multi-line edits take and give Windows line ends (CR LF); Qt's editor keeps LF.
#include "winlib/driver/controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "winlib/control.h"
#include "winlib/drivers/qt/native.h"
#include "winlib/vocabulary.h"

namespace winlib::driver {
namespace {

QWidget* widget(const Control& control) { return qt::widget_of(control.hWnd); }

QString from_windows_lines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString to_windows_lines(QString text) {
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

}  // namespace

void set_text(Control& control, const std::string& text) {
    QWidget* w = widget(control);
    if (w == nullptr) return;
    const QSignalBlocker blocker(w);
    const QString value = qt::to_qstring(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(value);
    } else if (auto* editor = qobject_cast<QPlainTextEdit*>(w)) {
        editor->setPlainText(from_windows_lines(value));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setEditText(value);
    }
}

std::string get_text(const Control& control) {
    QWidget* w = widget(control);
    QString value;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        value = edit->text();
    } else if (auto* editor = qobject_cast<QPlainTextEdit*>(w)) {
        value = to_windows_lines(editor->toPlainText());
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        value = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        value = button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        value = group->title();
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        value = list->currentItem() != nullptr ? list->currentItem()->text() : QString();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        value = combo->currentText();
    }
    return qt::from_qstring(value);
}

void set_items(Control& control, const std::vector<std::string>& items) {
    QWidget* w = widget(control);
    if (w == nullptr) return;
    const QSignalBlocker blocker(w);
    QStringList texts;
    for (const auto& item : items) texts << qt::to_qstring(item);
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->clear();
        list->addItems(texts);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->clear();
        combo->addItems(texts);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        // Empty stand-ins: the pages are windows of their own over the display area.
        while (tabs->count() > 0) delete tabs->widget(0);
        for (const QString& text : texts) tabs->addTab(new QWidget, text);
    }
}

void select(Control& control, int position) {
    QWidget* w = widget(control);
    if (w == nullptr) return;
    const QSignalBlocker blocker(w);
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->setCurrentRow(position - 1);
        if (position <= 0) list->clearSelection();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(position - 1);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        tabs->setCurrentIndex(position - 1);
    }
}

int selection(const Control& control) {
    QWidget* w = widget(control);
    // A single-selection list's current item is its selection (select(0) clears both).
    if (auto* list = qobject_cast<QListWidget*>(w)) return list->currentRow() + 1;
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentIndex() + 1;
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) return tabs->currentIndex() + 1;
    return 0;
}

void set_font(Control& control, const Font& font) {
    QFont chosen(qt::to_qstring(font.face));
    chosen.setPixelSize(font.height);
    chosen.setWeight(QFont::Normal);
    if (QWidget* w = widget(control)) w->setFont(chosen);
}

// The system icons by their Windows numbers (IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION,
// IDI_ASTERISK), as the style draws them in its message boxes.
void set_system_icon(Control& control, int id) {
    auto* label = qobject_cast<QLabel*>(widget(control));
    if (label == nullptr) return;
    const QStyle::StandardPixmap icon = id == 32513   ? QStyle::SP_MessageBoxCritical
                                        : id == 32514 ? QStyle::SP_MessageBoxQuestion
                                        : id == 32515 ? QStyle::SP_MessageBoxWarning
                                                      : QStyle::SP_MessageBoxInformation;
    label->setPixmap(label->style()->standardIcon(icon).pixmap(32, 32));
}

// A palette of the widget's class with the control's own colours: the text roles for
// the text colour, the background roles for the pane (a label fills its background only
// then).
void set_colours(Control& control) {
    QWidget* w = widget(control);
    if (w == nullptr) return;
    const auto to_qcolor = [](long c) {
        return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    };
    QPalette palette = QApplication::palette(w);
    if (control.nClrText != Control::kSystemColour) {
        for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(role, to_qcolor(control.nClrText));
    }
    const bool pane = control.nClrPane != Control::kSystemColour;
    if (pane) {
        for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
            palette.setColor(role, to_qcolor(control.nClrPane));
    }
    w->setAutoFillBackground(pane);
    w->setPalette(palette);
}

// Qt paints an opaque widget's background every time: erasing is not optional here.
void repaint_control(Control& control, bool) {
    if (QWidget* w = widget(control)) w->repaint();
}

void show_control(Control& control, bool shown) {
    if (QWidget* w = widget(control)) w->setVisible(shown);
}

bool control_shown(const Control& control) {
    QWidget* w = widget(control);
    return w != nullptr && !w->isHidden();
}

// A bitmap button's icon, or an image control's picture.
void set_bitmap(Control& control, const std::string& name) {
    const QPixmap pixmap = qt::resource_bitmap(name);
    if (auto* label = qobject_cast<QLabel*>(widget(control))) label->setPixmap(pixmap);
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    if (button == nullptr) return;
    button->setText(QString());
    button->setIcon(QIcon(pixmap));
    button->setIconSize(pixmap.size());
}

void set_progress_range(Control& control, int min, int max) {
    if (auto* bar = qobject_cast<QProgressBar*>(widget(control))) bar->setRange(min, max);
}

void set_progress_position(Control& control, int position) {
    if (auto* bar = qobject_cast<QProgressBar*>(widget(control))) bar->setValue(position);
}

void set_bounds(Control& control, Rect pixels) {
    if (QWidget* w = widget(control))
        w->setGeometry(pixels.x, pixels.y, pixels.width, pixels.height);
}

void set_focus(Control& control) {
    if (QWidget* w = widget(control)) w->setFocus(Qt::OtherFocusReason);
}

void enable(Control& control, bool enabled) {
    if (QWidget* w = widget(control)) w->setEnabled(enabled);
}

void go_bottom(Control& control) {
    auto* editor = qobject_cast<QPlainTextEdit*>(widget(control));
    if (editor == nullptr) return;
    editor->moveCursor(QTextCursor::End);
    editor->ensureCursorVisible();
    editor->verticalScrollBar()->setValue(editor->verticalScrollBar()->maximum());
}

// The inner widgets of a control (a combo box's edit field) carry no handle: the focus is
// the nearest widget that does.
Handle focused_handle() {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget())
        if (const Handle handle = qt::handle_of(w); handle != 0) return handle;
    return 0;
}

bool owns(const Control& control, Handle handle) {
    QWidget* w = widget(control);
    QWidget* part = qt::widget_of(handle);
    return handle == control.hWnd || (w != nullptr && part != nullptr && w->isAncestorOf(part));
}

// The edit-selection messages of a combo box with an edit field: positions in the low
// and high word, as Windows gives and takes them.
std::intptr_t control_message(Control& control, unsigned message, std::uintptr_t,
                              std::intptr_t lparam) {
    auto* combo = qobject_cast<QComboBox*>(widget(control));
    QLineEdit* edit = combo != nullptr ? combo->lineEdit() : nullptr;
    if (edit == nullptr) return 0;
    if (message == cb::kGetEditSel) {
        const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const int end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
        return static_cast<std::intptr_t>((end & 0xFFFF) << 16 | (start & 0xFFFF));
    }
    if (message == cb::kSetEditSel) {
        const int start = static_cast<int>(lparam & 0xFFFF);
        const int end = static_cast<int>((lparam >> 16) & 0xFFFF);
        if (start == end) {
            edit->setCursorPosition(start);
        } else {
            edit->setSelection(start, end - start);
        }
    }
    return 0;
}

void set_checked(Control& control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    if (button == nullptr) return;
    const QSignalBlocker blocker(button);
    // Qt keeps the checked button of an exclusive group checked; Windows clears it on request.
    QButtonGroup* group = button->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive && !checked) group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive && !checked) group->setExclusive(true);
}

bool checked(const Control& control) {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    return button != nullptr && button->isChecked();
}

Rect page_area(const Control& folder) {
    auto* tabs = qobject_cast<QTabWidget*>(widget(folder));
    if (tabs == nullptr) return {};
    // The pane's frame is two pixels wide in Qt's styles, as the tab control's on Windows.
    constexpr int kFrame = 2;
    const QRect box = tabs->geometry();
    const int bar = tabs->tabBar()->sizeHint().height();
    return {box.x() + kFrame, box.y() + bar + kFrame, box.width() - 2 * kFrame,
            box.height() - bar - 2 * kFrame};
}

}  // namespace winlib::driver
