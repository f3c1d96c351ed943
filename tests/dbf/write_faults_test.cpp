// A failing disk under every write path of the engine: the failure comes back as an error
// record with the Windows error number of the failing call, and every record committed
// before it reads back whole from the files afterwards.
#include <gtest/gtest.h>

#include "dbf/errors.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "faulty_files.h"
#include "runtime/text1252.h"

namespace dbf_test {
namespace {

using dbf::Table;
using Call = FaultyFiles::Call;

struct Row {
    const char* name;
    int seq;
    const char* note;
};

const Row kCommitted[] = {{"ONE", 1, "first memo"}, {"TWO", 2, "second memo"}, {"THREE", 3, ""}};

constexpr const char* kTable = "F.DBF";
constexpr const char* kMemo = "F.DBT";

const std::string kLongNote(200, 'n');  // four memo blocks: more than record 2's memo had

bool append(Table& t) { return t.append_blank() && t.put("NAME", "FOUR") && t.commit(); }

bool change_name(Table& t) {
    return t.go_to(2) && t.lock_record() && t.put("NAME", "CHANGED") && t.commit();
}

bool change_note(Table& t) {
    return t.go_to(2) && t.lock_record() && t.put("NOTE", kLongNote) && t.commit();
}

bool read_record(Table& t) { return t.go_to(2); }

class WriteFaultTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        ASSERT_TRUE(Table::create(path("F"),
                                  {{"NAME", 'C', 8, 0}, {"SEQ", 'N', 4, 0}, {"NOTE", 'M', 10, 0}}));
        auto t = Table::open(path("F"), {false, false});
        for (const Row& r : kCommitted) {
            ASSERT_TRUE(t->append_blank() && t->put("NAME", r.name) &&
                        t->put("SEQ", static_cast<double>(r.seq)) && t->put("NOTE", r.note));
        }
        t->close();
        // Last changed years ago, so a shared write brings the header's date up to date.
        committed_table_ = read_bytes(path(kTable));
        committed_table_[1] = 101;
        committed_memo_ = read_bytes(path(kMemo));
    }

    // The files as committed, for the next case.
    void restore() const {
        write_bytes(path(kTable), committed_table_);
        write_bytes(path(kMemo), committed_memo_);
    }

    // Every committed record as it was, record 2 named `name_2`, and an appended record 4
    // when `count` says there is one.
    void expect_committed(std::uint32_t count, const std::string& name_2) {
        errors.clear();
        auto t = Table::open(path("F"), {true, true});
        ASSERT_TRUE(t);
        EXPECT_EQ(t->reccount(), count);
        for (std::uint32_t n = 1; n <= 3; ++n) {
            const Row& r = kCommitted[n - 1];
            ASSERT_TRUE(t->go_to(n));
            EXPECT_EQ(runtime::trim(t->get("NAME").text()), n == 2 ? name_2 : r.name) << n;
            EXPECT_EQ(t->get("SEQ").number(), r.seq) << n;
            EXPECT_EQ(t->get("NOTE").text(), r.note) << n;
        }
        if (count == 4) {
            ASSERT_TRUE(t->go_to(4));
            EXPECT_EQ(runtime::trim(t->get("NAME").text()), "FOUR");
        }
        EXPECT_TRUE(errors.empty()) << *errors.front().description;
    }

    FaultyFiles files_;
    std::string committed_table_;
    std::string committed_memo_;
};

TEST_F(WriteFaultTest, AFailingCallIsReportedWithItsCodeAndLosesNothingCommitted) {
    constexpr bool kShared = true, kExclusive = false, kStored = true, kShort = true;
    struct Case {
        const char* what;
        bool shared;
        FaultyFiles::Fault fault;
        bool (*operation)(Table&);
        const char* file;     // named by the error record
        bool stored = false;  // record 2's change reached the file before the failure
    } cases[] = {
        {"append: the record", kShared, {Call::kWrite, 1, 112}, append, kTable},
        {"append: the record cut short", kShared, {Call::kWrite, 1, 112, kShort}, append, kTable},
        {"append: the end mark", kShared, {Call::kWrite, 2, 29}, append, kTable},
        {"append: the count", kShared, {Call::kWrite, 3, 5}, append, kTable},
        {"append: the run of records", kExclusive, {Call::kWrite, 1, 112}, append, kTable},
        {"append: the run cut short", kExclusive, {Call::kWrite, 1, 112, kShort}, append, kTable},
        {"append: the count at commit", kExclusive, {Call::kWrite, 2, 29}, append, kTable},
        {"field: the record", kShared, {Call::kWrite, 1, 29}, change_name, kTable},
        {"field: the record", kExclusive, {Call::kWrite, 1, 112}, change_name, kTable},
        {"header: the date", kShared, {Call::kWrite, 2, 112}, change_name, kTable, kStored},
        {"header: the count", kExclusive, {Call::kWrite, 2, 29}, change_name, kTable, kStored},
        {"memo: the blocks taken", kShared, {Call::kWrite, 1, 112}, change_note, kMemo},
        {"memo: the text", kShared, {Call::kWrite, 2, 29}, change_note, kMemo},
        {"memo: text cut short", kExclusive, {Call::kWrite, 2, 112, kShort}, change_note, kMemo},
        {"flush: the table", kShared, {Call::kFlush, 1, 29}, change_name, kTable, kStored},
        {"flush: the memo", kExclusive, {Call::kFlush, 2, 112}, change_name, kMemo, kStored},
        {"read of a record", kShared, {Call::kRead, 1, 30}, read_record, kTable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.shared ? ", shared" : ", exclusive"));
        restore();
        {
            auto t = Table::open(path("F"), {c.shared, false});
            ASSERT_TRUE(t);
            errors.clear();
            files_.arm(c.fault);
            EXPECT_FALSE(c.operation(*t));
            ASSERT_TRUE(files_.fired());
            ASSERT_EQ(errors.size(), 1u);
            const runtime::Error& e = errors[0];
            bool reading = c.fault.call == Call::kRead;
            EXPECT_EQ(e.gencode, reading ? runtime::gencode::kRead : runtime::gencode::kWrite);
            EXPECT_EQ(e.subcode, c.fault.oscode == 112 ? dbf::subcode::kDiskFull
                                 : reading             ? dbf::subcode::kRead
                                                       : dbf::subcode::kWrite);
            EXPECT_EQ(e.oscode, c.fault.oscode);
            EXPECT_NE(e.filename.find(c.file), std::string::npos) << e.filename;
        }
        expect_committed(3, c.stored ? "CHANGED" : "TWO");
    }
}

// While nobody else writes, the session reads its records from memory: a record write that
// failed must not show there, whether none or part of it reached the disk.
TEST_F(WriteFaultTest, AFailedRecordWriteReadsBackAsTheDiskHasIt) {
    struct Case {
        const char* what;
        FaultyFiles::Fault fault;
        const char* on_disk;  // record 2's name on the disk after the failure
    } cases[] = {
        {"nothing written", {Call::kWrite, 1, 112}, "TWO"},
        {"the name written before the disk filled", {Call::kWrite, 1, 112, true}, "CHANGED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restore();
        auto t = Table::open(path("F"), {false, false});
        ASSERT_TRUE(t);
        files_.arm(c.fault);
        EXPECT_FALSE(change_name(*t));
        ASSERT_TRUE(files_.fired());
        errors.clear();
        ASSERT_TRUE(t->go_to(2));
        EXPECT_EQ(runtime::trim(t->get("NAME").text()), c.on_disk);
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(WriteFaultTest, AnAppendLockBusyForAMomentIsWaitedFor) {
    restore();
    {
        auto t = Table::open(path("F"), {true, false});
        ASSERT_TRUE(t);
        files_.arm({Call::kLock, 1, 0});
        EXPECT_TRUE(append(*t));
        EXPECT_TRUE(files_.fired());
        EXPECT_TRUE(errors.empty());
    }
    expect_committed(4, "TWO");
}

}  // namespace
}  // namespace dbf_test
