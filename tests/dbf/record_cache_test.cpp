// The records a table keeps in memory while it is used alone: a table larger than the
// cache, read and written in random order, in order and backwards, with new records
// arriving in between, always gives what was last written, and so does the file after.
#include "dbf/record_cache.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dbf/table.h"
#include "dbf_fixture.h"

namespace dbf_test {
namespace {

using dbf::Table;

class RecordCacheTest : public DbfTest {};

std::string text_for(std::uint32_t value) {
    std::string s = "T" + std::to_string(value);
    s.resize(100, ' ');
    return s;
}

TEST_F(RecordCacheTest, ATableLargerThanTheCacheReadsWhatWasLastWritten) {
    constexpr std::uint32_t kRecords = 25000;  // 111-byte records: 2.7 MiB
    for (const char* password : {"", "secret12"}) {
        SCOPED_TRACE(std::string("password \"") + password + "\"");
        std::string file = path(std::string("BIG") + (*password ? "X" : "") + ".DBF");
        ASSERT_TRUE(Table::create(file, {{"TEXT", 'C', 100, 0}, {"N", 'N', 10, 0}}));
        std::vector<std::uint32_t> model(1, 0);  // model[recno]
        {
            auto t = Table::open(file, {false, false});
            ASSERT_TRUE(t);
            t->set_password(password);
            for (std::uint32_t i = 1; i <= kRecords; ++i) {
                ASSERT_TRUE(t->append_blank());
                ASSERT_TRUE(t->put(1, text_for(i)) && t->put(2, static_cast<double>(i)));
                model.push_back(i);
            }
            std::mt19937 engine(5);
            auto rng = [&engine] { return static_cast<std::uint32_t>(engine()); };
            auto check = [&](const char* how) {
                ASSERT_FALSE(t->eof()) << how;
                std::uint32_t r = t->recno();
                ASSERT_EQ(t->get(2).number(), model[r]) << how << " " << r;
                ASSERT_EQ(t->get(1).text(), text_for(model[r])) << how << " " << r;
            };
            for (int op = 0; op < 60000; ++op) {
                std::uint32_t r = rng() % (static_cast<std::uint32_t>(model.size()) - 1) + 1;
                ASSERT_TRUE(t->go_to(r));
                check("go_to");
                switch (rng() % 8) {
                    case 0: {  // a change, kept or seen at once
                        std::uint32_t v = rng() % 1000000;
                        ASSERT_TRUE(t->put(1, text_for(v)) && t->put(2, static_cast<double>(v)));
                        model[r] = v;
                        break;
                    }
                    case 1:  // a short walk in order
                        for (int k = 0; k < 40 && !t->eof(); ++k, t->skip(1)) check("skip");
                        break;
                    case 2:  // and backwards
                        for (int k = 0; k < 40 && !t->bof(); ++k, t->skip(-1)) check("back");
                        break;
                    case 3:
                        if (op % 50 == 3) {  // a new record among the reads
                            std::uint32_t v = rng() % 1000000;
                            ASSERT_TRUE(t->append_blank());
                            ASSERT_TRUE(t->put(1, text_for(v)) &&
                                        t->put(2, static_cast<double>(v)));
                            model.push_back(v);
                        }
                        break;
                    default:
                        break;
                }
            }
            ASSERT_TRUE(t->commit());
        }
        auto t = Table::open(file, {true, true});
        ASSERT_TRUE(t);
        t->set_password(password);
        ASSERT_EQ(t->reccount(), model.size() - 1);
        for (t->go_top(); !t->eof(); t->skip(1))
            ASSERT_EQ(t->get(2).number(), model[t->recno()]) << t->recno();
        EXPECT_TRUE(errors.empty());
    }
}

}  // namespace
}  // namespace dbf_test
