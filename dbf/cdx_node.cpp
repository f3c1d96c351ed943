#include "dbf/cdx_node.h"

#include <algorithm>
#include <bit>

#include "dbf/header.h"

namespace dbf::cdx {
namespace {

// Bits of the duplicate and trailing counts: enough for a count of the whole key.
int count_bits(std::size_t key_length) { return static_cast<int>(std::bit_width(key_length)); }

struct Packed {
    std::size_t dup = 0;
    std::size_t trail = 0;
};

// How each key of a leaf is stored: shared with the previous key, padding dropped.
std::vector<Packed> pack(const Node& node, std::size_t key_length, char pad) {
    std::vector<Packed> out(node.entries.size());
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        const std::string& key = node.entries[i].key;
        std::size_t trail = 0;
        while (trail < key_length && key[key_length - 1 - trail] == pad) ++trail;
        std::size_t dup = 0;
        if (i > 0) {
            const std::string& prev = node.entries[i - 1].key;
            while (dup < key_length - trail && prev[dup] == key[dup]) ++dup;
        }
        out[i] = {dup, trail};
    }
    return out;
}

struct Widths {
    int rb = 0, db = 0, tb = 0, eb = 0;
};

Widths widths_for_top(std::uint32_t top, std::size_t key_length) {
    Widths w;
    w.db = w.tb = count_bits(key_length);
    int needed = static_cast<int>(std::bit_width(top)) + w.db + w.tb;
    w.eb = (needed + 7) / 8;
    w.rb = std::min(32, 8 * w.eb - w.db - w.tb);
    return w;
}

Widths widths_for(const Node& node, std::size_t key_length) {
    std::uint32_t top = 1;
    for (const Entry& e : node.entries) top = std::max(top, e.recno);
    return widths_for_top(top, key_length);
}

std::size_t leaf_bytes(const Node& node, const std::vector<Packed>& packed,
                       std::size_t key_length, const Widths& w) {
    std::size_t used = node.entries.size() * static_cast<std::size_t>(w.eb);
    for (const Packed& p : packed) used += key_length - p.dup - p.trail;
    return used;
}

std::uint32_t mask(int bits) {
    return bits >= 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << bits) - 1;
}

void write_node_header(std::string& page, const Node& node) {
    write_le16(page.data(), node.attributes);
    write_le16(page.data() + 2, static_cast<std::uint16_t>(node.entries.size()));
    write_le32(page.data() + 4, node.left);
    write_le32(page.data() + 8, node.right);
}

std::optional<Node> refuse(std::string& problem, std::string why) {
    problem = std::move(why);
    return std::nullopt;
}

std::optional<Node> decode_leaf(std::string_view page, Node node, std::size_t count,
                                std::size_t key_length, char pad, std::string& problem) {
    const auto* p = reinterpret_cast<const unsigned char*>(page.data());
    int rb = p[20], db = p[21], tb = p[22], eb = p[23];
    if (eb < 1 || eb > 8 || rb > 32 || db > 8 || tb > 8 || rb + db + tb > 8 * eb)
        return refuse(problem, "leaf page with impossible bit widths");
    if (read_le32(page.data() + 14) != mask(rb) || p[18] != mask(db) || p[19] != mask(tb))
        return refuse(problem, "leaf page masks do not match their widths");
    std::size_t entries_end = kLeafEntriesAt + count * static_cast<std::size_t>(eb);
    if (entries_end > kPageSize) return refuse(problem, "leaf page holds too many keys");
    node.entries.resize(count);
    std::size_t at = kPageSize;  // key bytes run backwards from the page's end
    std::string prev;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t v = 0;
        for (int b = eb - 1; b >= 0; --b) v = (v << 8) | p[kLeafEntriesAt + i * eb + b];
        Entry& e = node.entries[i];
        e.recno = static_cast<std::uint32_t>(v & mask(rb));
        auto dup = static_cast<std::size_t>((v >> rb) & mask(db));
        auto trail = static_cast<std::size_t>((v >> (rb + db)) & mask(tb));
        if (dup > prev.size()) return refuse(problem, "leaf key shares more than its neighbour");
        // Blank keys may count the same bytes as shared and as padding.
        trail = std::min(trail, key_length - std::min(dup, key_length));
        std::size_t stored = key_length - dup - trail;
        if (stored > at - entries_end) return refuse(problem, "leaf keys overlap the entries");
        at -= stored;
        e.key.assign(prev, 0, dup);
        e.key.append(page.data() + at, stored);
        e.key.append(trail, pad);
        prev = e.key;
    }
    node.stated_free = read_le16(page.data() + 12);
    node.real_free = at - entries_end;
    count_room(node, key_length, pad);
    return node;
}

}  // namespace

std::optional<Node> decode_node(std::string_view page, std::size_t key_length, char pad,
                                std::string& problem) {
    if (page.size() != kPageSize) return refuse(problem, "page cut short");
    if (key_length < 1 || key_length > kMaxKeyLength)
        return refuse(problem, "impossible key length");
    Node node;
    node.attributes = read_le16(page.data());
    if (node.attributes > 7) return refuse(problem, "page with unknown attributes");
    std::size_t count = read_le16(page.data() + 2);
    node.left = read_le32(page.data() + 4);
    node.right = read_le32(page.data() + 8);
    if (node.leaf()) return decode_leaf(page, std::move(node), count, key_length, pad, problem);
    std::size_t size = key_length + 8;
    if (count * size > kInteriorArea) return refuse(problem, "interior page holds too many keys");
    node.entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char* at = page.data() + kNodeHeader + i * size;
        node.entries[i].key.assign(at, key_length);
        node.entries[i].recno = read_be32(at + key_length);
        node.entries[i].child = read_be32(at + key_length + 4);
    }
    return node;
}

std::size_t stored_key_bytes(const std::string* previous, const std::string& key,
                             std::size_t key_length, char pad) {
    const char* bytes = key.data();
    std::size_t trail = 0;
    while (trail < key_length && bytes[key_length - 1 - trail] == pad) ++trail;
    std::size_t dup = 0;
    if (previous) {
        const char* prev = previous->data();
        while (dup < key_length - trail && prev[dup] == bytes[dup]) ++dup;
    }
    return key_length - dup - trail;
}

std::size_t leaf_key_bytes(const Node& leaf, std::size_t key_length, char pad) {
    std::size_t bytes = 0;
    const std::string* previous = nullptr;
    for (const Entry& e : leaf.entries) {
        bytes += stored_key_bytes(previous, e.key, key_length, pad);
        previous = &e.key;
    }
    return bytes;
}

void count_room(Node& leaf, std::size_t key_length, char pad) {
    leaf.key_bytes = leaf_key_bytes(leaf, key_length, pad);
    leaf.top_recno = 1;
    for (const Entry& e : leaf.entries) leaf.top_recno = std::max(leaf.top_recno, e.recno);
}

bool fits_with(const Node& leaf, std::size_t index, const Entry& entry, std::size_t key_length,
               char pad, std::size_t& key_bytes) {
    const std::vector<Entry>& entries = leaf.entries;
    const std::string* previous = index > 0 ? &entries[index - 1].key : nullptr;
    key_bytes = leaf.key_bytes + stored_key_bytes(previous, entry.key, key_length, pad);
    if (index < entries.size()) {
        // The next key is now stored after the new one.
        const std::string& next = entries[index].key;
        key_bytes += stored_key_bytes(&entry.key, next, key_length, pad);
        key_bytes -= stored_key_bytes(previous, next, key_length, pad);
    }
    std::uint32_t top = std::max(leaf.top_recno, entry.recno);
    auto entry_bytes = static_cast<std::size_t>(widths_for_top(top, key_length).eb);
    return (entries.size() + 1) * entry_bytes + key_bytes <= kLeafArea;
}

LeafRoom room_of(const Node& leaf) {
    LeafRoom room{leaf.entries.size(), leaf.key_bytes, leaf.top_recno, {}, {}};
    if (!leaf.entries.empty()) {
        room.first = leaf.entries.front().key;
        room.last = leaf.entries.back().key;
    }
    return room;
}

LeafRoom room_without(const Node& leaf, std::size_t index, std::size_t key_length, char pad) {
    const std::vector<Entry>& entries = leaf.entries;
    const std::string* previous = index > 0 ? &entries[index - 1].key : nullptr;
    LeafRoom room{entries.size() - 1, leaf.key_bytes, leaf.top_recno, {}, {}};
    room.key_bytes -= stored_key_bytes(previous, entries[index].key, key_length, pad);
    if (index + 1 < entries.size()) {
        // The next key is now stored after the one before the removed one.
        const std::string& next = entries[index + 1].key;
        room.key_bytes -= stored_key_bytes(&entries[index].key, next, key_length, pad);
        room.key_bytes += stored_key_bytes(previous, next, key_length, pad);
    }
    if (entries[index].recno >= leaf.top_recno) {
        room.top_recno = 1;
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (i != index) room.top_recno = std::max(room.top_recno, entries[i].recno);
    }
    if (room.count > 0) {
        room.first = entries[index == 0 ? 1 : 0].key;
        room.last = entries[index + 1 == entries.size() ? index - 1 : entries.size() - 1].key;
    }
    return room;
}

LeafRoom joined(const LeafRoom& left, const LeafRoom& right, std::size_t key_length, char pad) {
    if (left.count == 0) return right;
    if (right.count == 0) return left;
    LeafRoom room{left.count + right.count, left.key_bytes + right.key_bytes,
                  std::max(left.top_recno, right.top_recno), left.first, right.last};
    // The right's first key is stored after the left's last.
    room.key_bytes -= stored_key_bytes(nullptr, right.first, key_length, pad);
    room.key_bytes += stored_key_bytes(&left.last, right.first, key_length, pad);
    return room;
}

bool fits(const LeafRoom& room, std::size_t key_length) {
    auto entry_bytes = static_cast<std::size_t>(widths_for_top(room.top_recno, key_length).eb);
    return room.count * entry_bytes + room.key_bytes <= kLeafArea;
}

bool fits(const Node& node, std::size_t key_length, char pad) {
    PageFill fill(node.leaf(), key_length, pad);
    return std::all_of(node.entries.begin(), node.entries.end(),
                       [&](const Entry& e) { return fill.take(e); });
}

PageFill::PageFill(bool leaf, std::size_t key_length, char pad)
    : leaf_(leaf),
      key_length_(key_length),
      pad_(pad),
      entry_bytes_(static_cast<std::size_t>(widths_for_top(top_recno_, key_length).eb)) {}

bool PageFill::take(const Entry& entry) {
    std::size_t bytes = 0;
    if (!leaf_) {
        if ((count_ + 1) * (key_length_ + 8) > kInteriorArea) return false;
    } else {
        // The width changes only with a record number past every one taken.
        std::size_t eb = entry.recno > top_recno_
                             ? static_cast<std::size_t>(widths_for_top(entry.recno, key_length_).eb)
                             : entry_bytes_;
        bytes = stored_key_bytes(last_ ? &last_->key : nullptr, entry.key, key_length_, pad_);
        if ((count_ + 1) * eb + key_bytes_ + bytes > kLeafArea) return false;
        entry_bytes_ = eb;
    }
    key_bytes_ += bytes;
    top_recno_ = std::max(top_recno_, entry.recno);
    last_ = &entry;
    ++count_;
    return true;
}

std::optional<std::string> encode_node(const Node& node, std::size_t key_length, char pad) {
    std::string page(kPageSize, '\0');
    write_node_header(page, node);
    if (!node.leaf()) {
        if (!fits(node, key_length, pad)) return std::nullopt;
        std::size_t size = key_length + 8;
        for (std::size_t i = 0; i < node.entries.size(); ++i) {
            char* at = page.data() + kNodeHeader + i * size;
            node.entries[i].key.copy(at, key_length);
            write_be32(at + key_length, node.entries[i].recno);
            write_be32(at + key_length + 4, node.entries[i].child);
        }
        return page;
    }
    std::vector<Packed> packed = pack(node, key_length, pad);
    Widths w = widths_for(node, key_length);
    std::size_t used = leaf_bytes(node, packed, key_length, w);
    if (used > kLeafArea) return std::nullopt;
    write_le16(page.data() + 12, static_cast<std::uint16_t>(kLeafArea - used));
    write_le32(page.data() + 14, mask(w.rb));
    page[18] = static_cast<char>(mask(w.db));
    page[19] = static_cast<char>(mask(w.tb));
    page[20] = static_cast<char>(w.rb);
    page[21] = static_cast<char>(w.db);
    page[22] = static_cast<char>(w.tb);
    page[23] = static_cast<char>(w.eb);
    std::size_t at = kPageSize;
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        std::uint64_t v = node.entries[i].recno | (std::uint64_t{packed[i].dup} << w.rb) |
                          (std::uint64_t{packed[i].trail} << (w.rb + w.db));
        for (int b = 0; b < w.eb; ++b)
            page[kLeafEntriesAt + i * w.eb + b] = static_cast<char>(v >> (8 * b));
        std::size_t stored = key_length - packed[i].dup - packed[i].trail;
        at -= stored;
        node.entries[i].key.copy(page.data() + at, stored, packed[i].dup);
    }
    return page;
}

}  // namespace dbf::cdx
