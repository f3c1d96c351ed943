// One B-tree of a compound index file (a tag's keys, or the tag directory): lookups,
// insertion with page splits, removal with merges of neighbouring pages (cdx_layout.h).
// Pages come from the file's page store (index_file.h) inside one of its access brackets.
//
// The root page never moves: when it splits, its entries go to two new pages and it
// becomes their parent, so the tag header never changes after the tag is made. Pages
// emptied or merged away are left unused (no free list is written).
//
// Failures (a damaged page, a failed read or write) are raised by the page store; the
// calls then answer false.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dbf/cdx_node.h"

namespace dbf {

class IndexFile;

class CdxTree {
public:
    CdxTree(IndexFile& file, std::uint32_t root, std::size_t key_length, char pad)
        : file_(file), root_(root), key_length_(key_length), pad_(pad) {}

    std::uint32_t root() const { return root_; }
    std::size_t key_length() const { return key_length_; }
    char pad() const { return pad_; }

    bool insert(const cdx::Entry& entry);
    // `found`: the entry was there (and is gone).
    bool remove(const cdx::Entry& entry, bool& found);

    // Fills an empty tree from entries in order, with pages packed full.
    bool build(const std::vector<cdx::Entry>& sorted);
    // Empties the tree (its pages but the root are left unused).
    bool clear();

    // Lookups: `out` is nothing when there is no such entry.
    bool first(std::optional<cdx::Entry>& out);
    bool last(std::optional<cdx::Entry>& out);
    // The first entry not below `target`.
    bool at_or_after(const cdx::Entry& target, std::optional<cdx::Entry>& out);
    // The last entry below `target`.
    bool before(const cdx::Entry& target, std::optional<cdx::Entry>& out);

    // Every entry from the first not below `from` in order, through the leaves' sibling
    // chain, until `visit` answers false.
    bool scan(const cdx::Entry& from, const std::function<bool(const cdx::Entry&)>& visit);

    // Checks the tree's shape: every leaf at one depth, keys in order within and across
    // pages, each interior entry equal to its child's last entry, sibling links matching
    // the order of the pages, each leaf's free-byte count equal to the room its keys leave.
    // Each problem found is added as one line.
    bool verify(std::vector<std::string>& problems);

private:
    struct Step {
        std::uint32_t page = 0;
        cdx::Node node;  // the page's copy, once loaded
        std::size_t index = 0;
        bool loaded = false;
    };
    // The pages from the root to the leaf where `target` belongs, none copied; the leaf as
    // held (null after raising). A change that goes past the leaf copies each page above
    // as it reaches it (load).
    const cdx::Node* descend(const cdx::Entry& target, std::vector<Step>& path);
    // After the last entry of the path's leaf changed in place: each page above brought
    // up to date, as far as its entry for the page below changes.
    bool raise_last(const std::vector<Step>& path);
    bool load(Step& step);
    const cdx::Node* find_leaf(const cdx::Entry& target, std::size_t& index);
    // Writes the node of path[level] and brings its ancestors' entries up to date.
    bool settle(std::vector<Step>& path, std::size_t level);
    bool split(std::vector<Step>& path, std::size_t level);
    // Joins the node of path[level] with a neighbour under the same parent when both fit
    // in one page; `joined` tells whether it did.
    bool join(std::vector<Step>& path, std::size_t level, bool& joined);
    // Whether the path's leaf, its entry taken out, keeps keys and joins no neighbour
    // (join's choice): then `alone` is its room, and only it changes (with the pages
    // above when its last entry goes).
    bool room_alone(const std::vector<Step>& path, std::optional<cdx::LeafRoom>& alone);
    bool unlink(const cdx::Node& node);
    bool set_sibling(std::uint32_t page, bool left, std::uint32_t to);
    bool read(std::uint32_t page, cdx::Node& node);
    bool write(std::uint32_t page, cdx::Node node);
    std::size_t split_point(const cdx::Node& node) const;
    bool verify_page(std::uint32_t page, int depth, int& leaf_depth,
                     std::optional<cdx::Entry>& previous, std::vector<std::uint32_t>& leaves,
                     std::set<std::uint32_t>& seen, std::vector<std::string>& problems,
                     cdx::Entry& last);

    IndexFile& file_;
    std::uint32_t root_;
    std::size_t key_length_;
    char pad_;
};

}  // namespace dbf
