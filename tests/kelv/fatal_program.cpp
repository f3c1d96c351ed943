// A program that meets a fatal error inside a function with line numbers, run in the
// library's start-up bracket as the transfer tool is; the end-to-end test of the error
// report works it as a user.
//
//   kelv_fatal_program INSTANCE_FOLDER [DESCRIPTION]
//
// It first takes the state a login leaves (a user and the instance folder, a Windows
// path the test has made), so that the shut-down has something to tidy that the test can
// see. Without a description the error is a number added to a text, from the runtime's
// own value operations; with one, an argument error of that description is raised.
#include <string>

#include "kelv/tables/module_variables.h"
#include "kelv/ui/startup.h"
#include "runtime/error.h"
#include "runtime/expr.h"
#include "runtime/frame.h"

namespace {

std::string instance_folder;
const char* description = nullptr;

void REPORTER() {
    runtime::Frame frame("REPORTER");
    kelv::cCurrentUser = "TESTER  ";
    kelv::cTempFolder = instance_folder + "\\";
    if (!description) {
        frame.next_line();
        runtime::evaluate_text("1 + \"a\"", nullptr);  // the number-and-text statement
    } else {
        runtime::Error e;
        e.gencode = runtime::gencode::kArgument;
        e.subsystem = "BASE";
        e.description = description;
        frame.next_line();
        runtime::raise(e);  // the described statement
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    instance_folder = argv[1];
    if (argc > 2) description = argv[2];
    return kelv::run_program(REPORTER);
}
