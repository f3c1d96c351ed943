#include "kelv/win32api/locations.h"

#include <algorithm>

#include "kelv/win32api/primitives.h"
#include "runtime/fs.h"
#include "runtime/path.h"
#include "serial/current_dir.h"

namespace kelv {
namespace {

bool is_root_type(int type) {
    return type != runtime::drive::kUnknown && type != runtime::drive::kNoRootDir;
}

}  // namespace

std::string current_drive_prefix() {
    return std::string(runtime::split_path(runtime::current_folder()).drive);
}

bool DIR(const std::string& directory) {
    std::string saved = runtime::current_folder();
    if (!SETCURDIR(directory)) return false;
    SETCURDIR(saved);
    return true;
}

std::vector<std::string> ADISK(int kind) {
    std::vector<std::string> drives;
    if (kind < 0 || kind > 2) return drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string prefix{letter, ':'};
        bool floppy = letter <= 'B';
        if (floppy && kind == 2) continue;
        if (!floppy && kind == 1) break;
        bool listed = floppy ? GETDRIVETYPE(prefix) == runtime::drive::kRemovable
                             : GETDRIVETYPE(prefix) == runtime::drive::kCdRom ||
                                   is_root_type(GETDRIVETYPE(prefix + "\\"));
        if (listed) drives.push_back(prefix);
    }
    return drives;
}

std::string CURPATH(const std::string& drive_letter) {
    // A drive's own current directory is what its bare prefix stands for.
    std::string here = drive_letter.empty() ? runtime::current_folder()
                                            : FULLNAME(std::string{drive_letter[0], ':'});
    std::string directory = serial::directory_of(here);
    return directory.empty() ? "\\" : "\\" + directory + "\\";
}

std::string FULLPATH(const std::string& file) {
    std::string full = FULLNAME(file);
    std::string holder = full.substr(0, std::min(full.rfind('\\'), full.size()));
    // What is left of a file at the root is its drive, or nothing without one.
    if (holder.size() == runtime::split_path(holder).drive.size()) holder += '\\';
    return holder;
}

}  // namespace kelv
