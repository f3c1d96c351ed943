// The orders of one table: the index files added to it (in the order they were added) and
// the orders they hold, numbered from 1 across the files (within a file in the file's
// order), with each order's scopes. It listens to the table's record writes
// (record_listener.h) and keeps every order's keys up to date.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbf/index_file.h"
#include "dbf/order.h"
#include "dbf/record_listener.h"

namespace dbf {

// The keys an order's scope keeps: a top and a bottom value, each with its key bytes.
struct Scope {
    runtime::Value top_value, bottom_value;  // nothing: no bound
    std::optional<std::string> top, bottom;
};

class OrderList : public RecordListener {
public:
    // The table's records as stored (in clear), 1..count, for unique orders' upkeep.
    struct Records {
        std::function<std::uint32_t()> count;
        std::function<bool(std::uint32_t, std::string&)> read;
    };

    struct Slot {
        Order order;
        Scope scope;
    };

    explicit OrderList(const Header& header) : header_(header) {}
    void set_records(Records records) { records_ = std::move(records); }
    // The table's controlling order number (0 natural order): kept on the same order when
    // the orders are numbered again.
    void follow_controlling(int& controlling) { controlling_ = &controlling; }

    // The open file with this path (ignoring case), or null.
    IndexFile* file(const std::string& path) const;
    // Takes an opened file and appends its orders; false (after raising) when one of its
    // tags makes no keys for this table (the file is then not added).
    bool add(std::unique_ptr<IndexFile> file);
    // After a tag was added to a file: the orders numbered again, the new one in its
    // file's order; scopes stay with their orders.
    bool refresh() { return renumber(); }
    void clear();
    // Writes what the index files keep; false after raising.
    bool flush();

    int count() const { return static_cast<int>(slots_.size()); }
    // Order n (1..count()).
    Slot& at(int n) { return slots_[static_cast<std::size_t>(n - 1)]; }
    const Slot& at(int n) const { return slots_[static_cast<std::size_t>(n - 1)]; }
    // The number of the order with this tag name (ignoring case); 0 when none.
    int find(std::string_view name) const;
    // The number of the order of a file's tag whose header lies at `header_at`; 0 if none.
    int find_at(const IndexFile& file, std::uint32_t header_at) const;
    // The number of the first order of a file.
    int first_of(const IndexFile& file) const;
    const std::vector<std::unique_ptr<IndexFile>>& files() const { return files_; }

    // RecordListener
    void record_stored(const Table& table, std::uint32_t recno, std::string_view before,
                       std::string_view after) override;
    void records_cleared(const Table& table) override;

private:
    // Orders numbered again from the files' tags, scopes kept by position.
    bool renumber();
    // In a file's bracket: when another process changed the file's tags, the orders are
    // bound and numbered again, so that every tag of the file is kept up to date.
    void follow_tags(const IndexFile& file);
    // A unique order keeps the key of the lowest record that has it, as a build would.
    bool unique_insert(Order& order, const std::string& key, std::uint32_t recno);
    bool unique_remove(Order& order, const std::string& key, std::uint32_t recno);

    const Header& header_;
    std::vector<std::unique_ptr<IndexFile>> files_;
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> tags_bound_;  // each file's tags_version() when bound
    Records records_;
    int* controlling_ = nullptr;
};

}  // namespace dbf
