// Windows of the Qt driver: a QDialog per window, its controls built from the dialog
// template (dialog units turned into pixels for the template's font, as Windows does) and
// from the core's run-time controls the same way, from window class and style; the modal
// loop and centring.
//
// Supported control classes: BUTTON (push, default push, check box, radio with groups as
// Windows forms them, group box), STATIC (also as a bitmap of the program's resources,
// SS_BITMAP, and with a sunken edge, SS_SUNKEN), EDIT (single line; multi-line as a
// plain-text editor), LISTBOX, COMBOBOX, SYSTABCONTROL32 (tabs; the pages are child
// windows of their own, as on Windows), MSCTLS_PROGRESS32.
// Not supported yet: owner-drawn controls, icons in templates' statics, sizing grips.
#include "winlib/driver/windows.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTabWidget>
#include <QValidator>
#include <optional>
#include <string_view>

#include "resources/rc_text.h"
#include "winlib/control.h"
#include "winlib/dialog_template.h"
#include "winlib/driver/controls.h"
#include "winlib/drivers/qt/native.h"
#include "winlib/events.h"
#include "winlib/vocabulary.h"
#include "winlib/window.h"

namespace winlib::qt {
namespace {

// Windows' ES_UPPERCASE turns letters to upper case as they are typed; the program's
// upper case changes a to z only.
class UpperCase : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& ch : input)
            if (ch >= u'a' && ch <= u'z') ch = QChar(ch.unicode() - 0x20);
        return Acceptable;
    }
};

// Tells the core when a bound control gets or loses the focus.
class FocusWatcher : public QObject {
public:
    FocusWatcher(NativeWindow* window, Control* control, QObject* parent)
        : QObject(parent), window_(window), control_(control) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (window_->core != nullptr) {
            if (event->type() == QEvent::FocusIn) events::focus_gained(*control_);
            if (event->type() == QEvent::FocusOut) events::focus_lost(*control_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    NativeWindow* window_;
    Control* control_;
};

const TemplateFile& templates() {
    static const TemplateFile file = [] {
        TemplateFile parsed = parse_templates(resources::rc_text());
        if (!parsed.error.empty()) qWarning("velkan.rc: %s", parsed.error.c_str());
        return parsed;
    }();
    return file;
}

// The widget for a Win32 window class and style: the one place a window class is realised.
QWidget* make_widget(std::string_view window_class, unsigned style, const std::string& text,
                     QWidget* parent) {
    const QString caption = to_qstring(text);
    if (window_class == window_class::kButton) {
        switch (style & bs::kKindMask) {
            case bs::kCheckBox:
            case bs::kAutoCheckBox:
                return new QCheckBox(caption, parent);
            case bs::kRadioButton:
            case bs::kAutoRadioButton:
                return new QRadioButton(caption, parent);
            case bs::kGroupBox:
                return new QGroupBox(caption, parent);
            default: {
                auto* button = new QPushButton(caption, parent);
                button->setDefault((style & bs::kDefPushButton) != 0);
                return button;
            }
        }
    }
    if (window_class == window_class::kEdit) {
        if ((style & es::kMultiline) != 0) return new QPlainTextEdit(parent);
        auto* edit = new QLineEdit(parent);
        edit->setText(caption);
        return edit;
    }
    if (window_class == window_class::kListBox) {
        auto* list = new QListWidget(parent);
        list->setSortingEnabled((style & lbs::kSort) != 0);
        return list;
    }
    if (window_class == window_class::kComboBox) {
        auto* combo = new QComboBox(parent);
        combo->setEditable((style & cbs::kKindMask) != cbs::kDropDownList);
        return combo;
    }
    if (window_class == window_class::kTabControl) {
        // Tabs only: the pages are windows of their own over its display area, as on Windows.
        auto* tabs = new QTabWidget(parent);
        tabs->setFocusPolicy((style & ws::kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
        return tabs;
    }
    if (window_class == window_class::kProgress) {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);  // as the Windows bar, which shows no percentage
        return bar;
    }
    auto* label = new QLabel(caption, parent);  // STATIC and anything unknown
    label->setTextFormat(Qt::PlainText);
    if ((style & ss::kSunken) != 0) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if ((style & ss::kTypeMask) == ss::kBitmap) {
        // The text names a bitmap of the program's resources, as the dialog manager reads it.
        label->setPixmap(resource_bitmap(text));
        return label;
    }
    const unsigned align = style & (ss::kCenter | ss::kRight);
    label->setAlignment(Qt::AlignTop | (align == ss::kCenter  ? Qt::AlignHCenter
                                        : align == ss::kRight ? Qt::AlignRight
                                                              : Qt::AlignLeft));
    return label;
}

// Edit and list settings from the style bits and the length limit.
void apply_style(QWidget* widget, unsigned style, int limit) {
    const bool border = (style & ws::kBorder) != 0;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setFrame(border);
        if (limit > 0) edit->setMaxLength(limit);
        if ((style & es::kPassword) != 0) edit->setEchoMode(QLineEdit::Password);
        if ((style & es::kUppercase) != 0) edit->setValidator(new UpperCase(edit));
        edit->setReadOnly((style & es::kReadOnly) != 0);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        text->setFrameShape(border ? QFrame::Box : QFrame::NoFrame);
        text->setReadOnly((style & es::kReadOnly) != 0);
        text->setVerticalScrollBarPolicy((style & ws::kVScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
        const bool hscroll = (style & ws::kHScroll) != 0;
        text->setHorizontalScrollBarPolicy(hscroll ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
        // Without a horizontal scroll bar or ES_AUTOHSCROLL, Windows wraps long lines.
        const bool wrap = !hscroll && (style & es::kAutoHScroll) == 0;
        text->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        list->setFrameShape(border ? QFrame::Box : QFrame::NoFrame);
        list->setVerticalScrollBarPolicy((style & ws::kVScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                     : Qt::ScrollBarAlwaysOff);
    }
}

// Reports the user's changes of a bound control to the core. Programmatic changes are
// made under a QSignalBlocker (controls.cpp) and report nothing, as on Windows, where
// setting a list's selection sends no notification.
void connect_changes(QWidget* widget, NativeWindow* window, Control* control) {
    const auto report = [window, control] {
        if (window->core != nullptr) events::changed(*control);
    };
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, report);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(text, &QPlainTextEdit::textChanged, text, report);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QObject::connect(list, &QListWidget::currentRowChanged, list, report);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo, report);
        QObject::connect(combo, &QComboBox::editTextChanged, combo, report);
        // The edit field takes the focus in the combo box's place.
        if (QLineEdit* field = combo->lineEdit())
            field->installEventFilter(new FocusWatcher(window, control, field));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        QObject::connect(tabs, &QTabWidget::currentChanged, tabs, report);
    }
    widget->installEventFilter(new FocusWatcher(window, control, widget));
}

// Makes the widget of one control, of a template or of the core alike, from its window
// class and style; gives it its place, state, handle and id, binds it to the core's
// control (if any) and connects its events.
void realise(NativeWindow* window, std::string_view window_class, const std::string& text, int id,
             unsigned style, QRect geometry, Control* control) {
    QWidget* widget = make_widget(window_class, style, text, window);
    apply_style(widget, style, control != nullptr ? control->nLimit : 0);
    widget->setGeometry(geometry);
    widget->setEnabled((style & ws::kDisabled) == 0 && (control == nullptr || control->lEnabled));
    widget->setVisible((style & ws::kVisible) != 0);
    widget->setProperty("id", id);
    // Radio buttons form a group from one with WS_GROUP to the next control with it.
    if ((style & ws::kGroup) != 0) window->radio_group = nullptr;
    if (auto* radio = qobject_cast<QRadioButton*>(widget);
        radio != nullptr && (style & bs::kKindMask) == bs::kAutoRadioButton) {
        if (window->radio_group == nullptr) window->radio_group = new QButtonGroup(window);
        window->radio_group->addButton(radio);
    }
    const Handle handle = register_widget(widget, window->core);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [window, id] {
            if (window->core != nullptr) events::command(*window->core, id);
        });
    }
    if (control != nullptr) {
        control->hWnd = handle;
        driver::set_colours(*control);
        connect_changes(widget, window, control);
    }
}

QRect to_qrect(Rect r) { return {r.x, r.y, r.width, r.height}; }

void build_from_template(NativeWindow* native, Window& window, const DialogTemplate& dialog) {
    QFont font(to_qstring(dialog.cFontName));
    if (dialog.nFontSize > 0) font.setPointSize(dialog.nFontSize);
    native->setFont(font);
    const QFontMetrics metrics(font);
    const BaseUnits base = base_units(metrics.horizontalAdvance(QStringLiteral(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                                      metrics.height());
    const Rect size = dialog_units_to_pixels(dialog.rect, base);
    native->resize(size.width, size.height);
    for (const ControlTemplate& item : dialog.aControls) {
        std::shared_ptr<Control> control = window.control_by_id(item.nId);
        if (control && !control->lFromResource) control = nullptr;
        realise(native, item.cClass, item.cText, item.nId,
                item.nStyle | (control ? control->nStyle : 0),
                to_qrect(dialog_units_to_pixels(item.rect, base)), control.get());
    }
}

Qt::WindowFlags window_flags(unsigned style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    // An overlapped window (neither popup nor child) always has a title bar on Windows.
    const bool overlapped = (style & (ws::kPopup | ws::kChild)) == 0;
    if (overlapped || (style & ws::kCaption) == ws::kCaption) flags |= Qt::WindowTitleHint;
    if ((style & ws::kSysMenu) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

}  // namespace

void NativeWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (paint_reported_) return;
    paint_reported_ = true;
    // Reported once the paint handler has returned: the start hook runs a long nested loop,
    // which Qt does not allow inside paintEvent (the window would not repaint meanwhile).
    QMetaObject::invokeMethod(
        this,
        [this] {
            paint_reported_ = false;
            if (core != nullptr) events::painted(*core);
        },
        Qt::QueuedConnection);
}

void NativeWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (core != nullptr) events::resized(*core, {event->size().width(), event->size().height()});
}

void NativeWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // the core decides, through the close rule
    if (core != nullptr) events::close_request(*core);
}

void NativeWindow::reject() {  // Esc
    // A folder's page is no window of its own: Esc there is the dialog's.
    if (!isWindow()) {
        if (auto* holder = qobject_cast<QDialog*>(window())) holder->reject();
        return;
    }
    if (core != nullptr) events::close_request(*core);
}

NativeWindow* native_window(const Window& window) {
    return dynamic_cast<NativeWindow*>(widget_of(window.hWnd));
}

namespace {

// Hides the widget and lets the core's objects go: events still queued for the widget or
// its folders' pages reach nobody.
void discard(NativeWindow* native, Window& window) {
    native->core = nullptr;
    for (NativeWindow* page : native->findChildren<NativeWindow*>()) page->core = nullptr;
    native->hide();
    forget_window(&window);
}

}  // namespace

}  // namespace winlib::qt

namespace winlib::driver {

using qt::native_window;
using qt::NativeWindow;

namespace {

// The native window of a window with its controls, of its template and of the core; the
// window's style, or nothing when there is no such template.
std::optional<unsigned> build(Window& window, NativeWindow* native) {
    std::optional<DialogTemplate> dialog;
    unsigned style = window.nStyle;
    if (!window.cResName.empty()) {
        dialog = find_template(qt::templates(), window.cResName);
        if (!dialog) return std::nullopt;
        style = dialog->nStyle;
    }
    native->setWindowTitle(
        qt::to_qstring(dialog && window.cCaption.empty() ? dialog->cCaption : window.cCaption));
    window.hWnd = qt::register_widget(native, &window);
    if (dialog) {
        qt::build_from_template(native, window, *dialog);
    } else {
        native->resize(window.nWidth, window.nHeight);
    }
    for (const auto& control : window.aControls) {
        if (control->lFromResource) continue;
        qt::realise(native, control->Class().window_class, control->cText, control->nId,
                    control->nStyle, qt::to_qrect(control->rect), control.get());
    }
    return style;
}

}  // namespace

void create_window(Window& window) {
    qt::ensure_application();
    window.hWnd = 0;
    auto* native = new NativeWindow(window);
    if (window.lModal) native->setWindowModality(Qt::ApplicationModal);
    const std::optional<unsigned> style = build(window, native);
    if (!style) {
        delete native;
        return;
    }
    native->setWindowFlags(qt::window_flags(*style));
    // Windows dialogs and plain overlapped windows keep their size unless they have a
    // sizing border.
    if ((*style & ws::kThickFrame) == 0) native->setFixedSize(native->size());
}

void create_page(Window& page, const Control& folder) {
    QWidget* tabs = qt::widget_of(folder.hWnd);
    if (tabs == nullptr) return;
    auto* native = new NativeWindow(page);
    native->setParent(tabs->parentWidget(), Qt::Widget);
    if (!build(page, native)) {
        delete native;
        return;
    }
    native->setGeometry(qt::to_qrect(page_area(folder)));
    native->raise();  // drawn over the folder
    native->hide();
}

void show_page(Window& page, bool shown) {
    if (NativeWindow* native = native_window(page)) native->setVisible(shown);
}

void show_window(Window& window) {
    NativeWindow* native = native_window(window);
    if (native == nullptr) return;
    const QScreen* screen =
        native->screen() != nullptr ? native->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    native->move(area.center() - QPoint(native->width() / 2, native->height() / 2));
    native->show();
    native->activateWindow();
    // As the Windows dialog manager does: unless the program chose one, the first control
    // that takes Tab gets the focus, and an edit's text is selected so that typing
    // replaces it.
    QWidget* focus = native->focusWidget();
    for (QWidget* w = native->nextInFocusChain(); focus == nullptr && w != native;
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && w->isVisible()) focus = w;
    }
    if (focus == nullptr) return;
    focus->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
}

void set_cursor(Window& window, int system_cursor) {
    constexpr int kWait = 32514;  // IDC_WAIT; the rest keep the arrow
    if (NativeWindow* native = native_window(window))
        native->setCursor(system_cursor == kWait ? Qt::WaitCursor : Qt::ArrowCursor);
}

void run_modal(Window& window) {
    NativeWindow* native = native_window(window);
    if (native == nullptr) return;
    if (!native->ending) {
        QEventLoop loop;
        native->loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        native->loop = nullptr;
    }
    // The loop has returned, so no handler of this window is running: delete it now.
    qt::discard(native, window);
    delete native;
}

void end_modal(Window& window) {
    NativeWindow* native = native_window(window);
    if (native == nullptr) return;
    native->ending = true;
    if (native->loop != nullptr) native->loop->exit(0);
}

void destroy_window(Window& window) {
    NativeWindow* native = native_window(window);
    if (native == nullptr) return;
    qt::discard(native, window);
    native->deleteLater();
}

void set_caption(Window& window, const std::string& caption) {
    if (NativeWindow* native = native_window(window))
        native->setWindowTitle(qt::to_qstring(caption));
}

Size client_size(const Window& window) {
    const NativeWindow* native = native_window(window);
    return native == nullptr ? Size{} : Size{native->width(), native->height()};
}

// Qt's window frame belongs to the window manager: the size is the widget's.
Size window_size(const Window& window) { return client_size(window); }

void set_window_size(Window& window, Size size) {
    NativeWindow* native = native_window(window);
    if (native == nullptr) return;
    // A window without a sizing frame is held at its size; a new size is a new fixed one.
    if (native->minimumSize() == native->maximumSize())
        native->setFixedSize(size.width, size.height);
    else
        native->resize(size.width, size.height);
}

void repaint(Window& window, bool erase) {
    // Qt always paints the background of an opaque widget, so erasing is not optional here.
    (void)erase;
    if (NativeWindow* native = native_window(window)) native->repaint();
}

}  // namespace winlib::driver
