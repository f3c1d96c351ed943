// The handler's rows; the first that matches decides:
//
// | row | condition                              | message (kind 1)                          | answer            |
// |-----|----------------------------------------|-------------------------------------------|-------------------|
// | 1   | OS code 21 (not ready)                 | "Disco " FILE " non pronto."              | abandon           |
// | 2   | OS code 27 or 31 (sector, device)      | "Disco " FILE " non formattato."          | abandon           |
// | 3   | OS code 19 (write-protected)           | "Disco " FILE " protetto da scrittura."   | abandon           |
// | 4   | OS code 82 (directory full)            | "Directory " FILE " piena."               | abandon           |
// | 5   | subsystem code 2016 (disk full)        | "Spazio sul disco " FILE " insufficiente."| abandon           |
// | 6   | OS code 5 (access denied)              | "Impossibile accedere al file " FILE "."  | abandon           |
// | 7   | OS code 3 (path not found)             | "Percorso " FILE " non trovato."          | abandon           |
// | 8   | OS code 2 (file not found)             | "Impossibile aprire il file " FILE "."    | abandon           |
// | 9   | subsystem code 1012 or general code 32 | "Il file " FILE " risulta corrotto."      | abandon           |
// | 10  | general code 1001 (automation object)  | the full description                      | abandon           |
// | 11  | general code 5 (division by zero)      | none                                      | 0                 |
// | 12  | general 21, OS 32 and CANDEFAULT       | none                                      | network flag, false |
// | 13  | general 40 and CANDEFAULT              | none                                      | network flag, false |
// | 14  | anything else                          | full description, mail question           | program ends      |
//
// FILE is the error's file name upper-cased (a-z only); pieces are joined as they are, so
// a missing name leaves two blanks side by side.
#include <optional>
#include <string>

#include "dbf/network_error.h"
#include "kelv/errorsys/errorsys.h"
#include "kelv/tables/system_lock.h"
#include "kelv/ui/popmsg.h"
#include "runtime/frame.h"
#include "runtime/fs.h"
#include "runtime/text1252.h"
#include "winlib/messages.h"
#include "winlib/services.h"

namespace kelv {
namespace {

using runtime::Error;
using runtime::Value;
namespace gen = runtime::gencode;

// The codes the rows test beyond the seams' own list (runtime/fs.h).
namespace os {
constexpr int kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5, kWriteProtect = 19,
              kNotReady = 21, kSectorNotFound = 27, kGenFailure = 31, kSharingViolation = 32,
              kCannotMake = 82;
}
constexpr int kSubCorrupt = 1012;
constexpr int kSubDiskFull = 2016;

// The sentence of rows 1 to 9, or nothing when none of them matches.
std::optional<std::string> disk_or_file_sentence(const Error& e) {
    const std::string file = runtime::upper(e.filename);
    const int os = e.oscode;
    if (os == os::kNotReady) return "Disco " + file + " non pronto.";
    if (os == os::kSectorNotFound || os == os::kGenFailure) return "Disco " + file + " non formattato.";
    if (os == os::kWriteProtect) return "Disco " + file + " protetto da scrittura.";
    if (os == os::kCannotMake) return "Directory " + file + " piena.";
    if (e.subcode == kSubDiskFull) return "Spazio sul disco " + file + " insufficiente.";
    if (os == os::kAccessDenied) return "Impossibile accedere al file " + file + ".";
    if (os == os::kPathNotFound) return "Percorso " + file + " non trovato.";
    if (os == os::kFileNotFound) return "Impossibile aprire il file " + file + ".";
    if (e.subcode == kSubCorrupt || e.gencode == gen::kCorruption)
        return "Il file " + file + " risulta corrotto.";
    return std::nullopt;
}

// Tells the user, the system lock released first so that the message left on screen
// keeps no other workstation waiting, then abandons the failing operation.
[[noreturn]] void explain_and_abandon(const std::string& message) {
    SUNLOCK();
    POPMSG(message, 1);
    throw runtime::Break{};
}

// Row 14: the description, the offer to mail it, and the end of the program. The exit
// code is 1: whatever started the program (a script, a service restarting the server)
// must not take a fatal error for success.
[[noreturn]] void end_with_report(const Error& e) {
    constexpr int kFatalExitCode = 1;
    SUNLOCK();
    const std::string m = ERRORMESSAGE(e);
    if (POPMSG(m + ";;Inviare rapporto di errore via email?", 2).logical())
        winlib::shell_open(error_report_address(m, runtime::program_path()));
    winlib::post_quit(kFatalExitCode);
    throw runtime::Quit{kFatalExitCode};
}

}  // namespace

void ERRORSYS() { runtime::install_error_handler(DEFERROR); }

Value DEFERROR(const Error& oError) {
    runtime::Frame self("DEFERROR", runtime::Frame::NoLines{});
    if (std::optional<std::string> sentence = disk_or_file_sentence(oError))
        explain_and_abandon(*sentence);
    if (oError.gencode == gen::kOle) explain_and_abandon(ERRORMESSAGE(oError));
    if (oError.gencode == gen::kZeroDivide) return 0;
    if ((oError.gencode == gen::kOpen && oError.oscode == os::kSharingViolation &&
         oError.candefault) ||
        (oError.gencode == gen::kAppendLock && oError.candefault)) {
        dbf::set_network_error(true);
        return false;
    }
    end_with_report(oError);
}

}  // namespace kelv
