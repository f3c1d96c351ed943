#include "kelv/win32api/primitives.h"

#include "runtime/fs.h"
#include "serial/ui_services.h"

namespace kelv {

bool COPYFILE(const std::string& source, const std::string& target) {
    return runtime::copy_file(source, target, [] { serial::SYSREFRESH(); }) == 0;
}

bool MOVEFILE(const std::string& old_name, const std::string& new_name) {
    return runtime::move_file(old_name, new_name) == 0;
}

bool DELETEFILE(const std::string& file) { return runtime::remove_file(file) == 0; }

bool CREATEDIR(const std::string& directory) { return runtime::create_folder(directory) == 0; }

bool REMOVEDIR(const std::string& directory) { return runtime::remove_folder(directory) == 0; }

bool SETCURDIR(const std::string& directory) {
    return runtime::set_current_folder(directory) == 0;
}

std::int32_t GETFILEATTRIBUTES(const std::string& path) {
    std::uint32_t bits = 0;
    return runtime::file_attributes(path, bits) == 0 ? static_cast<std::int32_t>(bits) : -1;
}

bool SETFILEATTRIBUTES(const std::string& path, std::uint32_t bits) {
    return runtime::set_file_attributes(path, bits) == 0;
}

bool SETFILEDATETIME(const std::string& source, const std::string& target) {
    runtime::FileTime written = 0;
    return runtime::last_write_time(source, written) == 0 &&
           runtime::set_last_write_time(target, written) == 0;
}

std::string FULLNAME(const std::string& name) { return runtime::full_name(name); }

int GETDRIVETYPE(const std::string& root) { return runtime::drive_type(root); }

std::uint64_t DISKFREESPACE(const std::string& path) {
    std::uint64_t bytes = 0;
    return runtime::free_space(path, bytes) == 0 ? bytes : 0;
}

}  // namespace kelv
