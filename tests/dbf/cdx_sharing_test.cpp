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

}  // namespace
}  // namespace dbf_test
