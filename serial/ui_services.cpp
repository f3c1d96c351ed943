#include "serial/ui_services.h"

#include "winlib/messages.h"
#include "winlib/services.h"

namespace serial {

namespace {

void serve(int milliseconds) {
    winlib::wait_event(milliseconds);
    winlib::pump();
}

}  // namespace

bool SYSREFRESH() { return winlib::pump(); }

bool GETASYNCKEYSTATE(int virtual_key) { return winlib::key_down(virtual_key); }

std::string CGETFILE(const std::string& filter, const std::string& title, const runtime::Value&,
                     const std::string& initial_dir) {
    return winlib::save_file_dialog(filter.substr(0, 399), title.substr(0, 255),
                                    initial_dir.substr(0, 255));
}

WindowLink winlib_window_link() { return {&winlib::send_message, &serve}; }

}  // namespace serial
