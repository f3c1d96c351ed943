#include "dbf/work_areas.h"

#include <gtest/gtest.h>

#include "dbf/engine_settings.h"
#include "dbf_fixture.h"
#include "runtime/expr.h"

namespace dbf_test {
namespace {

using dbf::WorkAreas;

class WorkAreasTest : public DbfTest {
protected:
    void SetUp() override {
        DbfTest::SetUp();
        for (const char* n : {"clienti", "ordini", "righe"})
            ASSERT_TRUE(dbf::Table::create(path(n), {{"CODE", 'C', 4, 0}, {"QTY", 'N', 4, 0}}));
    }
    WorkAreas areas;
};

TEST_F(WorkAreasTest, SlotsAliasesAndSelection) {
    EXPECT_EQ(areas.current(), 1);
    EXPECT_FALSE(areas.used());
    ASSERT_TRUE(areas.use(path("clienti"), {}));
    ASSERT_TRUE(areas.use(path("ordini"), {true, "", "MYORD", true, false}));
    EXPECT_EQ(areas.current(), 2);
    EXPECT_EQ(areas.alias(1), "CLIENTI");
    EXPECT_EQ(areas.alias(), "MYORD");
    EXPECT_EQ(areas.area_of("myord"), 2);
    EXPECT_EQ(areas.area_of("nothing"), 0);
    EXPECT_EQ(areas.lowest_free(), 3);

    struct Case {
        const char* select;
        bool ok;
        int current;
    } cases[] = {{"clienti", true, 1}, {"0", true, 3},         {"2", true, 2},
                 {"nobody", false, 2}, {"65535", true, 65535}, {"65536", false, 65535}};
    for (const Case& c : cases) {
        EXPECT_EQ(areas.select(std::string_view(c.select)), c.ok) << c.select;
        EXPECT_EQ(areas.current(), c.current) << c.select;
    }
    ASSERT_TRUE(areas.select(1));
    areas.close();
    EXPECT_EQ(areas.lowest_free(), 1);
    EXPECT_FALSE(areas.used());
    // Opening in the current slot replaces what it held.
    ASSERT_TRUE(areas.select(2));
    ASSERT_TRUE(areas.use(path("righe"), {false, "", "", true, false}));
    EXPECT_EQ(areas.current(), 2);
    EXPECT_EQ(areas.alias(2), "RIGHE");
    EXPECT_EQ(areas.area_of("MYORD"), 0);
    areas.close_all();
    EXPECT_EQ(areas.lowest_free(), 1);
}

TEST_F(WorkAreasTest, RefusesAnUnknownDriverOrLockSchemeAndATakenAlias) {
    EXPECT_FALSE(areas.use(path("clienti"), {true, "DBFNTX", "", true, false}));
    ASSERT_EQ(errors.size(), 1u);
    runtime::set_setting(dbf::kSettingLockScheme, 2);
    EXPECT_FALSE(areas.use(path("clienti"), {true, "", "", true, false}));
    EXPECT_EQ(errors.size(), 2u);
    runtime::set_setting(dbf::kSettingLockScheme, 4);
    errors.clear();
    ASSERT_TRUE(areas.use(path("clienti"), {true, "dbfcdx", "", true, false}));
    EXPECT_FALSE(areas.use(path("ordini"), {true, "", "CLIENTI", true, false}));
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(WorkAreasTest, ExpressionsSeeFieldsThroughTheAreas) {
    ASSERT_TRUE(areas.use(path("clienti"), {true, "", "", false, false}));
    dbf::Table* c = areas.table();
    c->append_blank();
    c->put("CODE", "AB");
    c->put("QTY", 7);
    ASSERT_TRUE(areas.use(path("ordini"), {true, "", "", false, false}));
    areas.table()->append_blank();
    areas.table()->put("QTY", 5);
    struct Case {
        const char* text;
        runtime::Value want;
    } cases[] = {
        {"QTY", 5},
        {"clienti->QTY + QTY", 12},
        {"FIELD->QTY * 2", 10},
        {"TRIM(CLIENTI->CODE) + 'C'", "ABC"},
        {"RECNO()", 1},
        {"DELETED()", false},
    };
    for (const Case& k : cases) EXPECT_EQ(runtime::evaluate_text(k.text, &areas), k.want) << k.text;
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(runtime::evaluate_text("NOALIAS->QTY", &areas), runtime::Value(false));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].gencode, runtime::gencode::kNoAlias);
}

}  // namespace
}  // namespace dbf_test
