#include "tests/serial/ui_queue.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace serial::test {

namespace {

struct Pending {
    Message message;
    bool handled = false;
};

std::mutex g_lock;
std::condition_variable g_changed;
std::deque<Pending*> g_queue;
Handler g_handler;

std::intptr_t send(winlib::Handle window, unsigned message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
    Pending p{{window, message, wparam, lparam}};
    std::unique_lock guard(g_lock);
    g_queue.push_back(&p);
    g_changed.notify_all();
    g_changed.wait(guard, [&] { return p.handled; });
    return 0;
}

void serve(int milliseconds) {
    std::unique_lock guard(g_lock);
    g_changed.wait_for(guard, std::chrono::milliseconds(milliseconds),
                       [] { return !g_queue.empty(); });
    while (!g_queue.empty()) {
        Pending* p = g_queue.front();
        g_queue.pop_front();
        guard.unlock();
        if (g_handler) g_handler(p->message);
        guard.lock();
        p->handled = true;
        g_changed.notify_all();
    }
}

}  // namespace

void install_ui_queue(Handler handler) {
    g_handler = std::move(handler);
    set_window_link({&send, &serve});
}

int pending_messages() {
    std::lock_guard guard(g_lock);
    return static_cast<int>(g_queue.size());
}

void serve_until(const std::function<bool()>& done) {
    while (!done()) serve(10);
}

bool serve_until(const std::function<bool()>& done, int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done() && std::chrono::steady_clock::now() < end) serve(10);
    return done();
}

void serve_for(int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) serve(1);
}

void sleep_for(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace serial::test
