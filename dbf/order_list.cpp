#include "dbf/order_list.h"

#include <algorithm>

#include "runtime/text1252.h"

namespace dbf {

bool OrderList::unique_insert(Order& order, const std::string& key, std::uint32_t recno) {
    CdxTree tree = order.tree();
    std::optional<cdx::Entry> there;
    if (!tree.at_or_after(cdx::Entry{key, 0, 0}, there)) return false;
    if (there && there->key == key) {
        if (there->recno < recno) return true;
        bool found = false;
        if (!tree.remove(*there, found)) return false;
    }
    return tree.insert(cdx::Entry{key, recno, 0});
}

// When the record holding the key lets go of it, the next record with that key (if
// any) takes it: found by reading the table, which only unique orders need.
bool OrderList::unique_remove(Order& order, const std::string& key, std::uint32_t recno) {
    CdxTree tree = order.tree();
    bool found = false;
    if (!tree.remove(cdx::Entry{key, recno, 0}, found)) return false;
    if (!found || !records_.read) return true;
    std::string record;
    for (std::uint32_t n = 1, count = records_.count(); n <= count; ++n) {
        if (n == recno || !records_.read(n, record)) continue;
        if (order.key_of(header_, record, n) == key) return tree.insert(cdx::Entry{key, n, 0});
    }
    return true;
}

IndexFile* OrderList::file(const std::string& path) const {
    std::string want = runtime::upper(path);
    for (const auto& f : files_)
        if (runtime::upper(f->path()) == want) return f.get();
    return nullptr;
}

bool OrderList::add(std::unique_ptr<IndexFile> file) {
    files_.push_back(std::move(file));
    if (renumber()) return true;
    files_.pop_back();
    renumber();
    return false;
}

bool OrderList::flush() {
    bool ok = true;
    for (const auto& f : files_) ok = f->flush() && ok;
    return ok;
}

void OrderList::clear() {
    slots_.clear();
    files_.clear();
    tags_bound_.clear();
}

bool OrderList::renumber() {
    // The controlling order found again by its place in its file, or by its name there
    // when another process replaced it; the natural order when it is gone.
    const Slot* was = controlling_ && *controlling_ > 0 && *controlling_ <= count()
                          ? &at(*controlling_)
                          : nullptr;
    const IndexFile* was_file = was ? &was->order.file() : nullptr;
    std::uint32_t was_at = was ? was->order.tag().header_at : 0;
    std::string was_name = was ? was->order.tag().name : std::string();
    std::vector<Slot> slots;
    tags_bound_.clear();
    bool ok = true;
    for (const auto& f : files_) {
        tags_bound_.push_back(f->tags_version());
        for (const TagInfo& tag : f->tags()) {
            std::optional<Order> order = Order::bind(*f, tag, header_);
            if (!order) {
                ok = false;
                continue;
            }
            Slot slot{std::move(*order), Scope{}};
            // An order that was there keeps its scopes.
            for (Slot& old : slots_)
                if (&old.order.file() == f.get() && old.order.tag().header_at == tag.header_at)
                    slot.scope = old.scope;
            slots.push_back(std::move(slot));
        }
    }
    slots_ = std::move(slots);
    if (was_file) {
        int n = find_at(*was_file, was_at);
        for (int i = 1; n == 0 && i <= count(); ++i)
            if (&at(i).order.file() == was_file && at(i).order.tag().name == was_name) n = i;
        *controlling_ = n;
    }
    return ok;
}

void OrderList::follow_tags(const IndexFile& file) {
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (files_[i].get() == &file && tags_bound_[i] != file.tags_version()) {
            renumber();
            return;
        }
}

int OrderList::find(std::string_view name) const {
    std::string want = runtime::upper(runtime::trim(name));
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].order.tag().name == want) return static_cast<int>(i + 1);
    return 0;
}

int OrderList::find_at(const IndexFile& file, std::uint32_t header_at) const {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (&slots_[i].order.file() == &file && slots_[i].order.tag().header_at == header_at)
            return static_cast<int>(i + 1);
    return 0;
}

int OrderList::first_of(const IndexFile& file) const {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (&slots_[i].order.file() == &file) return static_cast<int>(i + 1);
    return 0;
}

void OrderList::record_stored(const Table&, std::uint32_t recno, std::string_view before,
                              std::string_view after) {
    // One bracket per file: its lock is taken once for all of its orders.
    for (const auto& f : files_) {
        IndexFile::Access access(*f, true);
        if (!access.ok()) continue;
        follow_tags(*f);
        for (Slot& slot : slots_) {
            if (&slot.order.file() != f.get()) continue;
            Order& order = slot.order;
            std::optional<std::string> old_key;
            if (!before.empty()) old_key = order.key_of(header_, before, recno);
            std::optional<std::string> new_key = order.key_of(header_, after, recno);
            if (old_key == new_key) continue;
            bool found = false;
            if (order.tag().unique()) {
                if (old_key && !unique_remove(order, *old_key, recno)) continue;
                if (new_key) unique_insert(order, *new_key, recno);
            } else {
                if (old_key && !order.tree().remove(cdx::Entry{*old_key, recno, 0}, found))
                    continue;
                if (new_key) order.tree().insert(cdx::Entry{*new_key, recno, 0});
            }
        }
    }
}

void OrderList::records_cleared(const Table&) {
    for (const auto& f : files_) {
        IndexFile::Access access(*f, true);
        if (!access.ok()) continue;
        follow_tags(*f);
        for (Slot& slot : slots_)
            if (&slot.order.file() == f.get()) slot.order.tree().clear();
    }
}

}  // namespace dbf
