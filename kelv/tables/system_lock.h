// The system lock: one record of the tiny shared table NET that one workstation at a time
// may hold. The error handler and the disk and file checks release it before they speak
// to the user, so that a message left on screen never keeps the other workstations
// waiting.
#pragma once

namespace kelv {

// Releases the system lock when this process holds it. Until a user has logged in
// (users and login) no process holds it, and this does nothing.
void SUNLOCK();

}  // namespace kelv
