#include "dbf/table.h"

#include <gtest/gtest.h>

#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "dbf_fixture.h"
#include "runtime/file_case.h"
#include "runtime/text1252.h"

namespace dbf_test {
namespace {

using dbf::FieldDef;
using dbf::Table;
using runtime::Date;
using runtime::Value;

const std::vector<FieldDef> kMixed = {{"NAME", 'C', 12, 0},
                                      {"AMOUNT", 'N', 10, 2},
                                      {"BORN", 'D', 8, 0},
                                      {"ACTIVE", 'L', 1, 0},
                                      {"NOTES", 'M', 10, 0}};

Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

class TableTest : public DbfTest {};

TEST_F(TableTest, BadDefinitionsAreRefusedWithTheFieldNamed) {
    struct Case {
        std::vector<FieldDef> defs;
        std::string says;
    } cases[] = {
        {{}, "1 to 255 fields"},
        {{{"1ST", 'C', 5, 0}}, "\"1ST\": bad name"},
        {{{"ELEVENCHARS", 'C', 5, 0}}, "bad name"},
        {{{"A", 'C', 0, 0}}, "width must be 1 to 254"},
        {{{"A", 'C', 255, 0}}, "width must be 1 to 254"},
        {{{"A", 'N', 21, 0}}, "width must be 1 to 20"},
        {{{"A", 'N', 5, 4}}, "decimals"},
        {{{"A", 'D', 10, 0}}, "8 wide"},
        {{{"A", 'X', 4, 0}}, "type must be"},
        {{{"A", 'C', 4, 0}, {"a", 'N', 4, 0}}, "name used twice"},
    };
    for (const Case& c : cases) {
        errors.clear();
        EXPECT_FALSE(Table::create(path("bad"), c.defs));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].gencode, runtime::gencode::kCreate);
        EXPECT_NE(errors[0].description->find(c.says), std::string::npos) << *errors[0].description;
    }
}

TEST_F(TableTest, EveryFieldTypeRoundTripsThroughTheFiles) {
    ASSERT_TRUE(Table::create(path("people"), kMixed));
    {
        auto t = Table::open(path("people"), {false, false});
        ASSERT_TRUE(t);
        ASSERT_TRUE(t->append_blank());
        EXPECT_TRUE(t->put("name", "Caf\xE8"));
        EXPECT_TRUE(t->put(2, -1234.5));
        EXPECT_TRUE(t->put("BORN", ymd(1999, 12, 31)));
        EXPECT_TRUE(t->put("ACTIVE", true));
        EXPECT_TRUE(t->put("NOTES", std::string(300, 'x') + "\x1A end"));
        ASSERT_TRUE(t->append_blank());
        EXPECT_TRUE(t->put("NAME", "a name longer than twelve"));
        EXPECT_TRUE(t->put("NOTES", "short"));
        EXPECT_TRUE(t->put("NOTES", "replaced, still short"));
        t->close();
    }
    EXPECT_TRUE(errors.empty());
    auto t = Table::open(path("people"), {true, true});
    ASSERT_TRUE(t);
    EXPECT_EQ(t->reccount(), 2u);
    EXPECT_EQ(t->get("NAME").text(), "Caf\xE8        ");
    Value amount = t->get("AMOUNT");
    EXPECT_EQ(amount.number(), -1234.5);
    EXPECT_EQ(amount.number_info().width, 10);
    EXPECT_EQ(amount.number_info().decimals, 2);
    EXPECT_EQ(t->get("BORN").date(), ymd(1999, 12, 31));
    EXPECT_TRUE(t->get("ACTIVE").logical());
    EXPECT_EQ(t->get("NOTES").text(), std::string(300, 'x') + "\x1A end");
    ASSERT_TRUE(t->skip(1));
    EXPECT_EQ(t->get(1).text(), "a name longe");
    EXPECT_EQ(t->get("AMOUNT").number(), 0);
    EXPECT_TRUE(t->get("BORN").date().empty());
    EXPECT_FALSE(t->get("ACTIVE").logical());
    EXPECT_EQ(t->get("NOTES").text(), "replaced, still short");
    EXPECT_TRUE(errors.empty());
}

TEST_F(TableTest, FilesKeepTheLayoutOtherToolsRead) {
    ASSERT_TRUE(Table::create(path("plain"), {{"CODE", 'C', 3, 0}, {"QTY", 'N', 5, 1}}));
    auto t = Table::open(path("plain"), {false, false});
    ASSERT_TRUE(t);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(t->append_blank());
        t->put("CODE", "A" + std::to_string(i));
        t->put("QTY", i * 1.5);
    }
    ASSERT_TRUE(t->go_to(2));
    ASSERT_TRUE(t->remove());
    t->close();
    std::string b = read_bytes(path("plain.DBF"));
    ASSERT_EQ(b.size(), 32u + 2 * 32 + 1 + 3 * 9 + 1);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x03);
    Date today = runtime::today();
    EXPECT_EQ(static_cast<unsigned char>(b[1]), today.year() - 1900);
    EXPECT_EQ(b[2], today.month());
    EXPECT_EQ(b[3], today.day());
    EXPECT_EQ(dbf::read_le32(b.data() + 4), 3u);
    EXPECT_EQ(dbf::read_le16(b.data() + 8), 97u);
    EXPECT_EQ(dbf::read_le16(b.data() + 10), 9u);
    EXPECT_EQ(b.substr(32, 5), std::string("CODE\0", 5));
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(b[64 + 16], 5);
    EXPECT_EQ(b[64 + 17], 1);
    EXPECT_EQ(b[96], '\x0D');
    EXPECT_EQ(b.substr(97, 27), " A0   0.0*A1   1.5 A2   3.0");
    EXPECT_EQ(b.back(), '\x1A');
}

TEST_F(TableTest, CountAndDateOfLastUpdateAreTrueOnceChangesAreStored) {
    // The header's date is set back first; each way of working must bring it to today
    // with the count, by the point named (gathered changes are written there).
    struct Case {
        const char* how;
        bool shared, table_lock, append;
    } cases[] = {
        {"exclusive append, close", false, false, true},
        {"exclusive change, close", false, false, false},
        {"shared append, unlock", true, false, true},
        {"shared change, unlock", true, false, false},
        {"table lock append, unlock", true, true, true},
        {"table lock change, unlock", true, true, false},
    };
    Date today = runtime::today();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::string file = path("DATED.DBF");
        ASSERT_TRUE(Table::create(file, {{"CODE", 'C', 3, 0}}));
        Table::open(file, {false, false})->append_blank();
        std::string b = read_bytes(file);
        b.replace(1, 3, std::string("\x63\x01\x01", 3));  // 1999-01-01
        write_bytes(file, b);
        auto t = Table::open(file, {c.shared, false});
        ASSERT_TRUE(t);
        ASSERT_TRUE(!c.table_lock || t->lock_table());
        ASSERT_TRUE(c.append ? t->append_blank() : t->go_to(1) && t->lock_record());
        ASSERT_TRUE(t->put("CODE", "NEW"));
        if (c.shared)
            t->unlock_all();
        else
            t->close();
        b = read_bytes(file);
        ASSERT_GE(b.size(), 8u);
        EXPECT_EQ(static_cast<unsigned char>(b[1]), today.year() - 1900);
        EXPECT_EQ(b[2], today.month());
        EXPECT_EQ(b[3], today.day());
        EXPECT_EQ(dbf::read_le32(b.data() + 4), c.append ? 2u : 1u);
        EXPECT_EQ(b.substr(b.size() - 4), std::string("NEW\x1A"));
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(TableTest, MemoTablesAreFoxProWithABlockMemoFile) {
    ASSERT_TRUE(Table::create(path("memo"), kMixed));
    auto t = Table::open(path("memo"), {false, false});
    ASSERT_TRUE(t);
    ASSERT_TRUE(t->append_blank());
    ASSERT_TRUE(t->put("NOTES", "hello"));
    t->close();
    EXPECT_EQ(static_cast<unsigned char>(read_bytes(path("memo.DBF"))[0]), 0xF5);
    std::string m = read_bytes(path("memo.DBT"));
    ASSERT_EQ(m.size(), 512u + 64);
    EXPECT_EQ(dbf::read_be32(m.data()), 9u);        // next free block
    EXPECT_EQ(dbf::read_be16(m.data() + 6), 64u);   // block size
    EXPECT_EQ(dbf::read_be32(m.data() + 512), 1u);  // a text memo
    EXPECT_EQ(dbf::read_be32(m.data() + 516), 5u);
    EXPECT_EQ(m.substr(520, 5), "hello");
}

TEST_F(TableTest, NavigationHonoursTheDeletedRecordsSetting) {
    ASSERT_TRUE(Table::create(path("nav"), {{"N", 'N', 3, 0}}));
    auto t = Table::open(path("nav"), {false, false});
    ASSERT_TRUE(t);
    for (int i = 1; i <= 5; ++i) {
        t->append_blank();
        t->put(1, i);
    }
    for (std::uint32_t n : {1u, 3u, 5u}) {
        t->go_to(n);
        t->remove();
    }
    auto visit = [&] {
        std::vector<int> seen;
        for (t->go_top(); !t->eof(); t->skip(1))
            seen.push_back(static_cast<int>(t->get(1).number()));
        return seen;
    };
    EXPECT_EQ(visit(), (std::vector<int>{1, 2, 3, 4, 5}));
    runtime::set_setting(dbf::kSettingDeletedHidden, true);
    EXPECT_EQ(visit(), (std::vector<int>{2, 4}));
    EXPECT_EQ(t->recno(), 6u);
    t->go_bottom();
    EXPECT_EQ(t->recno(), 4u);
    t->skip(-1);
    EXPECT_EQ(t->recno(), 2u);
    EXPECT_FALSE(t->bof());
    t->skip(-1);
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recno(), 2u);
    t->go_to(4);
    t->remove();
    t->go_to(2);
    t->remove();
    t->go_top();
    EXPECT_TRUE(t->eof());
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recno(), 6u);
    t->go_to(3);  // going to a record by number shows it even when it is deleted
    EXPECT_TRUE(t->deleted());
    t->recall();
    t->go_top();
    EXPECT_EQ(t->recno(), 3u);
    t->go_to(99);
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recno(), 6u);
}

TEST_F(TableTest, WritesAreRefusedWithTheirErrorRecords) {
    ASSERT_TRUE(Table::create(path("w"), {{"C", 'C', 3, 0}, {"N", 'N', 4, 1}}));
    {
        auto t = Table::open(path("w"), {false, false});
        t->append_blank();
        struct Case {
            int pos;
            Value v;
            int gencode;
        } cases[] = {
            {1, 5, runtime::gencode::kDataType},
            {2, "5", runtime::gencode::kDataType},
            {2, 12345.0, runtime::gencode::kDataWidth},
            {3, 1, runtime::gencode::kArgument},
        };
        for (const Case& c : cases) {
            errors.clear();
            EXPECT_FALSE(t->put(c.pos, c.v));
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].gencode, c.gencode);
        }
        EXPECT_EQ(t->get(2).number(), 0);
        errors.clear();
        EXPECT_FALSE(t->put("NOPE", 1));
        EXPECT_EQ(errors.at(0).gencode, runtime::gencode::kNoVariable);
    }
    errors.clear();
    auto ro = Table::open(path("w"), {true, true});
    EXPECT_FALSE(ro->put(1, "x"));
    EXPECT_FALSE(ro->append_blank());
    EXPECT_FALSE(ro->zap());
    ASSERT_EQ(errors.size(), 3u);
    for (const auto& e : errors) EXPECT_EQ(e.gencode, runtime::gencode::kReadOnly);
    auto shared = Table::open(path("w"), {true, false});
    errors.clear();
    EXPECT_FALSE(shared->put(1, "x"));  // shared and not locked
    EXPECT_EQ(errors.at(0).gencode, runtime::gencode::kUnlocked);
    EXPECT_FALSE(shared->zap());
    EXPECT_EQ(errors.at(1).gencode, runtime::gencode::kShared);
    EXPECT_TRUE(shared->lock_record());
    EXPECT_TRUE(shared->put(1, "x"));
}

TEST_F(TableTest, ZapEmptiesTableAndMemo) {
    ASSERT_TRUE(Table::create(path("z"), kMixed));
    auto t = Table::open(path("z"), {false, false});
    for (int i = 0; i < 4; ++i) {
        t->append_blank();
        t->put("NOTES", std::string(100, 'm'));
    }
    ASSERT_TRUE(t->zap());
    EXPECT_EQ(t->reccount(), 0u);
    EXPECT_TRUE(t->eof());
    t->close();
    EXPECT_EQ(read_bytes(path("z.DBF")).size(), 32u + 5 * 32 + 1 + 1);
    EXPECT_EQ(read_bytes(path("z.DBT")).size(), 512u);
}

TEST_F(TableTest, PasswordEncryptsRecordsButNotTheHeader) {
    ASSERT_TRUE(Table::create(path("secret"), {{"TEXT", 'C', 20, 0}}));
    {
        auto t = Table::open(path("secret"), {false, false});
        t->set_password("longpassword");
        t->append_blank();
        t->put(1, "attack at dawn");
        t->append_blank();
        t->put(1, "attack at dawn");
    }
    std::string raw = read_bytes(path("secret.DBF"));
    EXPECT_EQ(dbf::read_le32(raw.data() + 4), 2u);
    EXPECT_EQ(raw.find("attack"), std::string::npos);
    EXPECT_EQ(raw[65], ' ');  // the deletion flag stays in clear
    // Equal records differ on disk: the record number is the nonce.
    EXPECT_NE(raw.substr(66, 20), raw.substr(87, 20));

    struct Case {
        const char* password;
        bool clear;
    } cases[] = {{"longpass", true}, {"longpassXYZ", true}, {"longpasx", false}, {"", false}};
    for (const Case& c : cases) {
        auto t = Table::open(path("secret"), {true, true});
        t->set_password(c.password);
        EXPECT_EQ(t->get(1).text() == "attack at dawn      ", c.clear) << c.password;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(TableTest, CipherMatchesTheChaCha20TestVector) {
    // RFC 8439 section 2.3.2.
    std::array<std::uint8_t, 32> key{};
    for (int i = 0; i < 32; ++i) key[i] = static_cast<std::uint8_t>(i);
    std::array<std::uint8_t, 12> nonce{0, 0, 0, 9, 0, 0, 0, 0x4a, 0, 0, 0, 0};
    auto out = dbf::RecordCipher::block(key, 1, nonce);
    const std::uint8_t expect[8] = {0x10, 0xf1, 0xe7, 0xe4, 0xd1, 0x3b, 0x59, 0x15};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expect[i]) << i;
    EXPECT_EQ(out[63], 0x4e);
}

struct Recorder : dbf::RecordListener {
    std::vector<std::string> seen;
    void record_stored(const Table&, std::uint32_t recno, std::string_view before,
                       std::string_view after) override {
        seen.push_back(std::to_string(recno) + ":" + std::string(before) + ">" +
                       std::string(after));
    }
    void records_cleared(const Table&) override { seen.push_back("zap"); }
};

TEST_F(TableTest, EveryWritePassesThroughTheListener) {
    ASSERT_TRUE(Table::create(path("l"), {{"C", 'C', 2, 0}}));
    auto t = Table::open(path("l"), {false, false});
    Recorder r;
    t->set_listener(&r);
    t->append_blank();
    t->put(1, "ab");
    t->append_blank();  // stores record 1 first
    t->go_to(1);
    t->remove();
    t->commit();
    t->zap();
    // Used alone, a new record reaches the disk (and the listener) once, with its content.
    EXPECT_EQ(r.seen, (std::vector<std::string>{"1:> ab", "2:>   ", "1: ab>*ab", "zap"}));
    t->close();

    auto shared = Table::open(path("l"), {true, false});
    Recorder s;
    shared->set_listener(&s);
    shared->append_blank();  // written at once, for the other processes
    shared->put(1, "cd");
    shared->unlock_all();
    EXPECT_EQ(s.seen, (std::vector<std::string>{"1:>   ", "1:   > cd"}));
}

TEST_F(TableTest, FileNameCaseAppliesToTheNameNotTheFolder) {
    std::filesystem::create_directory(path("lower"));
    runtime::set_setting(runtime::kSettingFileCase, "UPPER");
    ASSERT_TRUE(Table::create(path("lower") + "/mixed.dbf", kMixed));
    EXPECT_TRUE(std::filesystem::exists(path("lower") + "/MIXED.DBF"));
    EXPECT_TRUE(std::filesystem::exists(path("lower") + "/MIXED.DBT"));
    auto t = Table::open(path("lower") + "/Mixed", {true, false});
    ASSERT_TRUE(t);
    EXPECT_NE(t->path().find("lower"), std::string::npos);
    EXPECT_NE(t->path().find("MIXED.DBF"), std::string::npos);
}

}  // namespace
}  // namespace dbf_test
