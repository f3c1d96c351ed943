// A failing disk under the index writes: a page write that fails during an append (a
// split, a new leaf, a leaf with room, the update counter) is reported, the committed records stay
// whole, and the index is consistent or the check finds it and a rebuild repairs it.
#include <gtest/gtest.h>

#include "dbf/errors.h"
#include "dbf/order_check.h"
#include "dbf/reindex.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "faulty_files.h"

namespace dbf_test {
namespace {

using Call = FaultyFiles::Call;

class CdxFaultTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        ASSERT_TRUE(dbf::Table::create(path("F"), {{"NAME", 'C', 20, 0}}));
        auto t = dbf::Table::open(path("F"), {false, false});
        for (int i = 0; i < kCommitted; ++i) {
            t->append_blank();
            t->put("NAME", name(i));
        }
        // Built packed full: the next key in the middle splits its leaf.
        ASSERT_TRUE(t->order_create(path("F.CDX"), "NAME", "name"));
        t->close();
        table_ = read_bytes(path("F.DBF"));
        index_ = read_bytes(path("F.CDX"));
    }
    static std::string name(int i) { return "name" + std::to_string(1000 + i * 2); }

    static constexpr int kCommitted = 300;
    std::string table_, index_;
};

TEST_F(CdxFaultTest, AFailedPageWriteIsReportedAndRepairable) {
    int tried = 0;
    int repaired = 0;
    for (bool shared : {true, false}) {
        for (int nth = 1;; ++nth) {
            write_bytes(path("F.DBF"), table_);
            write_bytes(path("F.CDX"), index_);
            errors.clear();
            bool fired = false;
            {
                FaultyFiles faults;
                auto t = dbf::Table::open(path("F"), {shared, false});
                ASSERT_TRUE(t && t->order_add(path("F.CDX")));
                faults.arm({.call = Call::kWrite, .nth = nth, .oscode = 112});
                // A key between two of the built ones: its leaf splits. The next goes to
                // a half of it, which has room: changed where the cache holds it.
                bool ok = t->append_blank() && t->put("NAME", name(kCommitted / 2) + "x") &&
                          t->commit() && t->append_blank() &&
                          t->put("NAME", name(kCommitted / 2) + "y") && t->commit();
                fired = faults.fired();
                if (fired) {
                    EXPECT_FALSE(errors.empty()) << nth;
                    if (!errors.empty()) {
                        EXPECT_EQ(errors[0].oscode, 112) << nth;
                    }
                } else {
                    EXPECT_TRUE(ok);
                }
                t->close();
            }
            if (!fired) break;
            ++tried;
            errors.clear();
            auto t = dbf::Table::open(path("F"), {false, false});
            ASSERT_TRUE(t);
            for (int i = 0; i < kCommitted; ++i) {
                ASSERT_TRUE(t->go_to(static_cast<std::uint32_t>(i + 1)));
                ASSERT_EQ(t->get("NAME").text(), name(i) + std::string(20 - name(i).size(), ' '))
                    << nth;
            }
            if (!t->order_add(path("F.CDX")) || !dbf::check_orders(*t).empty() ||
                !errors.empty()) {
                ++repaired;
                errors.clear();
                t->order_clear();
                ASSERT_TRUE(dbf::reindex(*t, path("F.CDX"))) << nth;
                ASSERT_TRUE(t->order_add(path("F.CDX")));
                std::vector<std::string> problems = dbf::check_orders(*t);
                EXPECT_TRUE(problems.empty()) << nth << ": " << problems.front();
            }
            EXPECT_TRUE(errors.empty()) << nth;
        }
    }
    EXPECT_GT(tried, 4) << "the append wrote too few times to try";
    EXPECT_GT(repaired, 0) << "no failure left the index to repair";
}

}  // namespace
}  // namespace dbf_test
