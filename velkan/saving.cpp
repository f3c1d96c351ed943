#include "kelv/ui/popmsg.h"
#include "runtime/file_case.h"
#include "runtime/frame.h"
#include "runtime/fs.h"
#include "runtime/path.h"
#include "serial/ui_services.h"
#include "serial/current_dir.h"
#include "serial/files.h"
#include "velkan/velkan.h"

namespace velkan {
namespace {

const std::string kFilter = "File TAP (*.tap)|*.tap";
const std::string kTitle = "Salva in";

// The current folder as a full path: drive, backslash, folder; a network path whole.
std::string initial_folder() {
    std::string drive = serial::CURDRIVE();
    return (drive == "\\" ? "" : drive + ":") + "\\" + serial::CURDIR();
}

// A temporary name beside the target, marked by the leading 0x7F that the library's
// start-up removes if a run dies before the rename.
std::string temporary_beside(const std::string& target) {
    return std::string(runtime::split_path(target).location()) + "\x7FSAVE.TMP";
}

// An existing file that may be written where it is: not read-only, not a folder.
bool writable_in_place(const std::string& target) {
    std::uint32_t bits = 0;
    return runtime::file_attributes(target, bits) == 0 &&
           (bits & (runtime::attribute::kReadOnly | runtime::attribute::kDirectory)) == 0;
}

// Writes every byte to a temporary file and only then puts it in the target's place (the
// replacement hands the bytes to the disk first), so that neither a failed write nor a
// power cut destroys an existing file. A folder may refuse new files and still let its
// files be written: then the target is written in place, as a plain write would. The
// temporary file never outlives a failed save.
bool write_whole(const std::string& target, const std::string& bytes) {
    std::string temporary = temporary_beside(target);
    if (serial::MEMOWRIT(temporary, bytes, false) &&
        runtime::replace_file(temporary, target) == 0)
        return true;
    bool created = runtime::file_exists(temporary);
    runtime::remove_file(temporary);
    return !created && writable_in_place(target) && serial::MEMOWRIT(target, bytes, false);
}

}  // namespace

void MESSAGE(winlib::TMultiGet& oLog, const std::string& line) {
    runtime::Frame frame("MESSAGE");
    oLog.VarPut(oLog.VarGet().text() + line + "\r\n");
    oLog.Refresh();
    oLog.GoBottom();
}

void SAVE() {
    runtime::Frame frame("SAVE");
    frame.next_line();
    std::string name = serial::CGETFILE(kFilter, kTitle, {}, initial_folder());
    if (name.empty()) return;
    if (serial::CFILEEXT(name).empty()) name += ".tap";
    std::string on_disk = runtime::apply_file_case(name);
    frame.next_line();
    if (serial::FILE(on_disk) &&
        !kelv::POPMSG("Il file " + name + " gi\xE0 esiste. Lo sovrascrivo?", 2).logical())
        return;
    frame.next_line();
    if (!write_whole(on_disk, tap_image()))
        kelv::POPMSG("Impossibile scrivere il file " + name + ".", 1);
}

}  // namespace velkan
