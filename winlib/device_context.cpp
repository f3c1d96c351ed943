// A device context of memory over the driver's painting calls (device_context.h).
#include "winlib/device_context.h"

namespace winlib {

MemoryDc::MemoryDc(Size size) : dc_(driver::create_memory_dc(size)) {}

MemoryDc::~MemoryDc() { driver::delete_dc(dc_); }

Colour MemoryDc::pixel(int x, int y) const { return driver::pixel(dc_, x, y); }

}  // namespace winlib
