#include "kelv/startup.h"

#include "runtime/error.h"
#include "runtime/settings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelv {

void INIT_() {
    using runtime::set_setting;
    set_setting("Driver", "DBFCDX");
    set_setting("LockScheme", 4);
    set_setting("MemoExt", ".DBT");
    set_setting("Century", true);
    set_setting("DateFormat", "dd/mm/yyyy");
    set_setting("DeletedHidden", true);
    set_setting("Epoch", 1980);
    set_setting("FileCase", "UPPER");
    set_setting("Margin", 5);

    set_setting("ACS_USER", "USER");
    set_setting("ACS_TEMP", "");
    set_setting("ACS_PASSWD", "");
    set_setting("ACS_LEVEL", 1);

#ifdef _WIN32
    // Drive-not-ready and the like reach the program as failures, not as system boxes.
    SetErrorMode(SEM_FAILCRITICALERRORS);
#endif
}

void EXIT_() {}

int run_program(void (*entry)()) {
    int code = 0;
    INIT_();
    try {
        entry();
    } catch (const runtime::Quit& quit) {
        code = quit.exit_code;
    } catch (const runtime::Break&) {
        // An abandon that no recovery point caught ends the entry, not the shut-down.
    }
    EXIT_();
    return code;
}

}  // namespace kelv
