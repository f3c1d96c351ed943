#include "kelv/ui/startup.h"

#include "dbf/work_areas.h"
#include "kelv/errorsys/errorsys.h"
#include "kelv/tables/module_variables.h"
#include "kelv/win32api/primitives.h"
#include "kelv/win32api/trees.h"
#include "runtime/file_case.h"
#include "runtime/error.h"
#include "runtime/fs.h"
#include "runtime/settings.h"
#include "runtime/text1252.h"
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

// Leftovers of earlier runs: marked files here, marked folders (emptied first) in TEMP.
void remove_leftovers() {
    for (const runtime::DirEntry& e : runtime::list_directory("*"))
        if (is_temporary(e) && !e.directory) runtime::remove_file(e.name);

    std::string temp = runtime::temp_folder();
    if (temp.empty()) return;
    for (const runtime::DirEntry& e : runtime::list_directory(temp + "\\*")) {
        if (!is_temporary(e) || !e.directory) continue;
        // A run still going keeps its marker file open inside its folder: the emptying
        // stops there and the folder, not empty, stays.
        std::string folder = temp + "\\" + e.name;
        DELDIR(folder);
        REMOVEDIR(folder);
    }
}

// The network marker: where it exists, the users' settings files go with each run.
const std::string kNetworkMarker = "C:\\KELV\\NET";

// The run's instance folder, made by the login: its marker file closed, then every file
// listed in it deleted and the folder removed. Failures are silent.
void remove_instance_folder() {
    hUserFile.reset();
    for (const runtime::DirEntry& e : runtime::list_directory(cTempFolder + "*.*"))
        if (!e.directory && !e.hidden && !e.system) runtime::remove_file(cTempFolder + e.name);
    std::string folder = cTempFolder;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    runtime::remove_folder(folder);
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

void EXIT_() {
    dbf::work_areas().close_all();
    if (runtime::is_blank(cCurrentUser)) return;  // nobody logged in: nothing of a user to tidy
    remove_instance_folder();
    if (runtime::file_exists(kNetworkMarker))
        runtime::remove_file(runtime::apply_file_case(cCurrentUser + ".USR"));
}

int run_program(void (*entry)()) {
    int code = 0;
    // The error handler first: the start-up's own failures reach it.
    ERRORSYS();
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
