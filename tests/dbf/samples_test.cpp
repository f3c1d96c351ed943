// Tables and memos written by other tools, read with the values an independent reader
// (dbfread) gives for them. The full field-by-field comparison with that reader runs in
// independent_readers.py; these cases pin the layouts one by one.
#include <gtest/gtest.h>

#include "dbf/table.h"
#include "dbf_fixture.h"
#include "runtime/text1252.h"

namespace dbf_test {
namespace {

using dbf::Table;

class SamplesTest : public DbfTest {
protected:
    std::unique_ptr<Table> open_copy(const std::string& table, const std::string& memo = "") {
        std::string file = copy_sample(table);
        if (!memo.empty()) copy_sample(memo);
        return Table::open(file, {true, true});
    }
};

TEST_F(SamplesTest, EverySampleReadsWholeWithItsCount) {
    struct Case {
        const char* table;
        const char* memo;
        std::uint32_t count;
        unsigned char type;
    } cases[] = {
        {"infused-dbase/dbase_03.dbf", "", 14, 0x03},
        {"infused-dbase/dbase_30.dbf", "infused-dbase/dbase_30.fpt", 34, 0x30},
        {"infused-dbase/dbase_31.dbf", "", 77, 0x31},
        {"infused-dbase/dbase_83.dbf", "infused-dbase/dbase_83.dbt", 67, 0x83},
        {"infused-dbase/dbase_8b.dbf", "infused-dbase/dbase_8b.dbt", 10, 0x8B},
        {"infused-foxprodb/calls.dbf", "infused-foxprodb/calls.FPT", 16, 0x30},
        {"infused-foxprodb/contacts.dbf", "infused-foxprodb/contacts.FPT", 5, 0x30},
        {"infused-foxprodb/setup.dbf", "", 3, 0x30},
        {"infused-foxprodb/types.dbf", "", 2, 0x30},
        {"go-dbase/employees.dbf", "go-dbase/employees.FPT", 3, 0x30},
        {"go-dbase/expense categories.dbf", "", 0, 0x30},
        {"go-dbase/expense details.dbf", "", 0, 0x30},
        {"go-dbase/expense reports.dbf", "go-dbase/expense reports.FPT", 3, 0x30},
        {"go-dbase/TEST.DBF", "go-dbase/TEST.FPT", 0, 0x32},
    };
    for (const Case& c : cases) {
        auto t = open_copy(c.table, c.memo);
        ASSERT_TRUE(t) << c.table;
        EXPECT_EQ(t->header().type, c.type) << c.table;
        std::uint32_t seen = 0;
        for (t->go_top(); !t->eof(); t->skip(1)) {
            ++seen;
            for (int f = 1; f <= static_cast<int>(t->fields().size()); ++f) t->get(f);
        }
        if (c.count)
            EXPECT_EQ(seen, c.count) << c.table;
        else
            EXPECT_EQ(seen, t->reccount()) << c.table;
        EXPECT_TRUE(errors.empty()) << c.table << ": " << errors.front().description.value_or("");
        errors.clear();
    }
}

TEST_F(SamplesTest, DbaseThreeWithDbtMemos) {
    auto t = open_copy("infused-dbase/dbase_83.dbf", "infused-dbase/dbase_83.dbt");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->get("ID").number(), 87);
    EXPECT_EQ(t->get("NAME").text().substr(0, 21), "Assorted Petits Fours");
    EXPECT_EQ(t->get("WEIGHT").number(), 5.51);
    EXPECT_TRUE(t->get("TAXABLE").logical());
    EXPECT_EQ(t->get("DESC").text().size(), 524u);
    EXPECT_EQ(t->get("DESC").text().substr(0, 40), "Our Original assortment...a little taste");
    t->go_bottom();
    EXPECT_EQ(t->get("PRICE").number(), 29.75);
    EXPECT_EQ(t->get("DESC").text().substr(0, 60),
              "This tin is filled with a tempting trio of crunchy pleasures");
}

TEST_F(SamplesTest, DbaseFourMemosAndDates) {
    auto t = open_copy("infused-dbase/dbase_8b.dbf", "infused-dbase/dbase_8b.dbt");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->get("CHARACTER").text().substr(0, 3), "One");
    EXPECT_EQ(t->get("DATE").date(), *runtime::Date::from_ymd(1970, 1, 1));
    EXPECT_EQ(t->get("MEMO").text(), "First memo\r\n");
    EXPECT_NEAR(t->get("FLOAT").number(), 1.23456789012346, 1e-12);
    t->go_to(10);
    EXPECT_TRUE(t->get("DATE").date().empty());
    EXPECT_EQ(t->get("MEMO").text(), "");
}

TEST_F(SamplesTest, VisualFoxProTypesAndFptMemos) {
    auto t = open_copy("infused-foxprodb/contacts.dbf", "infused-foxprodb/contacts.FPT");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->get("CONTACT_ID").number(), 1);
    EXPECT_EQ(runtime::trim_right(t->get("ADDRESS").text()), "507 - 20th Ave. E.\r\nApt. 2A");
    EXPECT_EQ(t->get("BIRTHDATE").date(), *runtime::Date::from_ymd(1963, 4, 8));
    EXPECT_EQ(t->get("NOTES").text().substr(0, 19), "Education includes ");

    auto calls = open_copy("infused-foxprodb/calls.dbf", "infused-foxprodb/calls.FPT");
    runtime::Value when = calls->get("CALL_DATE");
    ASSERT_TRUE(when.is_datetime());
    EXPECT_EQ(when.datetime().date, *runtime::Date::from_ymd(1994, 11, 21));
    EXPECT_EQ(when.datetime().milliseconds / 1000, 13 * 3600 + 35 * 60 + 39);

    auto products = open_copy("infused-dbase/dbase_31.dbf");
    products->go_bottom();
    EXPECT_EQ(products->get("PRODUCTID").number(), 77);
    EXPECT_EQ(products->get("UNITPRICE").number(), 13);
    EXPECT_EQ(products->get("PRODUCTNAM").text().substr(0, 31),
              "Original Frankfurter gr\xFCne So\xE1"
              "e");
}

}  // namespace
}  // namespace dbf_test
