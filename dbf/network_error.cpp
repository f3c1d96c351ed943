#include "dbf/network_error.h"

namespace dbf {
namespace {

bool flag = false;

}  // namespace

bool network_error() { return flag; }

void set_network_error(bool on) { flag = on; }

}  // namespace dbf
