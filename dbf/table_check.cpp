#include "dbf/table_check.h"

#include <cstdio>

#include "dbf/file_io.h"
#include "dbf/header.h"

namespace dbf {

std::vector<std::string> check_table_end(Table& table) {
    std::string name = table.path() + ": ";
    File file;
    std::uint64_t size = 0;
    int e = file.open(table.path(), File::Access::kRead, File::Share::kShared);
    if (!e) e = file.size(size);
    if (e) return {name + "cannot be read (system error " + std::to_string(e) + ")"};
    std::uint32_t count = table.reccount();
    const Header& h = table.header();
    std::uint64_t counted = h.header_length + std::uint64_t{count} * h.record_length;
    // Nothing past the records is fine too: some writers leave out the end byte. A file
    // shorter than its count is refused when the table opens.
    if (size <= counted) return {};
    char end = 0;
    std::size_t got = 0;
    e = file.read_at(counted, &end, 1, got);
    if (e || got != 1) return {name + "cannot be read (system error " + std::to_string(e) + ")"};
    if (size == counted + 1 && static_cast<unsigned char>(end) == kEndOfFile) return {};
    char first[8];
    std::snprintf(first, sizeof first, "0x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(end)));
    return {name + std::to_string(size - counted) + " bytes after record " + std::to_string(count) +
            " where only the end byte belongs (first " + first + ")"};
}

}  // namespace dbf
