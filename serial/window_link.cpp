#include "serial/window_link.h"

#include <mutex>

namespace serial {

namespace {

std::mutex g_lock;
WindowLink g_link;

}  // namespace

void set_window_link(WindowLink link) {
    std::lock_guard guard(g_lock);
    g_link = link;
}

WindowLink window_link() {
    std::lock_guard guard(g_lock);
    return g_link;
}

}  // namespace serial
