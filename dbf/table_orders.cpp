// The table's orders: adding and making index files, choosing the controlling order,
// navigation in its order (top, bottom, skip, seek, scopes, key count) and locate.
// Sections: helpers; adding and making orders; choosing; navigation; seek, scopes, count.
#include <algorithm>

#include "dbf/cdx_sort.h"
#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "dbf/table.h"
#include "runtime/file_case.h"
#include "runtime/text1252.h"

namespace dbf {

using cdx::Entry;
using runtime::Value;

namespace {

// The entries of the order between its scopes: a key's first bytes compared with each
// bound. In a descending order the top is the larger bound.
struct Range {
    const std::optional<std::string>* low;
    const std::optional<std::string>* high;
};

Range range_of(const OrderList::Slot& slot) {
    bool down = slot.order.tag().descending;
    return down ? Range{&slot.scope.bottom, &slot.scope.top}
                : Range{&slot.scope.top, &slot.scope.bottom};
}

bool above_high(const Range& r, const std::string& key) {
    return *r.high && key.compare(0, (*r.high)->size(), **r.high) > 0;
}
bool below_low(const Range& r, const std::string& key) {
    return *r.low && key.compare(0, (*r.low)->size(), **r.low) < 0;
}

// Past every entry whose key begins with `prefix`.
Entry past_prefix(const std::string& prefix, std::size_t key_length) {
    std::string key = prefix;
    key.resize(std::max(key_length, prefix.size()), '\xFF');
    return Entry{key, 0xFFFFFFFFu, 0};
}

Entry just_after(const Entry& e) {
    if (e.recno == 0xFFFFFFFFu) return Entry{e.key + '\0', 0, 0};
    return Entry{e.key, e.recno + 1, 0};
}

// Lookups in the order's direction and within its scopes; each in its own bracket.
class Walk {
public:
    explicit Walk(OrderList::Slot& slot)
        : slot_(slot), range_(range_of(slot)), down_(slot.order.tag().descending) {}

    bool first(std::optional<Entry>& out) { return ends(!down_, out); }
    bool last(std::optional<Entry>& out) { return ends(down_, out); }
    bool next(const Entry& from, std::optional<Entry>& out) { return step(from, !down_, out); }
    bool prev(const Entry& from, std::optional<Entry>& out) { return step(from, down_, out); }

    bool in_range(const Entry& e) const {
        return !below_low(range_, e.key) && !above_high(range_, e.key);
    }

private:
    // The lowest (or highest) entry of the range.
    bool ends(bool lowest, std::optional<Entry>& out) {
        IndexFile::Access access(slot_.order.file(), false);
        if (!access.ok()) return false;
        CdxTree tree = slot_.order.tree();
        bool ok = lowest ? (*range_.low ? tree.at_or_after(Entry{**range_.low, 0, 0}, out)
                                        : tree.first(out))
                         : (*range_.high ? tree.before(past_prefix(**range_.high,
                                                                   tree.key_length()),
                                                       out)
                                         : tree.last(out));
        if (ok && out && !in_range(*out)) out.reset();
        return ok;
    }
    bool step(const Entry& from, bool upwards, std::optional<Entry>& out) {
        IndexFile::Access access(slot_.order.file(), false);
        if (!access.ok()) return false;
        CdxTree tree = slot_.order.tree();
        bool ok = upwards ? tree.at_or_after(just_after(from), out) : tree.before(from, out);
        if (ok && out && !in_range(*out)) out.reset();
        return ok;
    }

    OrderList::Slot& slot_;
    Range range_;
    bool down_;
};

bool raise_bad_order(const std::string& what, const std::string& file, const char* operation) {
    runtime::raise({.gencode = runtime::gencode::kArgument,
                    .subcode = subcode::kBadOrder,
                    .subsystem = kSubsystem,
                    .description = what,
                    .filename = file,
                    .operation = operation});
    return false;
}

std::string index_path(const std::string& path) {
    return full_path(runtime::apply_file_case(with_default_extension(path, ".CDX")));
}

}  // namespace

bool Table::raise_order(const std::string& what, const char* operation) {
    return raise_bad_order(what, path_, operation);
}

// ---- adding and making orders --------------------------------------------------------

bool Table::order_add(const std::string& path) {
    std::string file = index_path(path);
    if (orders_.file(file)) return true;
    if (!store_record()) return false;
    std::unique_ptr<IndexFile> index =
        IndexFile::open(file, {.shared = options_.shared, .read_only = options_.read_only});
    if (!index) return false;
    IndexFile& added = *index;
    if (!orders_.add(std::move(index))) return false;
    if (controlling_ == 0) controlling_ = orders_.first_of(added);
    return true;
}

bool Table::order_create(const std::string& path, const std::string& tag, const std::string& key,
                         const OrderCondition& condition) {
    std::string file = index_path(path);
    if (options_.read_only) {
        runtime::raise({.gencode = runtime::gencode::kReadOnly,
                        .subcode = subcode::kReadOnly,
                        .subsystem = kSubsystem,
                        .description = "Table is read-only",
                        .filename = path_,
                        .operation = "order"});
        return false;
    }
    if (!store_record() || !refresh_count()) return false;
    auto probed = Order::probe(key, header_, file);
    if (!probed) return false;
    IndexFile* index = orders_.file(file);
    if (!index) {
        IndexFile::Options how{.shared = options_.shared, .read_only = false};
        std::unique_ptr<IndexFile> made =
            file_exists(file) ? IndexFile::open(file, how) : IndexFile::create(file, how);
        if (!made) return false;
        index = made.get();
        if (!orders_.add(std::move(made))) return false;
    }
    TagInfo info;
    info.name = runtime::upper(runtime::trim(tag.empty() ? base_name(file) : tag));
    info.name.resize(std::min(info.name.size(), cdx::kTagNameLength));
    info.key_length = probed->second;
    info.key_text = key;
    info.for_text = condition.for_text;
    if (condition.unique) info.options |= cdx::kOptionUnique;
    if (!info.for_text.empty()) info.options |= cdx::kOptionFor;
    std::optional<Order> order = Order::bind(*index, info, header_);
    if (!order) return false;

    // The keys of the records the build takes, in order.
    std::vector<Entry> entries;
    entries.reserve(header_.count);
    auto take = [&]() {
        if (condition.for_block.is_callback()) {
            Value keep = condition.for_block.call();
            if (!keep.is_logical() || !keep.logical()) return;
        }
        if (auto k = order->key_of(header_, record_, recno_)) entries.push_back({*k, recno_, 0});
    };
    if (condition.use_current && controlling_) {
        for (bool ok = go_top(); ok && !eof_; ok = skip(1)) take();
    } else {
        for (std::uint32_t n = 1; n <= header_.count; ++n)
            if (load(n)) take();
    }
    cdx::sort_keys(entries, info.unique());
    {
        IndexFile::Access access(*index, true);
        if (!access.ok() || !index->add_tag(info)) return false;
        if (!CdxTree(*index, info.root, info.key_length, key_pad(probed->first)).build(entries))
            return false;
    }
    orders_.refresh();
    controlling_ = orders_.find_at(*index, info.header_at);
    return go_top();
}

void Table::order_clear() {
    store_record();
    orders_.clear();
    controlling_ = 0;
}

// ---- choosing ------------------------------------------------------------------------

bool Table::set_order(int n) {
    if (n < 0 || n > orders_.count()) return false;
    if (!store_record()) return false;
    controlling_ = n;
    return true;
}

bool Table::set_order(std::string_view name) {
    if (runtime::trim(name).empty()) return set_order(0);
    int n = orders_.find(name);
    return n != 0 && set_order(n);
}

OrderInfo Table::order_info(int n) const {
    if (n == 0) n = controlling_;
    if (n < 1 || n > orders_.count()) return {};
    const OrderList::Slot& slot = orders_.at(n);
    const TagInfo& tag = slot.order.tag();
    return OrderInfo{.name = tag.name,
                     .key = tag.key_text,
                     .condition = tag.for_text,
                     .file = slot.order.file().path(),
                     .unique = tag.unique(),
                     .descending = tag.descending};
}

// ---- navigation ----------------------------------------------------------------------

bool Table::settle_forward(std::optional<Entry> at) {
    Walk walk(orders_.at(controlling_));
    while (at) {
        if (at->recno >= 1 && at->recno <= header_.count && visible(at->recno)) return true;
        Entry from = *at;
        if (!walk.next(from, at)) return false;
    }
    load_phantom();
    return true;
}

bool Table::settle_backward(std::optional<Entry> at) {
    Walk walk(orders_.at(controlling_));
    while (at) {
        if (at->recno >= 1 && at->recno <= header_.count && visible(at->recno)) return true;
        Entry from = *at;
        if (!walk.prev(from, at)) return false;
    }
    load_phantom();
    return true;
}

bool Table::order_top() {
    bof_ = false;
    std::optional<Entry> at;
    if (!Walk(orders_.at(controlling_)).first(at) || !settle_forward(at)) return false;
    bof_ = eof_;
    return true;
}

bool Table::order_bottom() {
    bof_ = false;
    std::optional<Entry> at;
    if (!Walk(orders_.at(controlling_)).last(at) || !settle_backward(at)) return false;
    bof_ = eof_;
    return true;
}

bool Table::order_skip(long n) {
    Order& order = orders_.at(controlling_).order;
    Walk walk(orders_.at(controlling_));
    // Where the current record stands in the order: its key as the record holds it.
    std::optional<Entry> here;
    if (!eof_) {
        std::optional<std::string> key = order.key_of(header_, record_, recno_);
        if (key) here = Entry{*key, recno_, 0};
    }
    for (long step = 0; step < n; ++step) {
        std::optional<Entry> next;
        if (here ? !walk.next(*here, next) : !walk.first(next)) return false;
        if (!here && eof_) next.reset();  // at the end, forwards stays there
        if (!settle_forward(next)) return false;
        if (eof_) return true;
        here = Entry{order.key_of(header_, record_, recno_).value_or(std::string()), recno_, 0};
    }
    for (long step = 0; step > n; --step) {
        std::optional<Entry> prev;
        if (here ? !walk.prev(*here, prev) : !walk.last(prev)) return false;
        if (!settle_backward(prev)) return false;
        if (eof_) {
            bool ok = order_top();
            bof_ = true;
            return ok;
        }
        std::optional<std::string> key = order.key_of(header_, record_, recno_);
        here = Entry{key.value_or(std::string()), recno_, 0};
    }
    return true;
}

// ---- seek, scopes, count, locate -----------------------------------------------------

bool Table::seek(const Value& key, bool soft) {
    found_ = false;
    if (!store_record() || !refresh_count()) return false;
    if (!controlling_) return raise_order("No controlling order", "seek");
    OrderList::Slot& slot = orders_.at(controlling_);
    std::optional<std::string> bytes = slot.order.seek_key(key);
    if (!bytes) return raise_order("Seek value of the wrong type", "seek");
    bof_ = false;
    Walk walk(slot);
    std::optional<Entry> at;
    {
        IndexFile::Access access(slot.order.file(), false);
        if (!access.ok()) return false;
        CdxTree tree = slot.order.tree();
        bool ok = slot.order.tag().descending
                      ? tree.before(past_prefix(*bytes, tree.key_length()), at)
                      : tree.at_or_after(Entry{*bytes, 0, 0}, at);
        if (!ok) return false;
    }
    // Before the scope's start: the start; past its end: nothing.
    if (at && !walk.in_range(*at)) {
        Range r = range_of(slot);
        bool before_start = slot.order.tag().descending ? above_high(r, at->key)
                                                         : below_low(r, at->key);
        at.reset();
        if (before_start && !walk.first(at)) return false;
    }
    if (!settle_forward(at)) return false;
    if (!eof_) {
        std::optional<std::string> here = slot.order.key_of(header_, record_, recno_);
        found_ = here && here->compare(0, bytes->size(), *bytes) == 0;
    }
    if (!found_ && !soft) load_phantom();
    return true;
}

bool Table::set_scope(Bound bound, const Value& value) {
    if (!controlling_) return raise_order("No controlling order", "scope");
    Scope& scope = orders_.at(controlling_).scope;
    std::optional<std::string> bytes;
    if (!value.is_nothing()) {
        bytes = orders_.at(controlling_).order.seek_key(value);
        if (!bytes) return raise_order("Scope value of the wrong type", "scope");
    }
    (bound == Bound::kTop ? scope.top : scope.bottom) = bytes;
    (bound == Bound::kTop ? scope.top_value : scope.bottom_value) = value;
    return true;
}

Value Table::scope(Bound bound) const {
    if (!controlling_) return Value();
    const Scope& scope = orders_.at(controlling_).scope;
    return bound == Bound::kTop ? scope.top_value : scope.bottom_value;
}

long Table::key_count() {
    if (!store_record()) return 0;
    if (!controlling_) return static_cast<long>(reccount());
    OrderList::Slot& slot = orders_.at(controlling_);
    Range r = range_of(slot);
    IndexFile::Access access(slot.order.file(), false);
    if (!access.ok()) return 0;
    long n = 0;
    Entry from{*r.low ? **r.low : std::string(), 0, 0};
    slot.order.tree().scan(from, [&](const Entry& e) {
        if (above_high(r, e.key)) return false;
        ++n;
        return true;
    });
    return n;
}

bool Table::locate(std::string_view condition, bool from_top) {
    found_ = false;
    runtime::Error error;
    std::optional<runtime::Expression> test = runtime::Expression::compile(condition, error);
    if (!test) {
        runtime::raise(error);
        return false;
    }
    if (from_top ? !go_top() : !skip(0)) return false;
    for (bool ok = true; ok && !eof_; ok = skip(1)) {
        RecordFields fields(header_, record_, recno_);
        Value v = test->evaluate(&fields);
        if (v.is_logical() && v.logical()) {
            found_ = true;
            return true;
        }
    }
    return true;
}

}  // namespace dbf
