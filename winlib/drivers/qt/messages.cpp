// Messages of the Qt driver: the non-blocking pump, the bounded wait and the synchronous
// send from any thread.
//
// A send from another thread joins a queue that the UI thread empties when an event
// posted for it is handled: Qt handles posted events only while the UI thread processes
// events (pump(), a modal loop, a message box or file dialog), never in between. The
// sender waits on the queue's own condition until its send has been handled, so the
// hand-over of the answer is ordered by the program's own lock, not by Qt's internals.
// The same thread's send is a direct call, as SendMessage is on Windows.
//
// wait_event() wakes for such a send or a quit request. It cannot see the window system's
// input arriving meanwhile (Qt offers no wait that processes nothing); a wait loop that
// calls it with its 10 ms bound and then pump() handles that input at most one bound late.
#include "winlib/driver/messages.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "winlib/drivers/qt/key_map.h"
#include "winlib/drivers/qt/native.h"
#include "winlib/events.h"
#include "winlib/vocabulary.h"
#include "winlib/window.h"

namespace winlib::driver {
namespace {

// A send from another thread, on its sender's stack until it has been handled.
struct Send {
    Handle window;
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    std::intptr_t answer = 0;  // guarded by mutex
    bool handled = false;      // guarded by mutex
};

std::mutex mutex;
std::condition_variable wake;     // a send queued or a quit requested
std::condition_variable handled;  // a send handled
std::deque<Send*> sends;          // guarded by mutex: waiting for the UI thread
bool quit_pending = false;        // guarded by mutex: a quit request is queued
bool quit_met = false;            // UI thread only: the current pump() met the quit request

std::intptr_t deliver(Handle handle, unsigned message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
    const std::shared_ptr<Window> window = Window::from_handle(handle);
    return window ? events::message(*window, message, wparam, lparam) : 0;
}

void queue_quit() {
    {
        const std::lock_guard lock(mutex);
        quit_pending = true;
    }
    wake.notify_all();
    QMetaObject::invokeMethod(
        qApp,
        [] {
            const std::lock_guard lock(mutex);
            quit_pending = false;
            quit_met = true;
        },
        Qt::QueuedConnection);
}

void deliver_sends() {
    for (;;) {
        Send* send = nullptr;
        {
            const std::lock_guard lock(mutex);
            if (sends.empty()) return;
            send = sends.front();
            sends.pop_front();
        }
        const std::intptr_t answer =
            deliver(send->window, send->message, send->wparam, send->lparam);
        {
            const std::lock_guard lock(mutex);
            send->answer = answer;
            send->handled = true;
        }
        handled.notify_all();
    }
}

const auto kSendsQueued = static_cast<QEvent::Type>(QEvent::User + 0x44);

// Lives on the UI thread: each event posted to it delivers the sends queued so far.
class SendInbox : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != kSendsQueued) return QObject::event(event);
        deliver_sends();
        return true;
    }
};

QObject* send_inbox() {
    static QObject* const inbox = [] {
        auto* object = new SendInbox;  // lives as long as the application
        object->moveToThread(qApp->thread());
        return object;
    }();
    return inbox;
}

}  // namespace

bool pump() {
    qt::ensure_application();
    quit_met = false;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    while (dispatcher->processEvents(QEventLoop::AllEvents)) {
    }
    return !quit_met;
}

void wait_event(int milliseconds) {
    std::unique_lock lock(mutex);
    wake.wait_for(lock, std::chrono::milliseconds(milliseconds),
                  [] { return !sends.empty() || quit_pending; });
}

std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam) {
    // Before the UI thread made the application there is no window to receive anything.
    if (!qt::application_exists()) return 0;
    if (QThread::currentThread() == qApp->thread()) return deliver(window, message, wparam, lparam);
    Send send{window, message, wparam, lparam};
    {
        const std::lock_guard lock(mutex);
        sends.push_back(&send);
    }
    wake.notify_all();
    // The posted event is made by Qt's own code (a clone), so that everything Qt hands
    // between the threads is Qt's: the thread checker cannot see Qt's locks.
    QCoreApplication::postEvent(send_inbox(), QEvent(kSendsQueued).clone());
    std::unique_lock lock(mutex);
    handled.wait(lock, [&] { return send.handled; });
    return send.answer;
}

void post_quit(int exit_code) {
    // The program's exit code travels with runtime::Quit; the request itself is what counts.
    (void)exit_code;
    qt::ensure_application();
    queue_quit();
}

// A character becomes a key press with that text and no key; a key-down becomes the press
// of that key. Each press is followed by its release, which Windows' posted key-down does
// not need but Qt's key table does: otherwise the key would count as held down. The focus
// message activates the window and focuses its last focused child, or the window itself
// when it has none, when the queue reaches it.
void post_message(Handle window, unsigned message, std::uintptr_t wparam, std::intptr_t) {
    QWidget* target = qt::widget_of(window);
    if (target == nullptr) return;
    if (message == msg::kSetFocus) {
        QPointer<QWidget> guarded(target);
        QMetaObject::invokeMethod(
            target,
            [guarded] {
                if (guarded == nullptr) return;
                guarded->activateWindow();
                QWidget* inside = guarded->focusWidget();
                (inside != nullptr ? inside : guarded.data())->setFocus(Qt::OtherFocusReason);
            },
            Qt::QueuedConnection);
        return;
    }
    int key = 0;
    QString text;
    if (message == msg::kChar) {
        text = qt::to_qstring(std::string(1, static_cast<char>(wparam)));
    } else if (message == msg::kKeyDown) {
        key = qt::qt_key(static_cast<int>(wparam));
        if (key == Qt::Key_Return || key == Qt::Key_Tab || key == Qt::Key_Backspace)
            text = QChar(static_cast<char16_t>(wparam));
    } else {
        return;
    }
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

}  // namespace winlib::driver
