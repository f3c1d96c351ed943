// Checks a table file's length against its header: after the counted records only the
// end byte may follow. One line per problem; none when it holds. Call with the table
// lock held, so that no append is under way.
#pragma once

#include <string>
#include <vector>

#include "dbf/table.h"

namespace dbf {

std::vector<std::string> check_table_end(Table& table);

}  // namespace dbf
