// Damaged index files: each damage raises the "corrupt" error record (subsystem code
// 1012, the index file's name) from whatever reads the spoiled part, and nothing crashes
// or loops for ever.
#include <gtest/gtest.h>

#include "dbf/errors.h"
#include "dbf/header.h"
#include "dbf/table.h"
#include "dbf_fixture.h"

namespace dbf_test {
namespace {

class CdxDamageTest : public DbfTest {
protected:
    // 400 records keyed by RECNO(): a root of interior entries over full leaves.
    void make() {
        ASSERT_TRUE(dbf::Table::create(path("D"), {{"NAME", 'C', 8, 0}}));
        auto t = dbf::Table::open(path("D"), {false, false});
        for (int i = 0; i < 400; ++i) t->append_blank();
        ASSERT_TRUE(t->order_create(path("D.CDX"), "N", "RECNO()"));
        t->close();
        bytes = read_bytes(path("D.CDX"));
        // The tag's header follows the directory; its root comes next.
        root = dbf::read_le32(bytes.data() + 1536);
        ASSERT_EQ(bytes[root], 1) << "an interior root";
        first_leaf = root + 512;
        ASSERT_EQ(bytes[first_leaf], 2) << "the first leaf";
    }
    // Every reading operation once, in order, as a user would try them.
    void use() {
        auto t = dbf::Table::open(path("D"), {false, false});
        ASSERT_TRUE(t);
        if (!t->order_add(path("D.CDX"))) return;
        t->go_top();
        for (int i = 0; i < 500 && !t->eof(); ++i) t->skip(1);
        t->go_bottom();
        for (int i = 0; i < 500 && !t->bof(); ++i) t->skip(-1);
        t->seek(runtime::Value(399.0));
        t->key_count();
    }
    void expect_corrupt(const char* what) {
        ASSERT_FALSE(errors.empty()) << what;
        EXPECT_EQ(errors[0].subcode, dbf::subcode::kCorrupt) << what;
        EXPECT_EQ(errors[0].filename, path("D.CDX")) << what;
        EXPECT_EQ(errors[0].gencode, runtime::gencode::kCorruption) << what;
    }
    void spoil(std::size_t at, const std::string& with) {
        std::string b = bytes;
        b.replace(at, with.size(), with);
        write_bytes(path("D.CDX"), b);
    }
    static std::string le32(std::uint32_t v) {
        std::string s(4, '\0');
        dbf::write_le32(s.data(), v);
        return s;
    }
    static std::string be32(std::uint32_t v) {
        std::string s(4, '\0');
        dbf::write_be32(s.data(), v);
        return s;
    }
    std::string bytes;
    std::uint32_t root = 0, first_leaf = 0;
};

TEST_F(CdxDamageTest, EachDamageRaisesCorruptAndEnds) {
    make();
    struct Case {
        const char* what;
        std::function<void()> damage;
    } cases[] = {
        {"cut inside the tree", [&] { write_bytes(path("D.CDX"), bytes.substr(0, first_leaf + 700)); }},
        {"cut inside the header", [&] { write_bytes(path("D.CDX"), bytes.substr(0, 700)); }},
        {"a child pointer past the end", [&] { spoil(root + 12 + 8 + 4, be32(0x7FFFFE00)); }},
        {"a child pointer off a page", [&] { spoil(root + 12 + 8 + 4, be32(first_leaf + 3)); }},
        {"a child pointing at its parent", [&] { spoil(root + 12 + 8 + 4, be32(root)); }},
        {"a loop in the sibling chain", [&] { spoil(first_leaf + 8, le32(first_leaf)); }},
        {"a key count too large for the page", [&] { spoil(first_leaf + 2, std::string("\xff\x00", 2)); }},
        {"an interior count too large", [&] { spoil(root + 2, std::string("\x40\x00", 2)); }},
        {"a tag root outside the file", [&] { spoil(1536, le32(0x10000000)); }},
        {"a directory entry off a page", [&] { spoil(1024 + 2, std::string("\x09\x00", 2)); }},
    };
    for (const Case& c : cases) {
        errors.clear();
        c.damage();
        use();
        expect_corrupt(c.what);
    }
}

// Random bytes over each page in turn end in an error record or a clean read, never a
// crash.
TEST_F(CdxDamageTest, SpoiledPagesNeverCrash) {
    make();
    std::uint32_t seed = 99;
    for (int round = 0; round < 60; ++round) {
        errors.clear();
        std::string b = bytes;
        std::size_t page = 1024 + 512 * (round % (b.size() / 512 - 2));
        for (int i = 0; i < 24; ++i) {
            seed = seed * 1103515245u + 12345u;
            b[page + (seed >> 8) % 512] = static_cast<char>(seed >> 24);
        }
        write_bytes(path("D.CDX"), b);
        use();
        // The engine's errors say damage; a spoiled key expression is the compiler's.
        for (const runtime::Error& e : errors)
            EXPECT_TRUE(e.subsystem != dbf::kSubsystem || e.subcode == dbf::subcode::kCorrupt ||
                        e.subcode == dbf::subcode::kBadOrder)
                << e.description.value_or("");
    }
}

}  // namespace
}  // namespace dbf_test
