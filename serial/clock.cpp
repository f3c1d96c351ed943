#include "serial/clock.h"

#include "runtime/date.h"

namespace serial {

double SECONDS() { return runtime::seconds_since_midnight(); }

}  // namespace serial
