// The bracket around the application: the library start-up runs once before the
// program's entry, the shut-down once after it (also after a quit request).
// (The names carry "_" where the library's own names carry "$", which C++ does not allow.)
#pragma once

namespace kelv {

// Fixes the process-wide settings (table driver, lock scheme, dates, deleted records,
// file-name case), creates the access settings and removes leftover temporary files.
void INIT_();
// Closes all tables (the work areas of the table engine); after a login (the module
// variables of kelv/tables/module_variables.h) also closes the instance marker file,
// empties and removes the instance folder and, on a network installation (C:\KELV\NET
// exists), deletes the user's settings file. Failures are silent.
void EXIT_();

// The start-up bracket both programs (the transfer tool and the server) run in: the
// error handler's installation (ERRORSYS), the library start-up, the serial layer's link
// to the windows, the entry, and the shut-down, after the entry returns, after a quit
// request (which ends the entry early) and after an abandon that nothing caught. Returns
// the process exit code (the quit request's, else 0).
int run_program(void (*entry)());

}  // namespace kelv
