// Sections: reading pages; lookups; insertion and splits; removal and joins; checks.
#include "dbf/cdx_tree.h"

#include <algorithm>
#include <set>

#include "dbf/index_file.h"

namespace dbf {

using cdx::Entry;
using cdx::Node;

namespace {

// No real tree is this deep (a tree of 8-byte keys holds 31^16 keys at this depth): a
// deeper descent can only be a loop in damaged pages.
constexpr std::size_t kMaxDepth = 16;

bool same(const Entry& a, const Entry& b) { return a.recno == b.recno && a.key == b.key; }

// The interior entry that stands for a child: its last key and record number.
Entry summary(const Node& child, std::uint32_t page) {
    return Entry{child.entries.back().key, child.entries.back().recno, page};
}

}  // namespace

// ---- reading pages -------------------------------------------------------------------

bool CdxTree::read(std::uint32_t page, Node& node) {
    return file_.read_node(page, key_length_, pad_, node);
}

bool CdxTree::write(std::uint32_t page, Node node) {
    return file_.write_node(page, std::move(node), key_length_, pad_);
}

const Node* CdxTree::descend(const Entry& target, std::vector<Step>& path) {
    path.clear();
    path.reserve(4);  // a tree of a million keys is three or four pages deep
    std::uint32_t page = root_;
    while (true) {
        if (path.size() >= kMaxDepth) return file_.damaged("index tree deeper than possible");
        const Node* node = file_.peek(page, key_length_, pad_);
        if (!node) return nullptr;
        Step& step = path.emplace_back();
        step.page = page;
        const auto& entries = node->entries;
        step.index = static_cast<std::size_t>(
            std::lower_bound(entries.begin(), entries.end(), target) - entries.begin());
        if (node->leaf()) return node;
        if (entries.empty()) return file_.damaged("interior index page without keys");
        // Past every key: the last child, where the entry would become the largest.
        step.index = std::min(step.index, entries.size() - 1);
        page = entries[step.index].child;
    }
}

bool CdxTree::load(Step& step) {
    if (!step.loaded) step.loaded = read(step.page, step.node);
    return step.loaded;
}

// ---- lookups -------------------------------------------------------------------------

const Node* CdxTree::find_leaf(const Entry& target, std::size_t& index) {
    std::vector<Step> path;
    const Node* leaf = descend(target, path);
    if (leaf) index = path.back().index;
    return leaf;
}

bool CdxTree::first(std::optional<Entry>& out) { return at_or_after(Entry{}, out); }

bool CdxTree::last(std::optional<Entry>& out) {
    out.reset();
    std::uint32_t page = root_;
    for (std::size_t depth = 0;; ++depth) {
        if (depth >= kMaxDepth) return file_.corrupt("index tree deeper than possible");
        Node node;
        if (!read(page, node)) return false;
        if (node.entries.empty()) {
            if (node.leaf()) return true;
            return file_.corrupt("interior index page without keys");
        }
        if (node.leaf()) {
            out = node.entries.back();
            return true;
        }
        page = node.entries.back().child;
    }
}

bool CdxTree::at_or_after(const Entry& target, std::optional<Entry>& out) {
    out.reset();
    std::size_t index = 0;
    const Node* leaf = find_leaf(target, index);
    if (!leaf) return false;
    if (index < leaf->entries.size()) {
        out = leaf->entries[index];
        return true;
    }
    // Only past the end of its page when the target is past every key, or a neighbour
    // page is empty: go on along the siblings.
    std::uint32_t next = leaf->right;
    for (std::size_t hops = 0; next != cdx::kNone; ++hops) {
        if (hops > file_.page_count()) return file_.corrupt("loop in the index sibling chain");
        Node node;
        if (!read(next, node)) return false;
        if (!node.leaf()) return file_.corrupt("sibling of a leaf is not a leaf");
        if (!node.entries.empty()) {
            out = node.entries.front();
            return true;
        }
        next = node.right;
    }
    return true;
}

bool CdxTree::before(const Entry& target, std::optional<Entry>& out) {
    out.reset();
    std::size_t index = 0;
    const Node* leaf = find_leaf(target, index);
    if (!leaf) return false;
    if (index > 0) {
        out = leaf->entries[index - 1];
        return true;
    }
    std::uint32_t prev = leaf->left;
    for (std::size_t hops = 0; prev != cdx::kNone; ++hops) {
        if (hops > file_.page_count()) return file_.corrupt("loop in the index sibling chain");
        Node node;
        if (!read(prev, node)) return false;
        if (!node.leaf()) return file_.corrupt("sibling of a leaf is not a leaf");
        if (!node.entries.empty()) {
            out = node.entries.back();
            return true;
        }
        prev = node.left;
    }
    return true;
}

bool CdxTree::scan(const Entry& from, const std::function<bool(const Entry&)>& visit) {
    std::size_t index = 0;
    const Node* leaf = find_leaf(from, index);
    if (!leaf) return false;
    Node node = *leaf;  // the visits may read other pages
    for (std::size_t hops = 0;; ++hops) {
        for (; index < node.entries.size(); ++index)
            if (!visit(node.entries[index])) return true;
        if (node.right == cdx::kNone) return true;
        if (hops > file_.page_count()) return file_.corrupt("loop in the index sibling chain");
        std::uint32_t next = node.right;
        if (!read(next, node)) return false;
        if (!node.leaf()) return file_.corrupt("sibling of a leaf is not a leaf");
        index = 0;
    }
}

// ---- insertion and splits ------------------------------------------------------------

bool CdxTree::insert(const Entry& entry) {
    std::vector<Step> path;
    const Node* held = descend(entry, path);
    if (!held) return false;
    Step& leaf = path.back();
    Entry added{entry.key, entry.recno, 0};
    auto at = static_cast<std::ptrdiff_t>(leaf.index);
    std::size_t key_bytes = 0;
    if (!cdx::fits_with(*held, leaf.index, added, key_length_, pad_, key_bytes)) {
        leaf.node = *held;
        leaf.loaded = true;
        leaf.node.entries.insert(leaf.node.entries.begin() + at, std::move(added));
        return split(path, path.size() - 1);
    }
    // Most insertions stop in a leaf with room: it is changed where the store holds it,
    // its room counted from the new key's neighbours alone.
    Node* node = file_.edit(leaf.page, key_length_, pad_);
    if (!node) return false;
    node->top_recno = std::max(node->top_recno, added.recno);
    node->entries.insert(node->entries.begin() + at, std::move(added));
    node->key_bytes = key_bytes;
    bool last = leaf.index + 1 == node->entries.size();
    if (!file_.stored(leaf.page, *node, key_length_, pad_)) return false;
    return !last || raise_last(path);
}

bool CdxTree::raise_last(const std::vector<Step>& path) {
    for (std::size_t level = path.size() - 1; level > 0; --level) {
        const Node* child = file_.peek(path[level].page, key_length_, pad_);
        if (!child) return false;
        Entry now = summary(*child, path[level].page);
        const Step& above = path[level - 1];
        Node* parent = file_.edit(above.page, key_length_, pad_);
        if (!parent) return false;
        Entry& entry = parent->entries[above.index];
        if (same(entry, now)) return true;
        entry = std::move(now);
        if (!file_.stored(above.page, *parent, key_length_, pad_)) return false;
    }
    return true;
}

bool CdxTree::settle(std::vector<Step>& path, std::size_t level) {
    if (!cdx::fits(path[level].node, key_length_, pad_)) return split(path, level);
    // An ancestor's entry names its child's last key: keep it so up to the root. A page
    // goes to the store (not copied: the path is done with) once its parent's entry is
    // brought up to date; the parent is written only when that entry changed.
    for (std::size_t l = level;; --l) {
        Node& node = path[l].node;
        bool parent_changed = false;
        if (l > 0 && !node.entries.empty()) {
            if (!load(path[l - 1])) return false;
            Entry& entry = path[l - 1].node.entries[path[l - 1].index];
            Entry now = summary(node, path[l].page);
            parent_changed = !same(entry, now);
            if (parent_changed) entry = std::move(now);
        }
        if (!write(path[l].page, std::move(node))) return false;
        if (!parent_changed) return true;
    }
}

// Halves by count, then moves the cut until both halves fit: a leaf's keys compress
// unevenly, so an even count can leave one half too big.
std::size_t CdxTree::split_point(const Node& node) const {
    std::size_t n = node.entries.size();
    auto fits_range = [&](std::size_t from, std::size_t to) {
        Node part;
        part.attributes = node.attributes;
        part.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(from),
                            node.entries.begin() + static_cast<std::ptrdiff_t>(to));
        return cdx::fits(part, key_length_, pad_);
    };
    std::size_t cut = n / 2;
    while (cut > 1 && !fits_range(0, cut)) --cut;
    while (cut + 1 < n && !fits_range(cut, n)) ++cut;
    return cut;
}

bool CdxTree::split(std::vector<Step>& path, std::size_t level) {
    // The parent before any write, so that a failed read changes nothing.
    if (level > 0 && !load(path[level - 1])) return false;
    Step& step = path[level];
    Node& node = step.node;
    std::size_t cut = split_point(node);
    std::uint16_t kind = node.leaf() ? cdx::kAttrLeaf : 0;
    Node right;
    right.attributes = kind;
    right.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(cut),
                         node.entries.end());
    node.entries.resize(cut);
    if (level == 0) {
        // The root keeps its place: both halves move to new pages under it.
        std::uint32_t left_page = file_.allocate(cdx::kPageSize);
        std::uint32_t right_page = left_page ? file_.allocate(cdx::kPageSize) : 0;
        if (!right_page) return false;
        Node left;
        left.attributes = kind;
        left.entries = std::move(node.entries);
        left.right = right_page;
        right.left = left_page;
        node.attributes = cdx::kAttrRoot;
        node.left = node.right = cdx::kNone;
        node.entries = {summary(left, left_page), summary(right, right_page)};
        return write(left_page, std::move(left)) && write(right_page, std::move(right)) &&
               write(step.page, std::move(node));
    }
    std::uint32_t right_page = file_.allocate(cdx::kPageSize);
    if (!right_page) return false;
    right.right = node.right;
    right.left = step.page;
    node.right = right_page;
    // The new page first, then the links to it: a failure between leaves the old page
    // whole and the new one unreferenced.
    if (!write(right_page, right)) return false;
    if (right.right != cdx::kNone && !set_sibling(right.right, true, right_page)) return false;
    if (!write(step.page, node)) return false;
    Step& parent = path[level - 1];
    auto& entries = parent.node.entries;
    entries[parent.index] = summary(node, step.page);
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(parent.index + 1),
                   summary(right, right_page));
    return settle(path, level - 1);
}

bool CdxTree::set_sibling(std::uint32_t page, bool left, std::uint32_t to) {
    Node node;
    if (!read(page, node)) return false;
    (left ? node.left : node.right) = to;
    return write(page, std::move(node));
}

// ---- building -----------------------------------------------------------------------

bool CdxTree::clear() { return write(root_, Node{}); }

bool CdxTree::build(const std::vector<Entry>& sorted) {
    // Each level in pages filled while the next entry still fits, then the level above
    // from their last entries, until one page holds a level: that one is the root.
    const std::vector<Entry>* level = &sorted;
    std::vector<Entry> parents;
    std::uint16_t kind = cdx::kAttrLeaf;
    while (true) {
        std::vector<Node> nodes(1);
        nodes.back().attributes = kind;
        cdx::PageFill fill(kind != 0, key_length_, pad_);
        for (const Entry& e : *level) {
            if (!fill.take(e)) {
                nodes.emplace_back();
                nodes.back().attributes = kind;
                fill.clear();
                fill.take(e);  // one entry always fits an empty page
            }
            nodes.back().entries.push_back(e);
        }
        if (nodes.size() == 1) {
            nodes.back().attributes |= cdx::kAttrRoot;
            return write(root_, std::move(nodes.back()));
        }
        std::vector<std::uint32_t> pages;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            std::uint32_t page = file_.allocate(cdx::kPageSize);
            if (!page) return false;
            pages.push_back(page);
        }
        std::vector<Entry> above;
        above.reserve(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            nodes[i].left = i > 0 ? pages[i - 1] : cdx::kNone;
            nodes[i].right = i + 1 < nodes.size() ? pages[i + 1] : cdx::kNone;
            above.push_back(summary(nodes[i], pages[i]));
            if (!write(pages[i], std::move(nodes[i]))) return false;
        }
        parents = std::move(above);
        level = &parents;
        kind = 0;
    }
}

// ---- removal and joins ---------------------------------------------------------------

bool CdxTree::remove(const Entry& entry, bool& found) {
    found = false;
    std::vector<Step> path;
    const Node* held = descend(entry, path);
    if (!held) return false;
    Step& leaf = path.back();
    if (leaf.index >= held->entries.size() || !same(held->entries[leaf.index], entry)) return true;
    found = true;
    std::optional<cdx::LeafRoom> alone;
    if (!room_alone(path, alone)) return false;
    if (alone) {
        // Most removals leave a leaf that keeps keys and joins no neighbour: it is changed
        // where the store holds it.
        Node* node = file_.edit(leaf.page, key_length_, pad_);
        if (!node) return false;
        bool last = leaf.index + 1 == node->entries.size();
        node->entries.erase(node->entries.begin() + static_cast<std::ptrdiff_t>(leaf.index));
        node->key_bytes = alone->key_bytes;
        node->top_recno = alone->top_recno;
        if (!file_.stored(leaf.page, *node, key_length_, pad_)) return false;
        return !last || raise_last(path);
    }
    if (!read(leaf.page, leaf.node)) return false;
    leaf.loaded = true;
    leaf.node.entries.erase(leaf.node.entries.begin() + static_cast<std::ptrdiff_t>(leaf.index));
    for (std::size_t level = path.size() - 1;; --level) {
        Step& step = path[level];
        if (!load(step)) return false;
        if (level == 0) {
            // A root with one child takes the child's place, keeping the tree shallow.
            for (std::size_t depth = 0; !step.node.leaf() && step.node.entries.size() == 1;
                 ++depth) {
                if (depth >= kMaxDepth) return file_.corrupt("index tree deeper than possible");
                Node child;
                if (!read(step.node.entries[0].child, child)) return false;
                child.attributes |= cdx::kAttrRoot;
                child.left = child.right = cdx::kNone;
                step.node = std::move(child);
            }
            return write(step.page, step.node);
        }
        if (step.node.entries.empty()) {
            Step& parent = path[level - 1];
            if (!load(parent) || !unlink(step.node)) return false;
            parent.node.entries.erase(parent.node.entries.begin() +
                                      static_cast<std::ptrdiff_t>(parent.index));
            continue;
        }
        bool joined = false;
        if (!join(path, level, joined)) return false;
        if (!joined) return settle(path, level);
    }
}

bool CdxTree::room_alone(const std::vector<Step>& path, std::optional<cdx::LeafRoom>& alone) {
    alone.reset();
    const Step& leaf = path.back();
    const Node* node = file_.peek(leaf.page, key_length_, pad_);
    if (!node) return false;
    cdx::LeafRoom room = cdx::room_without(*node, leaf.index, key_length_, pad_);
    if (path.size() == 1) {
        alone = std::move(room);  // the root leaf may empty
        return true;
    }
    if (room.count == 0) return true;
    // The neighbour join() would take: the left one under the same parent, else the right.
    const Step& above = path[path.size() - 2];
    const Node* parent = file_.peek(above.page, key_length_, pad_);
    if (!parent) return false;
    if (parent->entries.size() < 2) {
        alone = std::move(room);
        return true;
    }
    bool left = above.index > 0;
    std::uint32_t page = parent->entries[left ? above.index - 1 : 1].child;
    const Node* other = file_.peek(page, key_length_, pad_);
    if (!other) return false;
    if (!other->leaf()) return true;  // damaged: the general way reports it
    cdx::LeafRoom neighbour = cdx::room_of(*other);
    cdx::LeafRoom joint = left ? cdx::joined(neighbour, room, key_length_, pad_)
                               : cdx::joined(room, neighbour, key_length_, pad_);
    if (!cdx::fits(joint, key_length_)) alone = std::move(room);
    return true;
}

bool CdxTree::unlink(const Node& node) {
    if (node.left != cdx::kNone && !set_sibling(node.left, false, node.right)) return false;
    return node.right == cdx::kNone || set_sibling(node.right, true, node.left);
}

bool CdxTree::join(std::vector<Step>& path, std::size_t level, bool& joined) {
    joined = false;
    Step& step = path[level];
    Step& parent = path[level - 1];
    if (!load(parent)) return false;
    auto& siblings = parent.node.entries;
    if (siblings.size() < 2) return true;
    // The pair (left, right) under the same parent that holds this node.
    std::size_t right_index = parent.index > 0 ? parent.index : 1;
    std::size_t left_index = right_index - 1;
    Node other;
    std::uint32_t other_page = siblings[parent.index > 0 ? left_index : right_index].child;
    if (!read(other_page, other)) return false;
    Node joint;
    joint.attributes = step.node.attributes;
    const Node& left = parent.index > 0 ? other : step.node;
    const Node& right = parent.index > 0 ? step.node : other;
    joint.entries = left.entries;
    joint.entries.insert(joint.entries.end(), right.entries.begin(), right.entries.end());
    if (!cdx::fits(joint, key_length_, pad_)) return true;
    std::uint32_t left_page = siblings[left_index].child;
    joint.left = left.left;
    joint.right = right.right;
    if (!write(left_page, joint)) return false;
    if (joint.right != cdx::kNone && !set_sibling(joint.right, true, left_page)) return false;
    siblings[left_index] = summary(joint, left_page);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(right_index));
    parent.index = left_index;
    joined = true;
    return true;
}

// ---- checks --------------------------------------------------------------------------

bool CdxTree::verify(std::vector<std::string>& problems) {
    int leaf_depth = -1;
    std::optional<Entry> previous;
    std::vector<std::uint32_t> leaves;
    std::set<std::uint32_t> seen;
    Entry last;
    std::size_t before = problems.size();
    if (!verify_page(root_, 0, leaf_depth, previous, leaves, seen, problems, last)) return false;
    if (problems.size() != before) return true;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        Node node;
        if (!read(leaves[i], node)) return false;
        std::uint32_t want_left = i > 0 ? leaves[i - 1] : cdx::kNone;
        std::uint32_t want_right = i + 1 < leaves.size() ? leaves[i + 1] : cdx::kNone;
        if (node.left != want_left || node.right != want_right)
            problems.push_back("leaf page " + std::to_string(leaves[i]) +
                               " has sibling links out of order");
    }
    return true;
}

bool CdxTree::verify_page(std::uint32_t page, int depth, int& leaf_depth,
                          std::optional<Entry>& previous, std::vector<std::uint32_t>& leaves,
                          std::set<std::uint32_t>& seen, std::vector<std::string>& problems,
                          Entry& last) {
    std::string where = "page " + std::to_string(page);
    if (depth >= static_cast<int>(kMaxDepth)) return file_.corrupt("index tree deeper than possible");
    if (!seen.insert(page).second) {
        problems.push_back(where + ": reached twice in the tree");
        return true;
    }
    Node node;
    if (!read(page, node)) return false;
    if (node.root() != (depth == 0)) problems.push_back(where + ": root mark out of place");
    if (node.leaf()) {
        if (leaf_depth < 0) leaf_depth = depth;
        if (leaf_depth != depth) problems.push_back(where + ": leaves at different depths");
        leaves.push_back(page);
        if (node.stated_free != node.real_free)
            problems.push_back(where + ": free-byte count " + std::to_string(node.stated_free) +
                               " where its keys leave " + std::to_string(node.real_free));
        for (const Entry& e : node.entries) {
            if (previous && !(*previous < e)) problems.push_back(where + ": keys out of order");
            previous = e;
        }
        if (!node.entries.empty()) last = node.entries.back();
        else if (depth > 0) problems.push_back(where + ": empty leaf");
        return true;
    }
    if (node.entries.empty()) problems.push_back(where + ": interior page without keys");
    for (const Entry& e : node.entries) {
        Entry child_last;
        if (!verify_page(e.child, depth + 1, leaf_depth, previous, leaves, seen, problems,
                         child_last))
            return false;
        if (!same(child_last, e))
            problems.push_back(where + ": entry differs from its child's last key");
        last = e;
    }
    return true;
}

}  // namespace dbf
