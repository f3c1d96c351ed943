// Messages of the Qt driver: the non-blocking pump, the bounded wait and the synchronous
// send from any thread.
//
// A send from another thread is a blocking queued call on the application object: Qt
// runs it only while the UI thread processes events (pump(), a modal loop, a message box
// or file dialog), never in between, and the sender waits until it has run. The same
// thread's send is a direct call, as SendMessage is on Windows.
//
// wait_event() wakes for such a send or a quit request. It cannot see the window system's
// input arriving meanwhile (Qt offers no wait that processes nothing); a wait loop that
// calls it with its 10 ms bound and then pump() handles that input at most one bound late.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "winlib/driver.h"
#include "winlib/drivers/qt/application.h"
#include "winlib/events.h"
#include "winlib/window.h"

namespace winlib::driver {
namespace {

std::mutex mutex;
std::condition_variable wake;
int pending_sends = 0;      // guarded by mutex
bool quit_pending = false;  // guarded by mutex: a quit request is queued
bool quit_met = false;      // UI thread only: the current pump() met the quit request

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
                  [] { return pending_sends > 0 || quit_pending; });
}

std::intptr_t send_message(Handle window, unsigned message, std::uintptr_t wparam,
                           std::intptr_t lparam) {
    // Before the UI thread made the application there is no window to receive anything.
    if (!qt::application_exists()) return 0;
    if (QThread::currentThread() == qApp->thread()) return deliver(window, message, wparam, lparam);
    {
        const std::lock_guard lock(mutex);
        ++pending_sends;
    }
    wake.notify_all();
    std::intptr_t answer = 0;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            {
                const std::lock_guard lock(mutex);
                --pending_sends;
            }
            answer = deliver(window, message, wparam, lparam);
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

void post_quit(int exit_code) {
    // The program's exit code travels with runtime::Quit; the request itself is what counts.
    (void)exit_code;
    qt::ensure_application();
    queue_quit();
}

}  // namespace winlib::driver
