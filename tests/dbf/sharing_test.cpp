// Sharing and locks between real processes: the helper program holds a table open (and a
// lock) while this process tries its own opens and locks.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "child_process.h"
#include "dbf/errors.h"
#include "dbf/network_error.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "runtime/text1252.h"

namespace dbf_test {
namespace {

using dbf::Table;

class SharingTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        file_ = path("SHARED.DBF");
        ASSERT_TRUE(Table::create(file_, {{"TAG", 'C', 4, 0}, {"SEQ", 'N', 8, 0}}));
        auto t = Table::open(file_, {false, false});
        for (int i = 0; i < 3; ++i) t->append_blank();
    }
    // Starts a helper holding the table; its first line tells whether it opened.
    std::unique_ptr<ChildProcess> hold(const std::string& mode,
                                       std::vector<std::string> lock = {}) {
        std::vector<std::string> args = {helper_path(), "hold", file_, mode};
        args.insert(args.end(), lock.begin(), lock.end());
        auto c = std::make_unique<ChildProcess>(args);
        EXPECT_TRUE(c->started());
        return c;
    }
    std::string file_;
};

// A writer that ended after writing a run of new records but before their count leaves
// them past the count, with the end byte after them only; the next open for writing, with
// nobody else appending or holding the table lock, cuts the file back to the counted
// records and their end byte.
TEST_F(SharingTest, RecordsPastTheCountAreDroppedByTheNextOpenForWriting) {
    std::string committed = read_bytes(file_);
    ASSERT_EQ(committed.back(), '\x1A');
    std::string crashed = committed.substr(0, committed.size() - 1) + std::string(" LOST       4") +
                          std::string(" LOST       5") + "\x1A";
    struct Case {
        const char* who;
        bool shared, read_only;
        std::vector<std::string> other_holds;  // empty: nobody else has the table open
        bool dropped;
    } cases[] = {
        {"exclusive", false, false, {}, true},
        {"shared", true, false, {}, true},
        {"shared, another reading", true, false, {"readonly"}, true},
        {"read-only", true, true, {}, false},
        {"shared, another holding the table lock", true, false, {"shared", "table"}, false},
        {"shared, another holding a record lock", true, false, {"shared", "record", "1"}, true},
    };
    for (const Case& c : cases) {
        write_bytes(file_, committed);
        std::unique_ptr<ChildProcess> other;
        if (!c.other_holds.empty()) {
            other = hold(c.other_holds[0], {c.other_holds.begin() + 1, c.other_holds.end()});
            ASSERT_EQ(other->read_line(), "open 1") << c.who;
            if (c.other_holds.size() > 1) {
                ASSERT_EQ(other->read_line(), "lock 1") << c.who;
            }
        }
        // The writer ends with the other process already in (its own open cuts too).
        write_bytes(file_, crashed);
        {
            auto t = Table::open(file_, {c.shared, c.read_only});
            ASSERT_TRUE(t) << c.who;
            EXPECT_EQ(t->reccount(), 3u) << c.who;
        }
        EXPECT_EQ(read_bytes(file_), c.dropped ? committed : crashed) << c.who;
        EXPECT_TRUE(errors.empty()) << c.who;
    }
    // After the cut, the next append takes record 4 and ends the file as ever.
    auto t = Table::open(file_, {false, false});
    ASSERT_TRUE(t->append_blank());
    ASSERT_TRUE(t->put("TAG", "NEW"));
    t->close();
    std::string now = read_bytes(file_);
    EXPECT_EQ(now.size(), committed.size() + 13);
    EXPECT_EQ(now.substr(now.size() - 14), " NEW" + std::string(9, ' ') + "\x1A");
}

TEST_F(SharingTest, OpenModesConflictAsOnWindows) {
    struct Case {
        const char* other;
        bool shared, read_only;
        bool opens;
    } cases[] = {
        {"shared", true, false, true},      {"shared", false, false, false},
        {"readonly", true, true, true},     {"readonly", false, false, false},
        {"exclusive", true, false, false},  {"exclusive", true, true, false},
        {"exclusive", false, false, false},
    };
    // The library's handler answers a sharing conflict with the network-error flag.
    runtime::install_error_handler([this](const runtime::Error& e) -> runtime::Value {
        errors.push_back(e);
        if (e.gencode == runtime::gencode::kOpen && e.oscode == 32 && e.candefault)
            dbf::set_network_error(true);
        return false;
    });
    for (const Case& c : cases) {
        auto other = hold(c.other);
        ASSERT_EQ(other->read_line(), "open 1") << c.other;
        errors.clear();
        auto t = Table::open(file_, {c.shared, c.read_only});
        EXPECT_EQ(t != nullptr, c.opens) << c.other << " then shared=" << c.shared;
        EXPECT_EQ(dbf::network_error(), !c.opens) << c.other << " then shared=" << c.shared;
        if (!c.opens) {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].gencode, runtime::gencode::kOpen);
            EXPECT_EQ(errors[0].oscode, 32);
            EXPECT_TRUE(errors[0].candefault);
        }
    }
    // And the other way round: our exclusive open keeps the helper out.
    auto mine = Table::open(file_, {false, false});
    ASSERT_TRUE(mine);
    auto other = hold("shared");
    EXPECT_EQ(other->read_line(), "open 0 21 32 1");
}

TEST_F(SharingTest, LocksAnswerAtOnceAcrossProcesses) {
    auto t = Table::open(file_, {true, false});
    ASSERT_TRUE(t);
    {
        auto other = hold("shared", {"record", "2"});
        ASSERT_EQ(other->read_line(), "open 1");
        ASSERT_EQ(other->read_line(), "lock 1");
        EXPECT_FALSE(t->lock_record(2));
        EXPECT_TRUE(t->lock_record(3));
        EXPECT_FALSE(t->lock_table());
        EXPECT_TRUE(t->append_blank());  // the append byte is not a record's
        EXPECT_EQ(t->reccount(), 4u);
        EXPECT_TRUE(t->is_locked(4));  // the new record, in place of record 3
        EXPECT_FALSE(t->is_locked(3));
    }
    {
        auto other = hold("shared", {"table"});
        ASSERT_EQ(other->read_line(), "open 1");
        EXPECT_EQ(other->read_line(), "lock 0");  // record 4 is still ours
    }
    t->unlock_all();
    {
        auto other = hold("shared", {"table"});
        ASSERT_EQ(other->read_line(), "open 1");
        ASSERT_EQ(other->read_line(), "lock 1");
        EXPECT_FALSE(t->lock_record(1));
        errors.clear();
        EXPECT_FALSE(t->append_blank());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].gencode, runtime::gencode::kAppendLock);
        EXPECT_TRUE(errors[0].candefault);
    }
    EXPECT_TRUE(t->lock_table());
    auto other = hold("shared", {"record", "1"});
    ASSERT_EQ(other->read_line(), "open 1");
    EXPECT_EQ(other->read_line(), "lock 0");
}

TEST_F(SharingTest, ARecordLockReleasesTheOthersAndSurvivesAnotherDescriptor) {
    auto t = Table::open(file_, {true, false});
    ASSERT_TRUE(t->lock_record(1));
    {
        auto second = Table::open(file_, {true, true});
        ASSERT_TRUE(second);
    }  // closing another descriptor of the same file keeps this one's locks
    {
        auto other = hold("shared", {"record", "1"});
        ASSERT_EQ(other->read_line(), "open 1");
        EXPECT_EQ(other->read_line(), "lock 0");
    }
    ASSERT_TRUE(t->lock_record(2));
    EXPECT_TRUE(t->is_locked(2));
    EXPECT_FALSE(t->is_locked(1));
    auto other = hold("shared", {"record", "1"});
    ASSERT_EQ(other->read_line(), "open 1");
    EXPECT_EQ(other->read_line(), "lock 1");
    t->unlock_all();
}

TEST_F(SharingTest, ConcurrentAppendsLoseNothing) {
    constexpr int kProcesses = 4;
    constexpr int kEach = 150;
    // Record by record under the append lock, and in batches under the table lock (new
    // records gathered and written with their count when the lock is released).
    for (const char* batch : {"0", "40"}) {
        SCOPED_TRACE(std::string("batch ") + batch);
        ASSERT_TRUE(Table::create(file_, {{"TAG", 'C', 4, 0}, {"SEQ", 'N', 8, 0}}));
        Table::open(file_, {false, false})->append_blank();
        std::vector<std::unique_ptr<ChildProcess>> writers;
        for (int p = 0; p < kProcesses; ++p)
            writers.push_back(std::make_unique<ChildProcess>(
                std::vector<std::string>{helper_path(), "append", file_, std::to_string(kEach),
                                         "P" + std::to_string(p), batch}));
        // Opening and reading while they append sees a consistent table every time.
        for (int i = 0; i < 50; ++i) {
            auto t = Table::open(file_, {true, true});
            ASSERT_TRUE(t) << i;
            EXPECT_TRUE(t->go_bottom()) << i;
        }
        EXPECT_TRUE(errors.empty());
        for (auto& w : writers) {
            EXPECT_EQ(w->read_line().rfind("appended 150 ", 0), 0u);
            EXPECT_EQ(w->wait(), 0);
        }
        auto t = Table::open(file_, {true, true});
        ASSERT_TRUE(t);
        EXPECT_EQ(t->reccount(), 1u + kProcesses * kEach);
        std::map<std::string, std::set<int>> seen;
        int blank = 0;
        for (t->go_top(); !t->eof(); t->skip(1)) {
            std::string tag = runtime::trim(t->get("TAG").text());
            if (tag.empty()) {
                ++blank;
                continue;
            }
            EXPECT_TRUE(seen[tag].insert(static_cast<int>(t->get("SEQ").number())).second);
        }
        EXPECT_EQ(blank, 1);
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(kProcesses));
        for (auto& [tag, seqs] : seen) {
            EXPECT_EQ(seqs.size(), static_cast<std::size_t>(kEach)) << tag;
            EXPECT_EQ(*seqs.rbegin(), kEach) << tag;
        }
        std::string bytes = read_bytes(file_);
        const auto& h = t->header();
        EXPECT_EQ(bytes.size(), h.header_length + std::size_t{h.count} * h.record_length + 1);
        EXPECT_EQ(bytes.back(), '\x1A');
    }
}

TEST_F(SharingTest, UnderTheTableLockOthersSeeTheTableAsItWasUntilTheRelease) {
    auto mine = Table::open(file_, {true, false});
    auto other = Table::open(file_, {true, false});
    ASSERT_TRUE(mine && other);
    // Kept in memory while the lock is held: a record read, then changed by another.
    ASSERT_TRUE(mine->lock_table());
    ASSERT_TRUE(mine->go_to(2));
    EXPECT_EQ(mine->get("TAG").text(), "    ");
    mine->unlock_all();
    ASSERT_TRUE(other->go_to(2) && other->lock_record());
    ASSERT_TRUE(other->put("TAG", "NEW"));
    other->unlock_all();
    ASSERT_TRUE(mine->lock_table());
    ASSERT_TRUE(mine->go_to(2));
    EXPECT_EQ(mine->get("TAG").text(), "NEW ");
    // Appends gathered under the lock, more than one run of them: the other handle reads
    // the old count and whole records meanwhile, and everything after the release.
    constexpr std::uint32_t kNew = 9000;
    for (std::uint32_t i = 1; i <= kNew; ++i) {
        ASSERT_TRUE(mine->append_blank());
        ASSERT_TRUE(mine->put("SEQ", static_cast<double>(i)));
        if (i % 3000 == 0) {
            std::uint32_t seen = other->reccount();
            EXPECT_GE(seen, 3u);
            EXPECT_LT(seen, 3u + i);
            ASSERT_TRUE(other->go_bottom());
            EXPECT_EQ(other->recno(), seen);
        }
    }
    EXPECT_EQ(mine->reccount(), 3u + kNew);
    EXPECT_FALSE(other->lock_record(2));
    mine->unlock_all();
    EXPECT_EQ(other->reccount(), 3u + kNew);
    ASSERT_TRUE(other->go_bottom());
    EXPECT_EQ(other->get("SEQ").number(), kNew);
    std::uint32_t n = 0;
    for (other->go_top(); !other->eof(); other->skip(1)) {
        if (other->recno() > 3) {
            EXPECT_EQ(other->get("SEQ").number(), ++n);
        }
    }
    EXPECT_EQ(n, kNew);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace dbf_test
