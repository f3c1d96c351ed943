// The Qt user: the queued steps run inside the program's own event processing (the
// dialogs' loops, message boxes, the pump), one after the other, each waiting up to five
// seconds for its window, as a user acts once a window has appeared. A step that never
// can be carried out fails the user and closes the windows, so the test ends with the
// report instead of waiting for its time limit.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <sstream>

#include "runtime/path.h"
#include "runtime/text1252.h"
#include "tests/winlib/qt/robot.h"
#include "tests/winlib/user.h"
#include "winlib/messages.h"

namespace winlib::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStepPatience = std::chrono::seconds(5);

QString qt_text(const std::string& text) { return QString::fromStdString(runtime::to_utf8(text)); }
std::string program_text(const QString& text) { return runtime::from_utf8(text.toStdString()); }

QWidget* window_titled(const std::string& caption) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == qt_text(caption)) return w;
    return nullptr;
}

// A message box's text has the id Windows gives it.
constexpr int kMessageBoxText = 0xFFFF;

// Message-box buttons carry the Win32 result numbers as ids.
QWidget* control(QWidget* window, int id) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        switch (id) {
            case 1: return box->button(QMessageBox::Ok);
            case 2: return box->button(QMessageBox::Cancel);
            case 6: return box->button(QMessageBox::Yes);
            case 7: return box->button(QMessageBox::No);
            default: return nullptr;
        }
    }
    return robot::item(window, id);
}

std::string text_of(QWidget* window, int id) {
    if (id == 0) return program_text(window->windowTitle());
    if (auto* box = qobject_cast<QMessageBox*>(window); box && id == kMessageBoxText)
        return program_text(box->text());
    QWidget* w = control(window, id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return program_text(edit->text());
    if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) return program_text(multi->toPlainText());
    if (auto* label = qobject_cast<QLabel*>(w)) return program_text(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return program_text(button->text());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return program_text(combo->currentText());
    return "<no text control " + std::to_string(id) + ">";
}

Qt::Key qt_key(int virtual_key) {
    switch (virtual_key) {
        case vk::kReturn: return Qt::Key_Return;
        case vk::kEscape: return Qt::Key_Escape;
        case vk::kF4: return Qt::Key_F4;
        case 0x09: return Qt::Key_Tab;
        case 0x20: return Qt::Key_Space;
        case vk::kLeft: return Qt::Key_Left;
        default: return static_cast<Qt::Key>(virtual_key);  // letters and digits agree
    }
}

// Typing character by character, as the keyboard delivers each character's text; QTest's
// own typing knows only ASCII.
void type_into(QWidget* w, const std::string& text) {
    for (QChar c : qt_text(text)) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

// Keys go where the keyboard focus is; with no window of the program open they still
// reach the application, as a held key does.
QWidget* key_target() {
    static QWidget* nowhere = new QWidget;
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) w = QApplication::activeWindow();
    return w != nullptr ? w : nowhere;
}

class QtUser : public User {
public:
    User& wait_window(const std::string& caption) override {
        return add("wait-window " + caption, [caption] { return window_titled(caption) != nullptr; });
    }
    User& wait_gone(const std::string& caption) override {
        return add("wait-gone " + caption, [caption] { return window_titled(caption) == nullptr; });
    }
    User& click(const std::string& caption, int id) override {
        return on_control("click", caption, id,
                          [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); });
    }
    User& type(const std::string& caption, int id, const std::string& text) override {
        return on_control("type", caption, id, [text](QWidget* w) {
            w->setFocus();
            type_into(w, text);
        });
    }
    User& key(const std::string& caption, int virtual_key) override {
        return add("key " + caption, [caption] { return window_titled(caption) != nullptr; },
                   [caption, virtual_key] {
                       QWidget* window = window_titled(caption);
                       QWidget* focus = window->focusWidget();
                       QTest::keyClick(focus != nullptr ? focus : window, qt_key(virtual_key));
                   });
    }
    User& hold(int virtual_key, int milliseconds) override {
        return hold_asking(virtual_key, milliseconds, "");
    }
    User& hold_closing(int virtual_key, int milliseconds, const std::string& caption) override {
        return hold_asking(virtual_key, milliseconds, caption);
    }
    User& close(const std::string& caption) override {
        return add("close " + caption, [caption] { return window_titled(caption) != nullptr; },
                   [caption] { window_titled(caption)->close(); });
    }
    User& pause(int milliseconds) override {
        auto until = std::make_shared<std::optional<Clock::time_point>>();
        return add("pause", [until, milliseconds] {
            if (!*until) *until = Clock::now() + std::chrono::milliseconds(milliseconds);
            return Clock::now() >= **until;
        }, {}, std::chrono::milliseconds(milliseconds) + kStepPatience);
    }
    // Checks wait for the window to settle: they hold once, or fail at the deadline.
    User& expect_text(const std::string& caption, int id, const std::string& text) override {
        return check("expect-text " + caption + " " + std::to_string(id) + " \"" + text + "\"",
                     [=](QWidget* window) { return text_of(window, id) == text; }, caption,
                     [=](QWidget* window) { return "saw \"" + text_of(window, id) + "\""; });
    }
    User& expect_items(const std::string& caption, int id,
                       const std::vector<std::string>& items) override {
        auto listed = [id](QWidget* window) {
            std::vector<std::string> out;
            if (auto* list = qobject_cast<QListWidget*>(control(window, id)))
                for (int i = 0; i < list->count(); ++i)
                    out.push_back(program_text(list->item(i)->text()));
            return out;
        };
        return check("expect-items " + caption, [=](QWidget* w) { return listed(w) == items; },
                     caption, [=](QWidget* w) { return std::to_string(listed(w).size()) + " items"; });
    }
    User& expect_selection(const std::string& caption, int id, int position) override {
        auto selected = [id](QWidget* window) {
            auto* list = qobject_cast<QListWidget*>(control(window, id));
            return list == nullptr ? -1 : list->currentRow() + 1;
        };
        return check("expect-selection " + caption, [=](QWidget* w) { return selected(w) == position; },
                     caption, [=](QWidget* w) { return "at " + std::to_string(selected(w)); });
    }
    User& expect_colour(const std::string& caption, int id, long colour) override {
        auto seen = [id](QWidget* window) -> long {
            QWidget* w = control(window, id);
            if (w == nullptr) return -1;
            const QColor c = w->grab().toImage().pixelColor(w->width() - 5, w->height() / 2);
            return c.red() | (c.green() << 8) | (c.blue() << 16);
        };
        return check(
            "expect-colour " + caption + " " + std::to_string(id),
            [=](QWidget* w) { return seen(w) == colour; }, caption,
            [=](QWidget* w) { return "colour " + std::to_string(seen(w)); });
    }
    User& save_as(const std::string& caption, const std::string& path) override {
        auto name_field = [caption] {
            auto* dialog = qobject_cast<QFileDialog*>(window_titled(caption));
            return dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        };
        return add("save-as " + caption, [name_field] { return name_field() != nullptr; },
                   [name_field, path] {
            QLineEdit* name = name_field();
            name->setFocus();
            name->clear();
            // A user here types the platform's form of the path.
            type_into(name, runtime::from_utf8(runtime::native_path(path).string()));
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
    User& cancel_file_dialog(const std::string& caption) override {
        auto dialog = [caption] { return qobject_cast<QFileDialog*>(window_titled(caption)); };
        return add("cancel " + caption, [dialog] { return dialog() != nullptr; },
                   [dialog] { dialog()->reject(); });
    }

    void start() override {
        winlib::pump();  // the driver makes the application on first use
        timer_ = new QTimer(qApp);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this] { advance(); });
        step_started_ = Clock::now();
        timer_->start(10);
    }

    bool finished() override {
        auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!failed_ && next_ < steps_.size() && Clock::now() < deadline) {
            winlib::pump();
            winlib::wait_event(10);
        }
        if (timer_ != nullptr) {
            timer_->stop();
            timer_->deleteLater();
            timer_ = nullptr;
        }
        return !failed_ && next_ == steps_.size();
    }

    std::string report() const override { return log_.str(); }

private:
    struct Step {
        std::string name;
        std::function<bool()> ready;       // the window or control is there, the time has come
        std::function<void()> act;         // what the user then does (may be nothing)
        Clock::duration patience;
        std::function<std::string()> why;  // what was seen, for a failed check
    };

    User& add(std::string name, std::function<bool()> ready, std::function<void()> act = {},
              Clock::duration patience = kStepPatience, std::function<std::string()> why = {}) {
        steps_.push_back(
            {std::move(name), std::move(ready), std::move(act), patience, std::move(why)});
        return *this;
    }

    User& on_control(const std::string& verb, const std::string& caption, int id,
                     std::function<void(QWidget*)> act) {
        auto find = [=]() -> QWidget* {
            QWidget* window = window_titled(caption);
            QWidget* w = window ? control(window, id) : nullptr;
            return w != nullptr && w->isEnabled() ? w : nullptr;
        };
        return add(verb + " " + caption + " " + std::to_string(id),
                   [find] { return find() != nullptr; }, [find, act] { act(find()); });
    }

    // The key down for that long; with a caption, that window asked to close meanwhile.
    User& hold_asking(int virtual_key, int milliseconds, const std::string& caption) {
        auto until = std::make_shared<Clock::time_point>();
        add("hold-down", [] { return true; }, [until, virtual_key, milliseconds] {
            *until = Clock::now() + std::chrono::milliseconds(milliseconds);
            QTest::keyPress(key_target(), qt_key(virtual_key));
        });
        if (!caption.empty()) close(caption);
        return add("hold-up", [until] { return Clock::now() >= *until; },
                   [virtual_key] { QTest::keyRelease(key_target(), qt_key(virtual_key)); },
                   std::chrono::milliseconds(milliseconds) + kStepPatience);
    }

    User& check(std::string name, std::function<bool(QWidget*)> holds, const std::string& caption,
                std::function<std::string(QWidget*)> seen) {
        return add(std::move(name), [=] {
            QWidget* window = window_titled(caption);
            return window != nullptr && holds(window);
        }, {}, kStepPatience, [=] {
            QWidget* window = window_titled(caption);
            return window ? seen(window) : "no window \"" + caption + "\"";
        });
    }

    // The step counts as taken before the user acts, and the act runs from a timer of its
    // own: an act that opens a window runs that window's loop from inside it, and Qt does
    // not fire a timer again while its handler runs, so the next steps could not go on.
    void advance() {
        if (failed_ || next_ >= steps_.size()) return;
        Step& step = steps_[next_];
        if (step.ready()) {
            log_ << "ok   " << step.name << "\n";
            ++next_;
            step_started_ = Clock::now();
            if (step.act) QTimer::singleShot(0, qApp, step.act);
        } else if (Clock::now() - step_started_ > step.patience) {
            log_ << "FAIL " << step.name << (step.why ? " (" + step.why() + ")" : "") << "\n";
            failed_ = true;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) w->close();
        }
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    Clock::time_point step_started_;
    bool failed_ = false;
    QTimer* timer_ = nullptr;
    std::ostringstream log_;
};

}  // namespace

std::unique_ptr<User> make_user() { return std::make_unique<QtUser>(); }

}  // namespace winlib::testing
