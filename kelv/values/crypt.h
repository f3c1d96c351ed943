// The keyless scrambling applied to stored passwords: one routine scrambles and
// unscrambles.
#pragma once

#include "runtime/value.h"

namespace kelv {

// An empty value is returned unchanged. A text has the top bit of every byte flipped. A
// number n of k characters of plain text (sign and decimal point included) becomes the
// number of k nines minus n. Any other value is returned unchanged.
runtime::Value CRYPT(const runtime::Value& xValue);

}  // namespace kelv
