// One page of a compound index tree in memory, and its bytes both ways (layout in
// cdx_layout.h). Decoding checks everything a damaged page could break (counts, bit
// widths, key bytes out of the page, duplicate counts past the previous key) and answers
// why it refused, so a damaged file never leads to reading outside a page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/cdx_layout.h"

namespace dbf::cdx {

struct Entry {
    std::string key;  // key length bytes
    std::uint32_t recno = 0;
    std::uint32_t child = 0;  // interior pages only: the child page's offset

    // Keys order as unsigned bytes, then by record number.
    friend bool operator<(const Entry& a, const Entry& b) {
        int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.recno < b.recno;
    }
};

struct Node {
    std::uint16_t attributes = kAttrRoot | kAttrLeaf;
    std::uint32_t left = kNone;
    std::uint32_t right = kNone;
    std::vector<Entry> entries;
    // A leaf page as read: its free-byte count, and the room its entries and keys really
    // leave. Readers need neither; a check compares them. Writing recomputes the count.
    std::size_t stated_free = 0;
    std::size_t real_free = 0;
    // A leaf as decoded or as the page store holds it: the bytes its keys take in the page
    // as we store them (shared with the previous key and padding dropped) and the largest
    // record number (it sets the entries' width), kept current as the page changes in
    // place, so that a change learns whether it fits without a recount.
    std::size_t key_bytes = 0;
    std::uint32_t top_recno = 1;  // the largest record number of a leaf, at least 1

    bool leaf() const { return (attributes & kAttrLeaf) != 0; }
    bool root() const { return (attributes & kAttrRoot) != 0; }
};

// The node in a page; nothing with the reason in `problem` when the bytes are not a
// consistent node. `pad` fills a key's dropped trailing bytes.
std::optional<Node> decode_node(std::string_view page, std::size_t key_length, char pad,
                                std::string& problem);

// The page's bytes; nothing when the entries do not fit in one page.
std::optional<std::string> encode_node(const Node& node, std::size_t key_length, char pad);

// Whether the entries fit in one page of their kind (as encode_node would answer).
bool fits(const Node& node, std::size_t key_length, char pad);

// The bytes a leaf stores of `key` after `previous` (null for a page's first key).
std::size_t stored_key_bytes(const std::string* previous, const std::string& key,
                             std::size_t key_length, char pad);
// The bytes all of a leaf's keys take, as stored.
std::size_t leaf_key_bytes(const Node& leaf, std::size_t key_length, char pad);
// A leaf's key_bytes and top_recno counted again from its entries.
void count_room(Node& leaf, std::size_t key_length, char pad);
// What fits() counts of a leaf, without its entries: how many, the bytes of their keys,
// the largest record number, and the first and last keys (which a join puts side by side).
struct LeafRoom {
    std::size_t count = 0;
    std::size_t key_bytes = 0;
    std::uint32_t top_recno = 1;
    std::string first, last;
};
// The room of a leaf whose key_bytes and top_recno are current.
LeafRoom room_of(const Node& leaf);
// The same once entries[index] is taken out.
LeafRoom room_without(const Node& leaf, std::size_t index, std::size_t key_length, char pad);
// The room of two neighbouring leaves in one page, the left's keys first.
LeafRoom joined(const LeafRoom& left, const LeafRoom& right, std::size_t key_length, char pad);
// Whether a leaf of this room fits its page.
bool fits(const LeafRoom& room, std::size_t key_length);

// Whether a leaf whose key_bytes and top_recno are current still fits its page with
// `entry` inserted before entries[index]; `key_bytes` the leaf's count then. Only the
// entry's neighbours are looked at, not every key of the page.
bool fits_with(const Node& leaf, std::size_t index, const Entry& entry, std::size_t key_length,
               char pad, std::size_t& key_bytes);

// The room a page being filled in order takes, entry by entry, as fits() counts it.
class PageFill {
public:
    PageFill(bool leaf, std::size_t key_length, char pad);
    // Counts `entry` after those taken so far when the page still fits with it; whether
    // it did.
    bool take(const Entry& entry);
    void clear() { *this = PageFill(leaf_, key_length_, pad_); }

private:
    bool leaf_;
    std::size_t key_length_;
    char pad_;
    std::size_t count_ = 0;
    std::size_t key_bytes_ = 0;
    std::uint32_t top_recno_ = 1;
    std::size_t entry_bytes_;  // a leaf entry's width for top_recno_
    const Entry* last_ = nullptr;
};

}  // namespace dbf::cdx
