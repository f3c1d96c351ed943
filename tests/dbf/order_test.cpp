// Orders on a table: index files added and made, the controlling order, navigation in
// its order with hidden deleted records, seeks, scopes, key counts and locate, and the
// orders' upkeep through every kind of record write.
#include <gtest/gtest.h>

#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "dbf/order_check.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "runtime/settings.h"

namespace dbf_test {
namespace {

using dbf::Bound;
using dbf::Table;

class OrderTest : public DbfTest {
protected:
    // PEOPLE: NAME, AGE, BORN, OK; records 1..n from the rows.
    std::unique_ptr<Table> people(bool shared = false) {
        EXPECT_TRUE(Table::create(path("PEOPLE"), {{"NAME", 'C', 10, 0},
                                                   {"AGE", 'N', 6, 1},
                                                   {"BORN", 'D', 8, 0},
                                                   {"OK", 'L', 1, 0}}));
        auto t = Table::open(path("PEOPLE"), {shared, false});
        struct Row {
            const char* name;
            double age;
            int year;
            bool ok;
        } rows[] = {{"mario", 40, 1984, true},  {"anna", -2.5, 0, false}, {"Zeno", 0, 1990, true},
                    {"marco", 40, 1970, false}, {"bea", 12.5, 2012, true}, {"mar", 7, 2017, false}};
        for (const Row& r : rows) {
            t->append_blank();
            t->put("NAME", r.name);
            t->put("AGE", r.age);
            if (r.year) t->put("BORN", *runtime::Date::from_ymd(r.year, 6, 1));
            t->put("OK", r.ok);
        }
        t->commit();
        return t;
    }
    // The record numbers from the top to the end in the controlling order.
    static std::vector<std::uint32_t> walk(Table& t) {
        std::vector<std::uint32_t> out;
        for (t.go_top(); !t.eof(); t.skip(1)) out.push_back(t.recno());
        return out;
    }
    static std::vector<std::uint32_t> walk_back(Table& t) {
        std::vector<std::uint32_t> out;
        for (t.go_bottom(); !t.bof(); t.skip(-1)) out.push_back(t.recno());
        return out;
    }
    using Recnos = std::vector<std::uint32_t>;
};

TEST_F(OrderTest, OrdersAreNumberedAcrossFilesAndDescribeThemselves) {
    auto t = people();
    ASSERT_TRUE(t->order_create(path("A.NTX"), "", "name"));
    dbf::OrderCondition adults;
    adults.for_text = "age >= 18";
    adults.unique = true;
    ASSERT_TRUE(t->order_create(path("A.NTX"), "byage", "age", adults));
    ASSERT_TRUE(t->order_create(path("B.NTX"), "born", "born"));
    t->order_clear();
    EXPECT_EQ(t->order_count(), 0);
    EXPECT_EQ(t->order(), 0);

    ASSERT_TRUE(t->order_add(path("A.NTX")));
    EXPECT_EQ(t->order(), 1) << "the first order of the first file controls";
    ASSERT_TRUE(t->order_add(path("B.NTX")));
    ASSERT_TRUE(t->order_add(path("a.ntx")));  // already added: nothing changes
    EXPECT_EQ(t->order_count(), 3);
    EXPECT_EQ(t->order(), 1);

    dbf::OrderInfo a = t->order_info(1);
    EXPECT_EQ(a.name, "A");
    EXPECT_EQ(a.key, "name");
    EXPECT_EQ(a.file, path("A.NTX"));
    dbf::OrderInfo by_age = t->order_info(2);
    EXPECT_EQ(by_age.name, "BYAGE");
    EXPECT_EQ(by_age.condition, "age >= 18");
    EXPECT_TRUE(by_age.unique);
    EXPECT_EQ(t->order_info(3).file, path("B.NTX"));

    ASSERT_TRUE(t->set_order("born"));
    EXPECT_EQ(t->order(), 3);
    EXPECT_FALSE(t->set_order("nosuch"));
    EXPECT_FALSE(t->set_order(4));
    EXPECT_EQ(t->order(), 3);
    ASSERT_TRUE(t->set_order(0));
    EXPECT_EQ(t->order_info().name, "");
    EXPECT_EQ(walk(*t), (Recnos{1, 2, 3, 4, 5, 6}));

    // The FOR unique order holds one adult of each age: mario (40) before marco.
    ASSERT_TRUE(t->set_order(2));
    EXPECT_EQ(walk(*t), (Recnos{1}));
    EXPECT_TRUE(dbf::check_orders(*t).empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, NavigationFollowsEachKeyType) {
    auto t = people();
    ASSERT_TRUE(t->order_create(path("P"), "name", "name"));
    ASSERT_TRUE(t->order_create(path("P"), "age", "age"));
    ASSERT_TRUE(t->order_create(path("P"), "born", "born"));
    ASSERT_TRUE(t->order_create(path("P"), "ok", "ok"));
    ASSERT_TRUE(t->order_create(path("P"), "upname", "UPPER(name)"));
    ASSERT_TRUE(t->order_create(path("P"), "number", "RECNO()"));
    struct Case {
        const char* order;
        Recnos top_to_bottom;
    } cases[] = {
        {"name", {3, 2, 5, 6, 4, 1}},    // bytes: upper case first
        {"age", {2, 3, 6, 5, 1, 4}},     // -2.5, 0, 7, 12.5, 40, 40
        {"born", {2, 4, 1, 3, 5, 6}},    // the empty date first
        {"ok", {2, 4, 6, 1, 3, 5}},      // F before T
        {"upname", {2, 5, 6, 4, 1, 3}},  // ANNA BEA MAR MARCO MARIO ZENO
        {"number", {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(t->set_order(c.order));
        EXPECT_EQ(walk(*t), c.top_to_bottom) << c.order;
        Recnos back(c.top_to_bottom.rbegin(), c.top_to_bottom.rend());
        EXPECT_EQ(walk_back(*t), back) << c.order;
    }
    // Ends: skip past the bottom is the end; back from the top is bof on the first.
    ASSERT_TRUE(t->set_order("age"));
    t->go_bottom();
    t->skip(1);
    EXPECT_TRUE(t->eof());
    t->skip(-1);
    EXPECT_EQ(t->recno(), 4u);
    t->go_top();
    t->skip(-1);
    EXPECT_TRUE(t->bof());
    EXPECT_EQ(t->recno(), 2u);
    t->skip(3);
    EXPECT_EQ(t->recno(), 5u);
    t->skip(-2);
    EXPECT_EQ(t->recno(), 3u);

    // Hidden deleted records are passed over in order too.
    runtime::set_setting(dbf::kSettingDeletedHidden, true);
    t->go_to(6);
    t->remove();
    t->go_to(2);
    t->remove();
    EXPECT_EQ(walk(*t), (Recnos{3, 5, 1, 4}));
    EXPECT_EQ(walk_back(*t), (Recnos{4, 1, 5, 3}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, SeeksFindKeyBeginningsAndSoftSeeksStayOnTheNext) {
    auto t = people();
    ASSERT_TRUE(t->order_create(path("P"), "name", "name"));
    ASSERT_TRUE(t->order_create(path("P"), "age", "age"));
    ASSERT_TRUE(t->order_create(path("P"), "born", "born"));
    struct Case {
        const char* order;
        runtime::Value key;
        bool soft;
        bool found;
        std::uint32_t recno;  // 0: the end
    } cases[] = {
        {"name", "mar", false, true, 6},      // "mar" itself sorts before "marco"
        {"name", "marc", false, true, 4},
        {"name", "mari", true, true, 1},
        {"name", "marx", false, false, 0},
        {"name", "marx", true, false, 0},     // nothing after "marx"
        {"name", "b", true, true, 5},
        {"name", "c", true, false, 6},        // soft: the next key, "mar"
        {"name", "", false, true, 3},         // the empty text begins every key
        {"age", 40.0, false, true, 1},        // the lower record number first
        {"age", 8.0, false, false, 0},
        {"age", 8.0, true, false, 5},
        {"age", -100.0, true, false, 2},
        {"born", runtime::Date(), false, true, 2},
        {"born", *runtime::Date::from_ymd(1984, 6, 1), false, true, 1},
        {"born", *runtime::Date::from_ymd(2000, 1, 1), true, false, 5},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(t->set_order(c.order));
        ASSERT_TRUE(t->seek(c.key, c.soft)) << c.order;
        EXPECT_EQ(t->found(), c.found) << c.order << " " << c.recno;
        if (c.recno) {
            EXPECT_FALSE(t->eof()) << c.order << " " << c.recno;
            EXPECT_EQ(t->recno(), c.recno) << c.order;
        } else {
            EXPECT_TRUE(t->eof()) << c.order;
        }
    }
    // A key of the wrong type is refused, and a seek without an order too.
    ASSERT_TRUE(t->set_order("age"));
    EXPECT_FALSE(t->seek(runtime::Value("x")));
    t->set_order(0);
    EXPECT_FALSE(t->seek(runtime::Value("x")));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].subcode, dbf::subcode::kBadOrder);
}

TEST_F(OrderTest, ScopesLimitNavigationSeeksAndKeyCounts) {
    auto t = people();
    ASSERT_TRUE(t->order_create(path("P"), "name", "name"));
    EXPECT_EQ(t->key_count(), 6);
    ASSERT_TRUE(t->set_scope(Bound::kTop, "mar"));
    ASSERT_TRUE(t->set_scope(Bound::kBottom, "mar"));
    EXPECT_EQ(t->scope(Bound::kTop), runtime::Value("mar"));
    EXPECT_EQ(walk(*t), (Recnos{6, 4, 1}));
    EXPECT_EQ(walk_back(*t), (Recnos{1, 4, 6}));
    EXPECT_EQ(t->key_count(), 3);
    EXPECT_TRUE(t->seek(runtime::Value("mari")));
    EXPECT_EQ(t->recno(), 1u);
    EXPECT_TRUE(t->seek(runtime::Value("anna")));  // out of scope
    EXPECT_FALSE(t->found());
    EXPECT_TRUE(t->eof());
    ASSERT_TRUE(t->seek(runtime::Value("a"), true));  // soft, before the scope: its top
    EXPECT_EQ(t->recno(), 6u);
    ASSERT_TRUE(t->set_scope(Bound::kBottom, runtime::Value()));
    EXPECT_EQ(walk(*t), (Recnos{6, 4, 1}));  // "mario" is the last key from "mar" on
    ASSERT_TRUE(t->set_scope(Bound::kTop, "b"));
    EXPECT_EQ(walk(*t), (Recnos{5, 6, 4, 1}));
    EXPECT_EQ(t->key_count(), 4);
    ASSERT_TRUE(t->set_scope(Bound::kTop, runtime::Value()));
    EXPECT_EQ(t->key_count(), 6);
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, LocateSearchesInOrderFromTheTopOrFromHere) {
    auto t = people();
    ASSERT_TRUE(t->order_create(path("P"), "age", "age"));
    ASSERT_TRUE(t->locate("ok", true));  // in age order: Zeno (0) is the first true
    EXPECT_TRUE(t->found());
    EXPECT_EQ(t->recno(), 3u);
    t->skip(1);
    ASSERT_TRUE(t->locate("ok", false));
    EXPECT_EQ(t->recno(), 5u);
    t->skip(1);
    ASSERT_TRUE(t->locate("ok", false));
    EXPECT_EQ(t->recno(), 1u);
    t->skip(1);
    ASSERT_TRUE(t->locate("ok", false));
    EXPECT_FALSE(t->found());
    EXPECT_TRUE(t->eof());
    EXPECT_FALSE(t->locate("ok +", true));  // does not compile: raised
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(OrderTest, EveryWriteKeepsEveryOrderTrueAndTheFileReopensSo) {
    {
        auto t = people();
        ASSERT_TRUE(t->order_create(path("P"), "name", "name"));
        ASSERT_TRUE(t->order_create(path("Q"), "age", "age"));
        t->go_to(3);
        t->put("NAME", "aaron");  // a key moves
        t->go_to(4);
        t->remove();  // deleted records keep their keys
        t->append_blank();
        t->put("NAME", "zorro");
        t->put("AGE", 99.0);
        t->go_to(2);
        t->recall();
        EXPECT_TRUE(dbf::check_orders(*t).empty());
        ASSERT_TRUE(t->set_order("name"));
        EXPECT_EQ(walk(*t), (Recnos{3, 2, 5, 6, 4, 1, 7}));
    }
    auto t = Table::open(path("PEOPLE"), {false, false});
    ASSERT_TRUE(t->order_add(path("P")));
    ASSERT_TRUE(t->order_add(path("Q")));
    EXPECT_EQ(walk(*t), (Recnos{3, 2, 5, 6, 4, 1, 7}));
    ASSERT_TRUE(t->set_order("age"));
    EXPECT_EQ(walk(*t), (Recnos{2, 3, 6, 5, 1, 4, 7}));
    EXPECT_TRUE(dbf::check_orders(*t).empty());
    ASSERT_TRUE(t->zap());
    EXPECT_EQ(t->key_count(), 0);
    t->append_blank();
    t->put("AGE", 5.0);
    EXPECT_EQ(walk(*t), (Recnos{1}));
    EXPECT_TRUE(dbf::check_orders(*t).empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, BuildConditionsTakeACallbackOrTheControllingOrder) {
    auto t = people();
    dbf::OrderCondition young;
    young.for_block = runtime::Value(runtime::Callback([&t](std::vector<runtime::Value>&) {
        return runtime::Value(t->get("AGE").number() < 10);
    }));
    ASSERT_TRUE(t->order_create(path("P"), "young", "name", young));
    EXPECT_EQ(walk(*t), (Recnos{3, 2, 6}));
    // Only what the controlling order shows: the young, by age.
    dbf::OrderCondition current;
    current.use_current = true;
    ASSERT_TRUE(t->order_create(path("P"), "youngage", "age", current));
    EXPECT_EQ(walk(*t), (Recnos{2, 3, 6}));
    EXPECT_TRUE(errors.empty());
}

// A view's order: the callback chooses the records of the build, the condition text
// kept with the tag decides afterwards, at every write, whether a record is in.
TEST_F(OrderTest, AfterTheBuildTheConditionTextKeepsRecordsInOrOut) {
    auto t = people();
    dbf::OrderCondition view;
    view.for_text = "!DELETED()";
    view.for_block = runtime::Value(runtime::Callback([&t](std::vector<runtime::Value>&) {
        return runtime::Value(t->get("AGE").number() < 10);
    }));
    ASSERT_TRUE(t->order_create(path("V"), "", "name", view));
    EXPECT_EQ(walk(*t), (Recnos{3, 2, 6}));
    ASSERT_TRUE(t->go_to(2));
    ASSERT_TRUE(t->remove());
    EXPECT_EQ(walk(*t), (Recnos{3, 6})) << "a deleted record leaves";
    ASSERT_TRUE(t->go_to(2));
    ASSERT_TRUE(t->recall());
    EXPECT_EQ(walk(*t), (Recnos{3, 2, 6})) << "a recalled one comes back";
    ASSERT_TRUE(t->go_to(6));
    t->put("NAME", "aaron");
    EXPECT_EQ(walk(*t), (Recnos{3, 6, 2})) << "a changed key moves";
    t->append_blank();
    t->put("NAME", "bob");
    t->put("AGE", 50.0);
    EXPECT_EQ(walk(*t), (Recnos{3, 6, 2, 7})) << "a new record meets the text";
    EXPECT_TRUE(errors.empty());
}

TEST_F(OrderTest, KeysThatCannotBeMadeAreRefused) {
    auto t = people();
    EXPECT_FALSE(t->order_create(path("P"), "bad", "nosuchfield"));
    EXPECT_FALSE(t->order_create(path("P"), "bad", "name +"));
    EXPECT_FALSE(errors.empty());
    errors.clear();
    t.reset();
    auto ro = Table::open(path("PEOPLE"), {true, true});
    ASSERT_TRUE(ro);
    EXPECT_FALSE(ro->order_create(path("P"), "n", "name"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].subcode, dbf::subcode::kReadOnly);
}

}  // namespace
}  // namespace dbf_test
