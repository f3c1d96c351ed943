// The program's entry: the library start-up, MAIN, the library shut-down.
#include "kelv/startup.h"
#include "serial/ui_services.h"
#include "velkan/velkan.h"

int main() {
    // Port arrivals reach the main window through the windowing layer's synchronous send.
    serial::set_window_link(serial::winlib_window_link());
    return kelv::run_program(velkan::MAIN);
}
