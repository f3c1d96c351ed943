// What an open order (an index of the table) listens to: every record as it goes to the
// file, new or changed, and the emptying of the table. The table calls the listener
// before the bytes are written, from the one place its records reach the file, with the
// record in clear (decrypted), so the order can take the old record's keys out and put
// the new one's in. Called on the user-interface thread, from inside the table's
// operation: a listener reads the record bytes it is given and does not call back into
// the table.
#pragma once

#include <cstdint>
#include <string_view>

namespace dbf {

class Table;

class RecordListener {
public:
    virtual ~RecordListener() = default;
    // Record `recno` goes to the file as `after`; `before` is what it held, empty for a
    // new record.
    virtual void record_stored(const Table& table, std::uint32_t recno, std::string_view before,
                               std::string_view after) = 0;
    // The table was emptied (zap).
    virtual void records_cleared(const Table& table) = 0;
};

}  // namespace dbf
