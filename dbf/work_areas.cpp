#include "dbf/work_areas.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "runtime/text1252.h"

namespace dbf {
namespace {

// A name in the open request that the engine does not know.
bool refuse_open(int gencode, std::string what, const std::string& file) {
    runtime::raise({.gencode = gencode,
                    .subcode = subcode::kNoSuchName,
                    .subsystem = kSubsystem,
                    .description = std::move(what),
                    .filename = file,
                    .operation = "open"});
    return false;
}

}  // namespace

bool WorkAreas::use(const std::string& file, const UseOptions& options) {
    if (options.new_area) select(0);
    close();
    std::string driver = options.driver.empty() ? default_driver() : options.driver;
    if (!runtime::equals_ignore_case(driver, kDriverName))
        return refuse_open(runtime::gencode::kArgument, "Unknown table driver: " + driver, file);
    if (lock_scheme() != kLockScheme)
        return refuse_open(runtime::gencode::kArgument,
                           "Unknown lock scheme: " + std::to_string(lock_scheme()), file);
    std::string alias =
        runtime::upper(runtime::trim(options.alias.empty() ? base_name(file) : options.alias));
    if (area_of(alias) != 0)
        return refuse_open(runtime::gencode::kOpen, "Alias already in use: " + alias, file);
    std::unique_ptr<Table> t = Table::open(file, {options.shared, options.read_only});
    if (!t) return false;
    slots_[current_] = Slot{std::move(t), alias};
    return true;
}

void WorkAreas::close() {
    auto it = slots_.find(current_);
    if (it == slots_.end()) return;
    std::unique_ptr<Table> t = std::move(it->second.table);
    slots_.erase(it);
    t->close();
}

void WorkAreas::close_all() {
    std::map<int, Slot> all = std::move(slots_);
    slots_.clear();
    for (auto& [area, slot] : all) slot.table->close();
}

int WorkAreas::lowest_free() const {
    int n = 1;
    for (const auto& [area, slot] : slots_) {
        if (area != n) break;
        ++n;
    }
    return n <= kMaxArea ? n : 0;
}

bool WorkAreas::select(int area) {
    if (area == 0) area = lowest_free();
    if (area < 1 || area > kMaxArea) return false;
    current_ = area;
    return true;
}

bool WorkAreas::select(std::string_view text) {
    std::string t = runtime::trim(text);
    if (!t.empty() && t.size() <= 5 && std::all_of(t.begin(), t.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return select(std::stoi(t));
    int area = area_of(t);
    return area != 0 && select(area);
}

int WorkAreas::area_of(std::string_view alias) const {
    std::string want = runtime::upper(runtime::trim(alias));
    for (const auto& [area, slot] : slots_)
        if (slot.alias == want) return area;
    return 0;
}

std::string WorkAreas::alias(int area) const {
    auto it = slots_.find(area);
    return it == slots_.end() ? std::string() : it->second.alias;
}

Table* WorkAreas::table(int area) const {
    auto it = slots_.find(area);
    return it == slots_.end() ? nullptr : it->second.table.get();
}

runtime::FieldResolver::Lookup WorkAreas::field(std::string_view alias, std::string_view name,
                                                runtime::Value& out) {
    Table* t = alias.empty() ? table() : table(area_of(alias));
    if (!t) return Lookup::kNoAlias;
    int pos = t->field_pos(name);
    if (pos == 0) return Lookup::kNoField;
    out = t->get(pos);
    return Lookup::kFound;
}

double WorkAreas::recno() {
    Table* t = table();
    return t ? static_cast<double>(t->recno()) : 0.0;
}

bool WorkAreas::deleted() {
    Table* t = table();
    return t && t->deleted();
}

WorkAreas& work_areas() {
    static WorkAreas areas;
    return areas;
}

}  // namespace dbf
