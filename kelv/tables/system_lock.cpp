#include "kelv/tables/system_lock.h"

namespace kelv {

// No user logs in yet, so the lock is never taken; login gives this its table to close.
void SUNLOCK() {}

}  // namespace kelv
