// Checks a table's orders against its records: each tree's shape (cdx_tree.h verify) and
// its keys equal to the keys computed from the records, in order (a unique order: the
// lowest record of each key; a FOR order: the records it lets in). One line per problem;
// none when all hold. Moves the table's current record.
#pragma once

#include <string>
#include <vector>

#include "dbf/table.h"

namespace dbf {

std::vector<std::string> check_orders(Table& table);

}  // namespace dbf
