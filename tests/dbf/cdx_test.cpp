// The compound index layer alone: pages both ways, key encodings, and the trees' splits
// and joins against a sorted model, in a real index file.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "dbf/cdx_key.h"
#include "dbf/cdx_node.h"
#include "dbf/cdx_sort.h"
#include "dbf/cdx_tree.h"
#include "dbf/header.h"
#include "dbf/index_file.h"
#include "dbf_fixture.h"

namespace dbf_test {
namespace {

using dbf::cdx::Entry;
using dbf::cdx::Node;

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

TEST(CdxNode, LeavesRoundTripAtEveryKeyLengthAndKeepTheirFreeCount) {
    std::mt19937 rng(7);
    for (std::size_t key_length : {1u, 4u, 8u, 10u, 50u, 240u}) {
        for (char pad : {' ', '\0'}) {
            Node node;
            std::set<Entry> keys;
            // Keys sharing beginnings and padding, as real ones do.
            while (keys.size() < 200) {
                std::string key(key_length, pad);
                std::size_t used = rng() % (key_length + 1);
                for (std::size_t i = 0; i < used; ++i) key[i] = "AAB\xE8z"[rng() % 5];
                keys.insert(Entry{key, static_cast<std::uint32_t>(rng() % 100000 + 1), 0});
            }
            for (const Entry& e : keys) {
                node.entries.push_back(e);
                if (!dbf::cdx::fits(node, key_length, pad)) {
                    node.entries.pop_back();
                    break;
                }
            }
            ASSERT_FALSE(node.entries.empty());
            auto page = dbf::cdx::encode_node(node, key_length, pad);
            ASSERT_TRUE(page);
            std::string problem;
            auto back = dbf::cdx::decode_node(*page, key_length, pad, problem);
            ASSERT_TRUE(back) << problem;
            EXPECT_EQ(back->entries.size(), node.entries.size()) << key_length;
            for (std::size_t i = 0; i < node.entries.size(); ++i) {
                EXPECT_EQ(back->entries[i].key, node.entries[i].key);
                EXPECT_EQ(back->entries[i].recno, node.entries[i].recno);
            }
            // The free count is the 488-byte area less the entries and the key bytes.
            auto byte = [&](std::size_t at) { return static_cast<unsigned char>((*page)[at]); };
            std::size_t rb = byte(20), db = byte(21), eb = byte(23);
            std::size_t used = node.entries.size() * eb;
            for (std::size_t i = 0; i < node.entries.size(); ++i) {
                std::uint64_t v = 0;
                for (std::size_t b = eb; b-- > 0;) v = (v << 8) | byte(24 + i * eb + b);
                auto dup = static_cast<std::size_t>((v >> rb) & ((1u << db) - 1));
                auto trail = static_cast<std::size_t>(v >> (rb + db));
                used += key_length - dup - trail;
            }
            EXPECT_EQ(dbf::read_le16(page->data() + 12), 488u - used);
            EXPECT_EQ(back->stated_free, 488u - used);
            EXPECT_EQ(back->real_free, 488u - used);
            // Entries one more than fit are refused.
            Node full = node;
            for (const Entry& e : keys)
                if (full.entries.size() < 500) full.entries.push_back(e);
            std::sort(full.entries.begin(), full.entries.end());
            if (!dbf::cdx::fits(full, key_length, pad)) {
                EXPECT_FALSE(dbf::cdx::encode_node(full, key_length, pad));
            }
        }
    }
}

// A leaf filled one insertion at a time, each at a random place, its room counted from the
// new key's neighbours: the count and the answer as a full count of the page gives them,
// until the page is full; record numbers that widen the entries included.
TEST(CdxNode, AnInsertionCountsItsRoomAsTheWholePageWould) {
    std::mt19937 rng(11);
    for (std::size_t key_length : {1u, 8u, 10u, 50u, 240u}) {
        for (char pad : {' ', '\0'}) {
            Node leaf;
            leaf.attributes = dbf::cdx::kAttrLeaf;
            bool full = false;
            for (int tries = 0; tries < 2000 && !full; ++tries) {
                std::string key(key_length, pad);
                std::size_t used = rng() % (key_length + 1);
                for (std::size_t i = 0; i < used; ++i) key[i] = "AAB\xE8z"[rng() % 5];
                auto recno = static_cast<std::uint32_t>(rng() % 8 == 0 ? rng() : rng() % 200 + 1);
                Entry entry{key, recno, 0};
                auto at = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), entry);
                if (at != leaf.entries.end() && at->key == key && at->recno == recno) continue;
                auto index = static_cast<std::size_t>(at - leaf.entries.begin());
                std::size_t key_bytes = 0;
                bool fits = dbf::cdx::fits_with(leaf, index, entry, key_length, pad, key_bytes);
                Node after = leaf;
                after.entries.insert(after.entries.begin() + static_cast<std::ptrdiff_t>(index),
                                     entry);
                ASSERT_EQ(fits, dbf::cdx::fits(after, key_length, pad)) << key_length;
                ASSERT_EQ(key_bytes, dbf::cdx::leaf_key_bytes(after, key_length, pad))
                    << key_length << " at " << index;
                full = !fits;
                if (fits) {
                    std::uint32_t top = std::max(leaf.top_recno, recno);
                    leaf = std::move(after);
                    leaf.key_bytes = key_bytes;
                    leaf.top_recno = top;
                }
            }
            EXPECT_TRUE(full) << key_length;
        }
    }
}

// A removal and a join counted from the keys at the seams: as a full count of the leaf
// without the entry, and of the two leaves in one page, give them.
TEST(CdxNode, ARemovalAndAJoinCountTheirRoomAsTheWholePagesWould) {
    std::mt19937 rng(13);
    for (std::size_t key_length : {1u, 8u, 10u, 50u}) {
        for (char pad : {' ', '\0'}) {
            std::set<Entry> keys;
            while (keys.size() < 120) {
                std::string key(key_length, pad);
                std::size_t used = rng() % (key_length + 1);
                for (std::size_t i = 0; i < used; ++i) key[i] = "AAB\xE8z"[rng() % 5];
                auto recno = static_cast<std::uint32_t>(rng() % 8 == 0 ? rng() : rng() % 200 + 1);
                keys.insert(Entry{key, recno, 0});
            }
            std::vector<Entry> all(keys.begin(), keys.end());
            for (int round = 0; round < 40; ++round) {
                // Two neighbouring leaves cut from the keys in order.
                std::size_t from = rng() % 60, cut = from + 1 + rng() % 30, to = cut + rng() % 30;
                Node left, right;
                left.attributes = right.attributes = dbf::cdx::kAttrLeaf;
                left.entries.assign(all.begin() + static_cast<std::ptrdiff_t>(from),
                                    all.begin() + static_cast<std::ptrdiff_t>(cut));
                right.entries.assign(all.begin() + static_cast<std::ptrdiff_t>(cut),
                                     all.begin() + static_cast<std::ptrdiff_t>(to));
                dbf::cdx::count_room(left, key_length, pad);
                dbf::cdx::count_room(right, key_length, pad);
                Node joint = left;
                joint.entries.insert(joint.entries.end(), right.entries.begin(),
                                     right.entries.end());
                dbf::cdx::count_room(joint, key_length, pad);
                dbf::cdx::LeafRoom both = dbf::cdx::joined(
                    dbf::cdx::room_of(left), dbf::cdx::room_of(right), key_length, pad);
                ASSERT_EQ(both.key_bytes, joint.key_bytes) << key_length << " " << cut;
                ASSERT_EQ(both.top_recno, joint.top_recno);
                ASSERT_EQ(both.count, joint.entries.size());
                ASSERT_EQ(both.first, joint.entries.front().key);
                ASSERT_EQ(both.last, joint.entries.back().key);
                ASSERT_EQ(dbf::cdx::fits(both, key_length), dbf::cdx::fits(joint, key_length, pad));
                std::size_t index = rng() % left.entries.size();
                dbf::cdx::LeafRoom room = dbf::cdx::room_without(left, index, key_length, pad);
                Node without = left;
                without.entries.erase(without.entries.begin() + static_cast<std::ptrdiff_t>(index));
                dbf::cdx::count_room(without, key_length, pad);
                ASSERT_EQ(room.count, without.entries.size());
                ASSERT_EQ(room.key_bytes, without.key_bytes) << key_length << " at " << index;
                ASSERT_EQ(room.top_recno, without.top_recno) << key_length << " at " << index;
                if (!without.entries.empty()) {
                    ASSERT_EQ(room.first, without.entries.front().key);
                    ASSERT_EQ(room.last, without.entries.back().key);
                }
            }
        }
    }
}

// A build's keys in order: keys that differ only past their first 8 bytes, bytes above
// 0x7F, keys shorter than 8 bytes, one key for many records; unique orders keep the
// lowest record of each key.
TEST(CdxSort, KeysComeOutAsTheyOrderInTheTree) {
    std::mt19937 rng(5);
    for (std::size_t key_length : {1u, 3u, 8u, 9u, 20u}) {
        std::vector<Entry> entries;
        for (std::uint32_t recno = 1; recno <= 3000; ++recno) {
            std::string key(key_length, 'A');
            for (char& c : key) c = "AB\x01\xE8\xFF"[rng() % 5];
            if (rng() % 4 == 0 && !entries.empty()) key = entries[rng() % entries.size()].key;
            entries.push_back({key, rng() % 2 ? recno : 4000 - recno, 0});
        }
        for (bool unique : {false, true}) {
            std::vector<Entry> want = entries;
            std::sort(want.begin(), want.end());
            if (unique)
                want.erase(
                    std::unique(want.begin(), want.end(),
                                [](const Entry& a, const Entry& b) { return a.key == b.key; }),
                    want.end());
            std::vector<Entry> got = entries;
            dbf::cdx::sort_keys(got, unique);
            ASSERT_EQ(got.size(), want.size()) << key_length;
            for (std::size_t i = 0; i < want.size(); ++i) {
                ASSERT_EQ(got[i].key, want[i].key) << key_length << " at " << i;
                ASSERT_EQ(got[i].recno, want[i].recno) << key_length << " at " << i;
            }
        }
    }
}

TEST(CdxNode, ALeafOfASampleDecodesAsTheFormatSays) {
    // setup.CDX's tag directory: one key "KEY_NAME" (10 bytes, 2 trailing blanks) whose
    // record number is its header's offset 0x600: entry 00 06 20, RB 16, DB 4, TB 4.
    std::string page(512, '\0');
    const unsigned char head[] = {0x03, 0x00, 0x01, 0x00, 0xff, 0xff, 0xff, 0xff,
                                  0xff, 0xff, 0xff, 0xff, 0xdd, 0x01, 0xff, 0xff,
                                  0x00, 0x00, 0x0f, 0x0f, 0x10, 0x04, 0x04, 0x03,
                                  0x00, 0x06, 0x20};
    std::copy(std::begin(head), std::end(head), page.begin());
    page.replace(504, 8, "KEY_NAME");
    std::string problem;
    auto node = dbf::cdx::decode_node(page, 10, ' ', problem);
    ASSERT_TRUE(node) << problem;
    ASSERT_EQ(node->entries.size(), 1u);
    EXPECT_EQ(node->entries[0].key, "KEY_NAME  ");
    EXPECT_EQ(node->entries[0].recno, 0x600u);
    EXPECT_TRUE(node->leaf() && node->root());
    // 488 less one 3-byte entry and 8 key bytes; a count one off is read as it stands.
    EXPECT_EQ(node->stated_free, 477u);
    EXPECT_EQ(node->real_free, 477u);
    std::string off_by_one = page;
    off_by_one[12] = '\xdc';
    auto spoiled = dbf::cdx::decode_node(off_by_one, 10, ' ', problem);
    ASSERT_TRUE(spoiled) << problem;
    EXPECT_EQ(spoiled->stated_free, 476u);
    EXPECT_EQ(spoiled->real_free, 477u);
    // Ours, encoding the same node, writes the same meaningful bytes.
    auto ours = dbf::cdx::encode_node(*node, 10, ' ');
    ASSERT_TRUE(ours);
    EXPECT_EQ(hex(ours->substr(0, 27)), hex(page.substr(0, 27)));
    EXPECT_EQ(ours->substr(504), page.substr(504));
}

TEST(CdxNode, DamagedPagesAreRefusedWithAReason) {
    Node node;
    for (std::uint32_t i = 1; i <= 20; ++i) node.entries.push_back({"K" + std::to_string(i + 10), i, 0});
    std::sort(node.entries.begin(), node.entries.end());
    std::string good = *dbf::cdx::encode_node(node, 3, ' ');
    struct Case {
        const char* what;
        std::size_t at;
        std::string bytes;
    } cases[] = {
        {"count far too large", 2, std::string("\xff\x7f", 2)},
        {"count a little too large", 2, std::string("\xf0\x00", 2)},
        {"bytes per entry zero", 23, std::string(1, '\0')},
        {"widths past the entry", 20, std::string("\x20\x08\x08", 3)},
        {"mask not matching", 14, std::string("\x01\x00\x00\x00", 4)},
        {"first key sharing bytes", 24, std::string("\xff\xff", 2)},
        {"unknown attributes", 0, std::string("\x40\x00", 2)},
    };
    for (const Case& c : cases) {
        std::string page = good;
        page.replace(c.at, c.bytes.size(), c.bytes);
        std::string problem;
        EXPECT_FALSE(dbf::cdx::decode_node(page, 3, ' ', problem)) << c.what;
        EXPECT_FALSE(problem.empty()) << c.what;
    }
    std::string problem;
    EXPECT_FALSE(dbf::cdx::decode_node(good.substr(0, 300), 3, ' ', problem));
    Node interior;
    interior.attributes = dbf::cdx::kAttrRoot;
    std::string page = *dbf::cdx::encode_node(interior, 8, '\0');
    page[2] = 32;  // 32 entries of 16 bytes do not fit in 500
    EXPECT_FALSE(dbf::cdx::decode_node(page, 8, '\0', problem));
}

TEST(CdxKey, NumbersOrderAsTheirBytesAndComeBack) {
    const double values[] = {-1e300, -12345.678, -1.5, -0.001, 0.0, 1e-9, 0.5, 1, 2, 99.99, 1e15};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        std::string k = dbf::encode_number_key(values[i]);
        EXPECT_EQ(dbf::decode_number_key(k), values[i]);
        if (i > 0) {
            EXPECT_LT(dbf::encode_number_key(values[i - 1]), k) << values[i];
        }
    }
    EXPECT_EQ(hex(dbf::encode_number_key(0.0)), "8000000000000000");
    EXPECT_EQ(dbf::encode_number_key(-0.0), dbf::encode_number_key(0.0));
    // 1995-01-31 is Julian day 2449749 (a sample's date-time key holds it).
    auto day = *runtime::Date::from_ymd(1995, 1, 31);
    EXPECT_EQ(day.julian(), 2449749);
    EXPECT_EQ(hex(*dbf::encode_key(day, dbf::KeyType::kDate, 8)), "c142b0aa80000000");
    EXPECT_EQ(hex(*dbf::encode_key(runtime::Date(), dbf::KeyType::kDate, 8)), "8000000000000000");
    EXPECT_EQ(hex(*dbf::encode_key(1.0, dbf::KeyType::kInteger, 4)), "80000001");
    EXPECT_EQ(*dbf::encode_key(true, dbf::KeyType::kLogical, 1), "T");
    EXPECT_EQ(*dbf::encode_key("ab", dbf::KeyType::kCharacter, 4), "ab  ");
    EXPECT_EQ(*dbf::encode_key("abcdef", dbf::KeyType::kCharacter, 4), "abcd");
    EXPECT_FALSE(dbf::encode_key("x", dbf::KeyType::kNumeric, 8));
    EXPECT_EQ(*dbf::seek_bytes("ab", dbf::KeyType::kCharacter, 4), "ab");
}

class CdxTreeTest : public DbfTest {};

// Random insertions and removals in a tree of long keys (few per page, so it grows
// several levels, splits and joins interior pages) against a sorted set.
TEST_F(CdxTreeTest, SplitsAndJoinsKeepEveryKeyInOrder) {
    auto file = dbf::IndexFile::create(path("T.CDX"), {.shared = false, .read_only = false});
    ASSERT_TRUE(file);
    dbf::TagInfo tag;
    tag.name = "T";
    tag.key_length = 60;
    tag.key_text = "k";
    dbf::IndexFile::Access access(*file, true);
    ASSERT_TRUE(file->add_tag(tag));
    dbf::CdxTree tree(*file, tag.root, 60, ' ');
    std::set<Entry> model;
    std::mt19937 rng(11);
    auto random_key = [&] {
        std::string k = std::to_string(rng() % 5000);
        k.resize(60, ' ');
        return k;
    };
    for (int round = 0; round < 6; ++round) {
        bool growing = round % 2 == 0;
        for (int i = 0; i < 1500; ++i) {
            if (growing || model.empty() || rng() % 4 == 0) {
                Entry e{random_key(), static_cast<std::uint32_t>(rng() % 100000 + 1), 0};
                if (model.insert(e).second) {
                    ASSERT_TRUE(tree.insert(e));
                }
            } else {
                auto it = model.begin();
                std::advance(it, static_cast<long>(rng() % model.size()));
                bool found = false;
                ASSERT_TRUE(tree.remove(*it, found));
                ASSERT_TRUE(found);
                model.erase(it);
            }
        }
        std::vector<std::string> problems;
        ASSERT_TRUE(tree.verify(problems));
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::vector<Entry> seen;
        tree.scan(Entry{}, [&](const Entry& e) {
            seen.push_back(e);
            return true;
        });
        ASSERT_EQ(seen.size(), model.size());
        EXPECT_TRUE(std::equal(seen.begin(), seen.end(), model.begin(), [](auto& a, auto& b) {
            return a.key == b.key && a.recno == b.recno;
        }));
        // Neighbours of a few keys, both ways.
        for (int probe = 0; probe < 50 && !model.empty(); ++probe) {
            Entry target{random_key(), static_cast<std::uint32_t>(rng() % 100000), 0};
            std::optional<Entry> after, before;
            ASSERT_TRUE(tree.at_or_after(target, after));
            ASSERT_TRUE(tree.before(target, before));
            auto it = model.lower_bound(target);
            EXPECT_EQ(after.has_value(), it != model.end());
            if (after && it != model.end()) {
                EXPECT_EQ(after->recno, it->recno);
            }
            EXPECT_EQ(before.has_value(), it != model.begin());
            if (before && it != model.begin()) {
                EXPECT_EQ(before->recno, std::prev(it)->recno);
            }
        }
    }
    // Nearly emptied, the pages joined again into the root alone; then empty.
    while (model.size() > 5) {
        bool found = false;
        ASSERT_TRUE(tree.remove(*model.begin(), found));
        ASSERT_TRUE(found);
        model.erase(model.begin());
        if (model.size() > 5 && model.size() % 2) {
            ASSERT_TRUE(tree.remove(*model.rbegin(), found));
            model.erase(std::prev(model.end()));
        }
    }
    Node root;
    ASSERT_TRUE(file->read_node(tag.root, 60, ' ', root));
    EXPECT_TRUE(root.leaf() && root.root());
    EXPECT_EQ(root.entries.size(), 5u);
    for (const Entry& e : model) {
        bool found = false;
        ASSERT_TRUE(tree.remove(e, found));
        ASSERT_TRUE(found);
    }
    std::optional<Entry> any;
    ASSERT_TRUE(tree.first(any));
    EXPECT_FALSE(any);
    EXPECT_TRUE(errors.empty());
}

// A directory with more tags than one page holds becomes a tree, and opens again.
TEST_F(CdxTreeTest, ManyTagsGrowTheDirectoryIntoATree) {
    {
        auto file = dbf::IndexFile::create(path("M.CDX"), {.shared = false, .read_only = false});
        ASSERT_TRUE(file);
        dbf::IndexFile::Access access(*file, true);
        for (int i = 0; i < 120; ++i) {
            dbf::TagInfo tag;
            tag.name = "TAG" + std::to_string(i);
            tag.key_length = 8;
            tag.key_text = "RECNO()";
            ASSERT_TRUE(file->add_tag(tag));
        }
    }
    auto file = dbf::IndexFile::open(path("M.CDX"), {.shared = true, .read_only = true});
    ASSERT_TRUE(file);
    ASSERT_EQ(file->tags().size(), 120u);
    EXPECT_EQ(file->tags()[0].name, "TAG0");
    EXPECT_EQ(file->tags()[119].name, "TAG119");
    std::string bytes = read_bytes(path("M.CDX"));
    EXPECT_EQ(bytes[1024], 1) << "the directory's root is an interior page";
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace dbf_test
