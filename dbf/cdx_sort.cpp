#include "dbf/cdx_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace dbf::cdx {
namespace {

// An entry as the sort moves it: its key's first 8 bytes as one number (the radix sort's
// digits; only entries with the same head compare whole keys), its record number and
// where it lies. The sort moves these small records, not the entries with their keys.
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

// The references in order of their heads: a radix sort, one pass per byte of the head
// from the last, skipping the bytes every key shares (a common prefix, trailing blanks).
void sort_by_head(std::vector<Ref>& refs) {
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const Ref& r : refs)
        for (int b = 0; b < 8; ++b) ++counts[b][(r.head >> (8 * b)) & 0xFF];
    std::vector<Ref> spare(refs.size());
    for (int b = 0; b < 8; ++b) {
        std::array<std::uint32_t, 256>& count = counts[b];
        if (count[(refs.front().head >> (8 * b)) & 0xFF] == refs.size()) continue;
        std::uint32_t at = 0;
        for (std::uint32_t& c : count) at += std::exchange(c, at);
        for (const Ref& r : refs) spare[count[(r.head >> (8 * b)) & 0xFF]++] = r;
        refs.swap(spare);
    }
}

}  // namespace

void sort_keys(std::vector<Entry>& entries, bool unique) {
    if (entries.empty()) return;
    std::vector<Ref> refs(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        refs[i] = Ref{head_of(entries[i].key), entries[i].recno, static_cast<std::uint32_t>(i)};
    sort_by_head(refs);
    // Entries of one head in order of the rest of their keys, then of their records.
    auto by_key = [&](const Ref& a, const Ref& b) {
        int c = entries[a.at].key.compare(entries[b.at].key);
        return c != 0 ? c < 0 : a.recno < b.recno;
    };
    for (auto run = refs.begin(); run != refs.end();) {
        auto end = std::find_if(run + 1, refs.end(),
                                [&](const Ref& r) { return r.head != run->head; });
        if (end - run > 1) std::sort(run, end, by_key);
        run = end;
    }
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
