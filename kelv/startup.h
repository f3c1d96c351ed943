// The bracket around the application: the library start-up runs once before the
// program's entry, the shut-down once after it (also after a quit request).
// (The names carry "_" where the library's own names carry "$", which C++ does not allow.)
#pragma once

namespace kelv {

// Fixes the process-wide settings (table driver, lock scheme, dates, deleted records,
// file-name case), creates the access settings and removes leftover temporary files.
void INIT_();
// Closes all tables (the work areas of the table engine). The removal of the run's
// instance folder comes with the login, which makes it.
void EXIT_();

// Runs start-up, the entry, and shut-down; a quit request ends the entry early. Returns
// the process exit code.
int run_program(void (*entry)());

}  // namespace kelv
