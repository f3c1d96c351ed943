// Work areas: numbered slots 1..65535, each holding at most one open table under an
// alias, and the current slot that table operations act on. They also answer the
// expression evaluator's questions about fields (alias->field, DELETED(), RECNO()).
// One set serves the process (work_areas()); used by the user-interface thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "dbf/table.h"
#include "runtime/expr.h"

namespace dbf {

class WorkAreas : public runtime::FieldResolver {
public:
    static constexpr int kMaxArea = 65535;

    struct UseOptions {
        bool new_area = true;  // the lowest free slot, else the current one
        std::string driver;    // "" takes the default driver setting
        std::string alias;     // "" takes the file name without folder and extension
        bool shared = true;
        bool read_only = false;
    };

    ~WorkAreas() override = default;

    // Opens a table (closing what the chosen slot held) and makes its slot current. On
    // failure (raised) the slot is left empty and current.
    bool use(const std::string& file, const UseOptions& options);
    bool used() const { return table() != nullptr; }
    void close();
    void close_all();

    // 0 selects the lowest free slot. False (nothing changes) outside 0..65535.
    bool select(int area);
    // A number in text ("0", "3") or an alias; false for an alias no slot has.
    bool select(std::string_view area_or_alias);
    int current() const { return current_; }
    int lowest_free() const;
    // The slot of an alias (ignoring case); 0 when none has it.
    int area_of(std::string_view alias) const;
    // The alias of a slot's table ("" for an empty slot).
    std::string alias(int area) const;
    std::string alias() const { return alias(current_); }

    Table* table() const { return table(current_); }
    Table* table(int area) const;

    // runtime::FieldResolver
    Lookup field(std::string_view alias, std::string_view name, runtime::Value& out) override;
    double recno() override;
    bool deleted() override;

private:
    struct Slot {
        std::unique_ptr<Table> table;
        std::string alias;
    };
    std::map<int, Slot> slots_;
    int current_ = 1;
};

// The process's work areas.
WorkAreas& work_areas();

}  // namespace dbf
