// The keys of a whole order in their order, as a build writes them and a check expects
// them: sorted as keys order (unsigned bytes, then record number), and for a unique order
// only the first record of each key.
#pragma once

#include <vector>

#include "dbf/cdx_node.h"

namespace dbf::cdx {

void sort_keys(std::vector<Entry>& entries, bool unique);

}  // namespace dbf::cdx
