// Several processes changing one indexed table under record and table locks: afterwards
// every order agrees with the records and every append is there.
#include <gtest/gtest.h>

#include <memory>

#include "child_process.h"
#include "dbf/order_check.h"
#include "dbf/table.h"
#include "dbf_fixture.h"

namespace dbf_test {
namespace {

class CdxSharingTest : public DbfTest {};

TEST_F(CdxSharingTest, ProcessesChangingOneTableLeaveEveryOrderTrue) {
    ASSERT_TRUE(dbf::Table::create(path("S"), {{"NAME", 'C', 12, 0}, {"NUM", 'N', 8, 0}}));
    {
        auto t = dbf::Table::open(path("S"), {false, false});
        t->append_blank();
        t->put("NAME", "first");
        ASSERT_TRUE(t->order_create(path("S.CDX"), "NAME", "name"));
        ASSERT_TRUE(t->order_create(path("S.CDX"), "NUM", "num"));
    }
    constexpr int kWorkers = 3;
    constexpr int kEach = 150;
    std::vector<std::unique_ptr<ChildProcess>> workers;
    for (int w = 1; w <= kWorkers; ++w)
        workers.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{
            VELKAN_CDX_HELPER, "work", path("S.DBF"), path("S.CDX"), std::to_string(w),
            std::to_string(kEach)}));
    // This process reads in order while they write: every walk sees keys in order.
    {
        auto t = dbf::Table::open(path("S"), {true, true});
        ASSERT_TRUE(t->order_add(path("S.CDX")));
        for (int round = 0; round < 20; ++round) {
            std::string previous;
            for (t->go_top(); !t->eof(); t->skip(1)) {
                std::string name = t->get("NAME").text();
                EXPECT_LE(previous, name);
                previous = name;
            }
        }
    }
    for (int w = 0; w < kWorkers; ++w) {
        EXPECT_EQ(workers[w]->read_line(), "done " + std::to_string(w + 1) + " 150");
        EXPECT_EQ(workers[w]->wait(), 0);
    }
    auto t = dbf::Table::open(path("S"), {false, false});
    ASSERT_TRUE(t->order_add(path("S.CDX")));
    EXPECT_EQ(t->reccount(), 1u + kWorkers * kEach / 3);
    std::vector<std::string> problems = dbf::check_orders(*t);
    EXPECT_TRUE(problems.empty()) << problems.front();
    // Every committed append is there, found through the order.
    for (int w = 1; w <= kWorkers; ++w)
        for (int i = 1; i <= kEach; i += 3) {
            ASSERT_TRUE(t->seek(runtime::Value("w" + std::to_string(w) + "-" + std::to_string(i) + " ")));
            EXPECT_TRUE(t->found()) << w << "-" << i;
        }
    EXPECT_TRUE(errors.empty());
}

// Another user of the table adds a tag to an index file this one has open, and replaces
// the tag that controls here: this user's writes keep both new tags true, and its
// controlling order follows the replaced tag by name.
TEST_F(CdxSharingTest, TagsAnotherUserMakesAreKeptUpToDateHereToo) {
    ASSERT_TRUE(dbf::Table::create(path("T"), {{"NAME", 'C', 12, 0}, {"NUM", 'N', 8, 0}}));
    {
        auto t = dbf::Table::open(path("T"), {false, false});
        for (const char* name : {"carla", "Bruno", "anna"}) {
            t->append_blank();
            t->put("NAME", name);
            t->put("NUM", static_cast<double>(t->recno()));
        }
        ASSERT_TRUE(t->order_create(path("T.CDX"), "NAME", "name"));
    }
    auto mine = dbf::Table::open(path("T"), {true, false});
    ASSERT_TRUE(mine->order_add(path("T.CDX")));
    ASSERT_EQ(mine->order_count(), 1);
    {
        auto other = dbf::Table::open(path("T"), {true, false});
        ASSERT_TRUE(other->order_add(path("T.CDX")));
        ASSERT_TRUE(other->order_create(path("T.CDX"), "NUM", "num"));
        ASSERT_TRUE(other->order_create(path("T.CDX"), "NAME", "UPPER(name)"));
    }
    ASSERT_TRUE(mine->append_blank());
    mine->put("NAME", "dario");
    mine->put("NUM", -1.0);
    ASSERT_TRUE(mine->go_to(1));
    ASSERT_TRUE(mine->lock_record());
    mine->put("NUM", 50.0);
    ASSERT_TRUE(mine->commit());
    EXPECT_EQ(mine->order_count(), 2);
    EXPECT_EQ(mine->order_info().name, "NAME");
    EXPECT_EQ(mine->order_info().key, "UPPER(name)");
    std::vector<std::string> names;
    for (mine->go_top(); !mine->eof(); mine->skip(1)) names.push_back(mine->get("NAME").text());
    EXPECT_EQ(names, (std::vector<std::string>{"anna        ", "Bruno       ", "carla       ",
                                               "dario       "}));
    mine.reset();
    auto t = dbf::Table::open(path("T"), {false, false});
    ASSERT_TRUE(t->order_add(path("T.CDX")));
    std::vector<std::string> problems = dbf::check_orders(*t);
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_TRUE(t->set_order("NUM"));
    EXPECT_TRUE(t->go_top());
    EXPECT_EQ(t->get("NAME").text(), "dario       ");
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace dbf_test
