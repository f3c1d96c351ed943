#include <string>

#include "kelv/errorsys/errorsys.h"
#include "runtime/frame.h"

namespace kelv {
namespace {

// The innermost frame with a line number, starting from the builder's own frame (one
// further out for the table commands' subsystem); none when no frame carries one.
const runtime::Frame* reported_frame(const runtime::Error& e) {
    const runtime::Frame* frame = runtime::Frame::innermost();
    if (frame && e.subsystem && e.subsystem->starts_with("DBCMD")) frame = frame->outer();
    while (frame && frame->line() == 0) frame = frame->outer();
    return frame;
}

}  // namespace

std::string ERRORMESSAGE(const runtime::Error& oError) {
    runtime::Frame self("ERRORMESSAGE", runtime::Frame::NoLines{});
    std::string m = oError.severity > 1 ? "Error " : "Warning ";
    m += oError.subsystem.value_or("???");
    m += oError.subcode ? "/" + std::to_string(*oError.subcode) : "/???";
    if (oError.description) m += "  " + *oError.description;
    if (!oError.filename.empty()) m += ": " + oError.filename;
    else if (!oError.operation.empty()) m += ": " + oError.operation;
    const runtime::Frame* frame = reported_frame(oError);
    m += ";Function: ";
    m += frame ? frame->name() : "";
    m += "  Line: " + std::to_string(frame ? frame->line() : 0);
    return m;
}

}  // namespace kelv
