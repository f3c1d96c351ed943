// The engine's network-error flag: the error handler sets it when it answers an open
// blocked by another process's use, or an append whose lock is refused, with a quiet
// failure; the table functions read it to know they should try again. Every table open
// and every append clears it first, so it always speaks of the latest attempt.
#pragma once

namespace dbf {

bool network_error();
void set_network_error(bool on);

}  // namespace dbf
