// Rebuilds an index file from the expressions its tags keep: a new file is built beside
// the old one and takes its place only once complete, so a failure leaves the old file as
// it was. The table's orders are closed; it should be held by its table lock (or
// opened exclusively) while this runs. False after raising.
#pragma once

#include <string>

#include "dbf/table.h"

namespace dbf {

bool reindex(Table& table, const std::string& index_path);

}  // namespace dbf
