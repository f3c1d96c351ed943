#include "dbf/cdx_sort.h"

#include <algorithm>
#include <cstdint>

namespace dbf::cdx {
namespace {

// An entry as the sort moves it: its key's first 8 bytes as one number (so that most
// comparisons are one), its record number and where it lies. The sort moves these small
// records, not the entries with their keys.
struct Ref {
    std::uint64_t head;
    std::uint32_t recno;
    std::uint32_t at;
};

std::uint64_t head_of(const std::string& key) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i)
        head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return head;
}

}  // namespace

void sort_keys(std::vector<Entry>& entries, bool unique) {
    std::vector<Ref> refs(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        refs[i] = Ref{head_of(entries[i].key), entries[i].recno, static_cast<std::uint32_t>(i)};
    std::sort(refs.begin(), refs.end(), [&](const Ref& a, const Ref& b) {
        if (a.head != b.head) return a.head < b.head;
        int c = entries[a.at].key.compare(entries[b.at].key);
        return c != 0 ? c < 0 : a.recno < b.recno;
    });
    // Each entry moved once to its place, following the cycles of the order found: no
    // second copy of the keys.
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i].at == i) continue;
        Entry held = std::move(entries[i]);
        std::size_t j = i;
        while (refs[j].at != i) {
            std::size_t from = refs[j].at;
            entries[j] = std::move(entries[from]);
            refs[j].at = static_cast<std::uint32_t>(j);
            j = from;
        }
        entries[j] = std::move(held);
        refs[j].at = static_cast<std::uint32_t>(j);
    }
    if (unique) {
        auto same_key = [](const Entry& a, const Entry& b) { return a.key == b.key; };
        entries.erase(std::unique(entries.begin(), entries.end(), same_key), entries.end());
    }
}

}  // namespace dbf::cdx
