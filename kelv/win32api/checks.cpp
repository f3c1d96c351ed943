#include "kelv/win32api/checks.h"

#include "kelv/tables/system_lock.h"
#include "kelv/ui/popmsg.h"
#include "kelv/win32api/locations.h"
#include "kelv/win32api/primitives.h"
#include "runtime/error.h"
#include "runtime/fs.h"

namespace kelv {
namespace {

// Eight marks, a full stop, three marks: a name no user file has, and one the start-up
// clean-up recognises as the library's (the leading 0x7F).
const std::string kWriteTestName = std::string(8, '\x7F') + "." + std::string(3, '\x7F');

bool refuse(const std::string& text) {
    SUNLOCK();
    POPMSG(text, 1);
    return true;
}

}  // namespace

bool ISREADY(const std::string& drive_prefix, bool show_message) {
    std::string saved = runtime::current_folder();
    if (SETCURDIR(drive_prefix + ".")) {
        SETCURDIR(saved);
        return true;
    }
    SUNLOCK();
    if (show_message) POPMSG("Disco non pronto.", 1);
    return false;
}

bool ISPROTECTED(const std::string& drive_prefix) {
    if (!ISREADY(drive_prefix)) return true;
    std::string name = drive_prefix + kWriteTestName;
    runtime::FileHandle file = runtime::kNoFile;
    if (runtime::open_file(name, runtime::Access::kWrite, runtime::Share::kShared,
                           runtime::Disposition::kCreateAlways, file) != 0)
        return refuse("Disco protetto da scrittura.");
    runtime::close_file(file);
    DELETEFILE(name);
    return false;
}

bool ISREADONLY(const std::string& file) {
    runtime::FileHandle handle = runtime::kNoFile;
    int code = runtime::open_file(file, runtime::Access::kWrite, runtime::Share::kShared,
                                  runtime::Disposition::kOpenExisting, handle);
    if (code == runtime::oscode::kAccessDenied) return refuse("File non accessibile.");
    if (code == 0) runtime::close_file(handle);
    return false;
}

void DELFILE(const std::string& file) {
    std::string drive = file.size() >= 2 && file[1] == ':' ? file.substr(0, 2)
                                                           : current_drive_prefix();
    if (ISPROTECTED(drive) || ISREADONLY(file)) throw runtime::Break{};
    DELETEFILE(file);
}

}  // namespace kelv
