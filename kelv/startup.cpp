#include "kelv/startup.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "runtime/error.h"
#include "runtime/fs_list.h"
#include "runtime/path.h"
#include "runtime/settings.h"
#include "runtime/text1252.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelv {
namespace {

// The library's temporary files and folders begin with this byte.
constexpr char kTemporaryMark = '\x7F';

bool is_temporary(const runtime::DirEntry& e) {
    return !e.name.empty() && e.name[0] == kTemporaryMark && !e.hidden && !e.system &&
           e.name != "." && e.name != "..";
}

bool remove_entry(const std::string& path) {
    std::error_code ec;
    return std::filesystem::remove(runtime::native_path(path), ec) && !ec;
}

// The folder TEMP names, as a Windows path; "" when there is none.
std::string temp_folder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableW(L"TEMP", buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? "" : runtime::from_utf16(std::u16string(buffer, buffer + n));
#else
    const char* temp = std::getenv("TEMP");
    return temp ? runtime::windows_path(temp) : "";
#endif
}

// Deletes the files of a folder in listing order, stopping at the first that cannot go:
// a run still going keeps its marker file open there, and its folder must survive.
void delete_files_in(const std::string& folder) {
    for (const runtime::DirEntry& e : runtime::list_directory(folder + "\\*")) {
        if (e.directory || e.hidden || e.system) continue;
        if (!remove_entry(folder + "\\" + e.name)) return;
    }
}

// Leftovers of earlier runs: marked files here, marked folders (emptied first) in TEMP.
void remove_leftovers() {
    for (const runtime::DirEntry& e : runtime::list_directory("*"))
        if (is_temporary(e) && !e.directory) remove_entry(e.name);

    std::string temp = temp_folder();
    if (temp.empty()) return;
    for (const runtime::DirEntry& e : runtime::list_directory(temp + "\\*")) {
        if (!is_temporary(e) || !e.directory) continue;
        std::string folder = temp + "\\" + e.name;
        delete_files_in(folder);
        remove_entry(folder);  // fails, as it should, while the folder is not empty
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
