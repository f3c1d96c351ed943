// Missing, unreadable and damaged files give error records with the codes the error
// handler tests, and never a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "child_process.h"
#include "dbf/errors.h"
#include "dbf/header.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "runtime/text1252.h"

namespace dbf_test {
namespace {

using dbf::Table;

class DamageTest : public DbfTest {
protected:
    // A small memo table with one memo, as bytes to spoil.
    void make(const std::string& name) {
        ASSERT_TRUE(Table::create(path(name), {{"C", 'C', 4, 0}, {"M", 'M', 10, 0}}));
        auto t = Table::open(path(name), {false, false});
        t->append_blank();
        t->put(1, "abcd");
        t->put(2, "memo text");
        t->append_blank();
    }
};

TEST_F(DamageTest, MissingFilesAndFoldersCarryTheSystemCodes) {
    EXPECT_FALSE(Table::open(path("none"), {true, false}));
    EXPECT_FALSE(Table::open(path("nofolder") + "/none", {true, false}));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].gencode, runtime::gencode::kOpen);
    EXPECT_EQ(errors[0].oscode, 2);
    EXPECT_EQ(errors[1].oscode, 3);
    EXPECT_NE(errors[0].filename.find("none.DBF"), std::string::npos);
    EXPECT_EQ(*errors[0].subsystem, "DBFCDX");
}

TEST_F(DamageTest, MissingMemoFileIsAnOpenError) {
    make("nomemo");
    std::filesystem::remove(path("nomemo.DBT"));
    EXPECT_FALSE(Table::open(path("nomemo"), {true, false}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].oscode, 2);
    EXPECT_NE(errors[0].filename.find("nomemo.DBT"), std::string::npos);
}

TEST_F(DamageTest, DamagedTablesAreSubsystemCode1012) {
    make("good");
    std::string good = read_bytes(path("good.DBF"));
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"header cut", good.substr(0, 20)},
        {"header length past the file",
         [&] {
             std::string b = good;
             dbf::write_le16(b.data() + 8, 60000);
             return b;
         }()},
        {"record length below the fields",
         [&] {
             std::string b = good;
             dbf::write_le16(b.data() + 10, 5);
             return b;
         }()},
        {"count past the records",
         [&] {
             std::string b = good;
             dbf::write_le32(b.data() + 4, 1000);
             return b;
         }()},
        {"records cut off", good.substr(0, good.size() - 10)},
        {"header length cutting the descriptors",
         [&] {
             std::string b = good;
             dbf::write_le16(b.data() + 8, 65);
             return b;
         }()},
        {"zero-width field",
         [&] {
             std::string b = good;
             b[32 + 16] = 0;
             return b;
         }()},
    };
    for (const Case& c : cases) {
        errors.clear();
        write_bytes(path("bad.DBF"), c.bytes);
        write_bytes(path("bad.DBT"), read_bytes(path("good.DBT")));
        EXPECT_FALSE(Table::open(path("bad"), {true, false})) << c.what;
        ASSERT_EQ(errors.size(), 1u) << c.what;
        EXPECT_EQ(errors[0].subcode, dbf::subcode::kCorrupt) << c.what;
        EXPECT_EQ(errors[0].gencode, runtime::gencode::kCorruption) << c.what;
    }
}

TEST_F(DamageTest, WrongMemoPointersAreSubsystemCode1012) {
    make("m");
    std::string good = read_bytes(path("m.DBF"));
    std::size_t memo_at = 32 + 2 * 32 + 1 + 1 + 4;  // record 1, after flag and C
    struct Case {
        const char* what;
        std::string pointer;
    } cases[] = {
        {"past the end", "     99999"},
        {"in the header", "         1"},
        {"not a number", "   12x4   "},
    };
    for (const Case& c : cases) {
        errors.clear();
        std::string b = good;
        b.replace(memo_at, 10, c.pointer);
        write_bytes(path("m.DBF"), b);
        auto t = Table::open(path("m"), {true, true});
        ASSERT_TRUE(t) << c.what;
        EXPECT_EQ(t->get(2).text(), "") << c.what;
        ASSERT_EQ(errors.size(), 1u) << c.what;
        EXPECT_EQ(errors[0].subcode, dbf::subcode::kCorrupt) << c.what;
    }
    // A memo block whose length runs past the file.
    write_bytes(path("m.DBF"), good);
    std::string memo = read_bytes(path("m.DBT"));
    dbf::write_be32(memo.data() + 512 + 4, 1u << 30);
    write_bytes(path("m.DBT"), memo);
    errors.clear();
    auto t = Table::open(path("m"), {true, true});
    EXPECT_EQ(t->get(2).text(), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].subcode, dbf::subcode::kCorrupt);
    EXPECT_NE(errors[0].filename.find("m.DBT"), std::string::npos);
}

TEST_F(DamageTest, ANextFreeMemoBlockInsideTheHeaderIsSubsystemCode1012OnWriting) {
    make("nf");
    std::string good = read_bytes(path("nf.DBT"));
    // Blocks of 64 bytes: the 512-byte header is blocks 0 to 7.
    for (std::uint32_t next_free : {0u, 1u, 7u}) {
        std::string memo = good;
        dbf::write_be32(memo.data(), next_free);
        write_bytes(path("nf.DBT"), memo);
        errors.clear();
        {
            auto t = Table::open(path("nf"), {false, false});
            ASSERT_TRUE(t);
            t->go_bottom();  // record 2, no memo yet
            EXPECT_FALSE(t->put(2, "a new memo")) << next_free;
            ASSERT_EQ(errors.size(), 1u) << next_free;
            EXPECT_EQ(errors[0].subcode, dbf::subcode::kCorrupt) << next_free;
            EXPECT_NE(errors[0].filename.find("nf.DBT"), std::string::npos);
            t->go_top();  // a longer text than the old memo's blocks hold
            EXPECT_FALSE(t->put(2, std::string(200, 'x'))) << next_free;
            EXPECT_EQ(t->get(2).text(), "memo text") << next_free;
        }
        EXPECT_EQ(read_bytes(path("nf.DBT")), memo) << next_free;
    }
}

TEST_F(DamageTest, EncryptedTableReadWithoutItsPasswordIsNoiseNotACrash) {
    make("enc");
    {
        auto t = Table::open(path("enc"), {false, false});
        t->set_password("secret12");
        t->go_top();
        t->put(2, "");  // memo pointer rewritten encrypted
        t->put(1, "wxyz");
    }
    errors.clear();
    auto t = Table::open(path("enc"), {true, true});
    ASSERT_TRUE(t);
    for (t->go_top(); !t->eof(); t->skip(1))
        for (int f = 1; f <= 2; ++f) t->get(f);
    EXPECT_NE(t->reccount(), 0u);
    for (const auto& e : errors) EXPECT_EQ(e.subcode, dbf::subcode::kCorrupt);
}

TEST_F(DamageTest, AFullDiskIsSubsystemCode2016AndLeavesTheTableWhole) {
#ifdef _WIN32
    // A real full volume: a folder on a small filesystem, as tests/dbf/small_volume.sh
    // mounts one for this test and names it.
    const char* small = std::getenv("VELKAN_SMALL_VOLUME");
    if (small == nullptr || *small == '\0')
        GTEST_SKIP() << "VELKAN_SMALL_VOLUME names no folder on a small volume";
    std::string table = std::string(small) + "\\FULL.DBF";
    std::vector<std::string> fill = {helper_path(), "fill", table};
#else
    // The file size limit stands in for a full disk.
    std::string table = path("FULL.DBF");
    std::vector<std::string> fill = {helper_path(), "fill", table, "300000"};
#endif
    ASSERT_TRUE(Table::create(table, {{"TAG", 'C', 40, 0}, {"SEQ", 'N', 8, 0}}));
    ChildProcess filler(fill);
    std::string line = filler.read_line();
    EXPECT_EQ(filler.wait(), 0);
    int gencode = 0, sub = 0, os = 0;
    unsigned records = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "error %d %d %d %u", &gencode, &sub, &os, &records), 4)
        << line;
    EXPECT_EQ(gencode, runtime::gencode::kWrite);
    EXPECT_EQ(sub, dbf::subcode::kDiskFull);
    EXPECT_EQ(os, 112);
    auto t = Table::open(table, {true, true});
    ASSERT_TRUE(t);
    EXPECT_EQ(t->reccount(), records);
    EXPECT_GT(records, 0u);
    t->go_bottom();
    EXPECT_EQ(runtime::trim(t->get(1).text()), "FULL");
    EXPECT_TRUE(errors.empty());
}

TEST_F(DamageTest, AccessDeniedCarriesSystemCode5) {
    // A folder cannot be opened as a table, whoever runs the test.
    std::filesystem::create_directory(path("folder.DBF"));
    EXPECT_FALSE(Table::open(path("folder"), {true, false}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].oscode, 5);
    EXPECT_EQ(errors[0].gencode, runtime::gencode::kOpen);
}

TEST_F(DamageTest, AReadOnlyFileOpenedForWritingIsAccessDenied) {
    // The superuser (also under Wine) may write read-only files: then there is no case.
    ASSERT_TRUE(Table::create(path("ro"), {{"C", 'C', 4, 0}}));
    auto read_only = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                     std::filesystem::perms::others_read;
    std::filesystem::permissions(path("ro.DBF"), read_only);
    auto t = Table::open(path("ro"), {true, false});
    std::filesystem::permissions(path("ro.DBF"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    if (t) GTEST_SKIP() << "this user may write read-only files";
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].oscode, 5);
}

}  // namespace
}  // namespace dbf_test
