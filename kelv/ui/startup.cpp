#include "kelv/ui/startup.h"

#include "dbf/work_areas.h"
#include "runtime/error.h"
#include "runtime/fs.h"
#include "runtime/settings.h"
#include "serial/ui_services.h"
#include "serial/window_link.h"

namespace kelv {
namespace {

// The library's temporary files and folders begin with this byte.
constexpr char kTemporaryMark = '\x7F';

bool is_temporary(const runtime::DirEntry& e) {
    return !e.name.empty() && e.name[0] == kTemporaryMark && !e.hidden && !e.system &&
           e.name != "." && e.name != "..";
}

// Deletes the files of a folder in listing order, stopping at the first that cannot go:
// a run still going keeps its marker file open there, and its folder must survive.
void delete_files_in(const std::string& folder) {
    for (const runtime::DirEntry& e : runtime::list_directory(folder + "\\*")) {
        if (e.directory || e.hidden || e.system) continue;
        if (runtime::remove_file(folder + "\\" + e.name) != 0) return;
    }
}

// Leftovers of earlier runs: marked files here, marked folders (emptied first) in TEMP.
void remove_leftovers() {
    for (const runtime::DirEntry& e : runtime::list_directory("*"))
        if (is_temporary(e) && !e.directory) runtime::remove_file(e.name);

    std::string temp = runtime::temp_folder();
    if (temp.empty()) return;
    for (const runtime::DirEntry& e : runtime::list_directory(temp + "\\*")) {
        if (!is_temporary(e) || !e.directory) continue;
        std::string folder = temp + "\\" + e.name;
        delete_files_in(folder);
        runtime::remove_folder(folder);  // fails, as it should, while the folder is not empty
    }
}

}  // namespace

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

    remove_leftovers();

    // Drive-not-ready and the like reach the program as failures, not as system boxes.
    runtime::set_system_error_mode(runtime::kFailCriticalErrors);
}

void EXIT_() { dbf::work_areas().close_all(); }

int run_program(void (*entry)()) {
    int code = 0;
    // The runtime error handler is installed here, first, once it exists.
    INIT_();
    // Port arrivals reach the program's windows through the windowing layer's send.
    serial::set_window_link(serial::winlib_window_link());
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
