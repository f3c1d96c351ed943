// 100 000 random operations on a table with three orders (a text key, a number key, a
// FOR order) against an in-memory sorted model: appends, field changes, deletes and
// recalls, exact and soft seeks, skips both ways, tops and bottoms, scopes, key counts,
// with deleted records hidden. The text keys are long, so the trees grow interior levels
// that split and join. The order check runs clean every thousand operations.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "dbf/cdx_key.h"
#include "dbf/engine_settings.h"
#include "dbf/order_check.h"
#include "dbf/table.h"
#include "dbf_fixture.h"
#include "runtime/settings.h"

namespace dbf_test {
namespace {

using dbf::cdx::Entry;

constexpr std::size_t kNameWidth = 30;
constexpr std::uint32_t kMostRecords = 2500;
constexpr int kOperations = 100'000;

struct Model {
    struct Rec {
        std::string name;
        double num = 0;
        bool deleted = false;
    };
    std::vector<Rec> recs;
    std::set<Entry> keys[3];  // NAME, NUM, PAID (name FOR num > 0)
    std::optional<std::string> top, bottom;  // scopes of NAME

    std::optional<std::string> key(int order, const Rec& r) const {
        if (order == 1) return dbf::encode_number_key(r.num);
        if (order == 2 && !(r.num > 0)) return std::nullopt;
        return r.name;
    }
    void put(std::uint32_t n, const Rec& now) {
        for (int o = 0; o < 3; ++o) {
            if (n <= recs.size())
                if (auto k = key(o, recs[n - 1])) keys[o].erase(Entry{*k, n, 0});
            if (auto k = key(o, now)) keys[o].insert(Entry{*k, n, 0});
        }
        if (n > recs.size()) recs.push_back(now);
        else recs[n - 1] = now;
    }
    bool in_range(int o, const Entry& e) const {
        if (o != 0) return true;
        if (top && e.key.compare(0, top->size(), *top) < 0) return false;
        return !(bottom && e.key.compare(0, bottom->size(), *bottom) > 0);
    }
    bool shows(int o, const Entry& e) const { return in_range(o, e) && !recs[e.recno - 1].deleted; }
    // The first shown entry from `it` on, forwards; 0 when none.
    std::uint32_t forward(int o, std::set<Entry>::const_iterator it) const {
        for (; it != keys[o].end() && in_range(o, *it); ++it)
            if (shows(o, *it)) return it->recno;
        return 0;
    }
    std::uint32_t backward(int o, std::set<Entry>::const_iterator it) const {
        while (it != keys[o].begin()) {
            --it;
            if (!in_range(o, *it)) return 0;
            if (shows(o, *it)) return it->recno;
        }
        return 0;
    }
    std::set<Entry>::const_iterator range_start(int o) const {
        return top && o == 0 ? keys[o].lower_bound(Entry{*top, 0, 0}) : keys[o].begin();
    }
    std::uint32_t first(int o) const { return forward(o, range_start(o)); }
    std::uint32_t last(int o) const {
        auto end = keys[o].end();
        if (bottom && o == 0) {
            std::string past = *bottom;
            past.resize(kNameWidth, '\xFF');
            end = keys[o].upper_bound(Entry{past, 0xFFFFFFFFu, 0});
        }
        return backward(o, end);
    }
};

class OrderModelTest : public DbfTest {};

TEST_F(OrderModelTest, RandomOperationsAgreeWithASortedModel) {
    runtime::set_setting(dbf::kSettingDeletedHidden, true);
    ASSERT_TRUE(dbf::Table::create(path("M"), {{"NAME", 'C', kNameWidth, 0}, {"NUM", 'N', 10, 2}}));
    auto t = dbf::Table::open(path("M"), {false, false});
    ASSERT_TRUE(t);
    dbf::OrderCondition paid;
    paid.for_text = "num > 0";
    ASSERT_TRUE(t->order_create(path("M"), "NAME", "name"));
    ASSERT_TRUE(t->order_create(path("M"), "NUM", "num"));
    ASSERT_TRUE(t->order_create(path("M"), "PAID", "name", paid));
    Model m;
    std::mt19937 rng(2024);
    auto random_name = [&] {
        std::string s;
        for (std::size_t n = 2 + rng() % 7; n > 0; --n) s += "abcd"[rng() % 4];
        s.resize(kNameWidth, ' ');
        return s;
    };
    auto random_num = [&] { return static_cast<int>(rng() % 41) / 2.0 - 10.0; };
    int order = 0;  // controlling order - 1
    ASSERT_TRUE(t->set_order(1));
    // Where the table stands, as the model has it: the record, or 0 at the end.
    std::uint32_t at = 0;
    bool bof = false;

    auto expect_position = [&](int op, const char* what) {
        if (at == 0) {
            ASSERT_TRUE(t->eof()) << "op " << op << " " << what;
        } else {
            ASSERT_FALSE(t->eof()) << "op " << op << " " << what;
            ASSERT_EQ(t->recno(), at) << "op " << op << " " << what;
        }
        ASSERT_EQ(t->bof(), bof) << "op " << op << " " << what;
    };
    auto model_entry = [&](std::uint32_t n) -> std::optional<Entry> {
        auto k = m.key(order, m.recs[n - 1]);
        if (!k) return std::nullopt;
        return Entry{*k, n, 0};
    };

    for (int op = 1; op <= kOperations; ++op) {
        if (op % 1000 == 0) {
            std::vector<std::string> problems = dbf::check_orders(*t);
            ASSERT_TRUE(problems.empty()) << "op " << op << ": " << problems.front();
            ASSERT_TRUE(t->go_top());
            at = m.first(order);
            bof = at == 0;
        }
        int dice = static_cast<int>(rng() % 100);
        bof = false;
        if (dice < 45) {
            // A write: append, change a field, delete or recall.
            Model::Rec now;
            std::uint32_t n;
            if (dice < 12 && m.recs.size() < kMostRecords) {
                ASSERT_TRUE(t->append_blank());
                n = static_cast<std::uint32_t>(m.recs.size() + 1);
                now.name = std::string(kNameWidth, ' ');
            } else {
                if (m.recs.empty()) continue;
                n = 1 + static_cast<std::uint32_t>(rng() % m.recs.size());
                ASSERT_TRUE(t->go_to(n));
                now = m.recs[n - 1];
            }
            if (dice < 30) {
                now.name = random_name();
                ASSERT_TRUE(t->put("NAME", now.name));
            }
            if (dice < 12 || dice >= 30) {
                now.num = random_num();
                ASSERT_TRUE(t->put("NUM", now.num));
            }
            if (dice >= 40) {
                now.deleted = !now.deleted;
                ASSERT_TRUE(now.deleted ? t->remove() : t->recall());
            }
            m.put(n, now);
            at = n;
            continue;
        }
        if (dice < 60) {
            // Seeks, exact and soft, on a random order.
            order = static_cast<int>(rng() % 3);
            ASSERT_TRUE(t->set_order(order + 1));
            bool soft = dice < 52;
            runtime::Value key;
            std::string bytes;
            if (order == 1) {
                double v = random_num() + (rng() % 2 ? 0.25 : 0);
                key = v;
                bytes = dbf::encode_number_key(v);
            } else {
                bytes = random_name().substr(0, 1 + rng() % 4);
                key = bytes;
            }
            ASSERT_TRUE(t->seek(key, soft));
            auto it = m.keys[order].lower_bound(Entry{bytes, 0, 0});
            if (it != m.keys[order].end() && !m.in_range(order, *it)) {
                bool before_start = m.top && it->key.compare(0, m.top->size(), *m.top) < 0;
                it = before_start ? m.range_start(order) : m.keys[order].end();
            }
            at = m.forward(order, it);
            bool found = at && m.key(order, m.recs[at - 1])->compare(0, bytes.size(), bytes) == 0;
            ASSERT_EQ(t->found(), found) << "op " << op;
            if (!found && !soft) at = 0;
            expect_position(op, "seek");
            continue;
        }
        if (dice < 82) {
            // Skips both ways from where the table stands.
            long n = static_cast<long>(rng() % 5) + 1;
            if (rng() % 2) n = -n;
            ASSERT_TRUE(t->skip(n));
            std::optional<Entry> here = at ? model_entry(at) : std::nullopt;
            for (long s = 0; s < n; ++s) {
                if (!here && at == 0 && s == 0) break;  // forwards from the end: the end
                at = here ? m.forward(order, m.keys[order].upper_bound(*here)) : m.first(order);
                if (at == 0) break;
                here = model_entry(at);
            }
            for (long s = 0; s > n; --s) {
                at = here ? m.backward(order, m.keys[order].lower_bound(*here)) : m.last(order);
                if (at == 0) {
                    at = m.first(order);
                    bof = true;
                    break;
                }
                here = model_entry(at);
            }
            expect_position(op, "skip");
            continue;
        }
        if (dice < 88) {
            bool top = dice < 85;
            ASSERT_TRUE(top ? t->go_top() : t->go_bottom());
            at = top ? m.first(order) : m.last(order);
            bof = at == 0;
            expect_position(op, top ? "top" : "bottom");
            continue;
        }
        if (dice < 94) {
            // Scopes of the text order, set or cleared.
            order = 0;
            ASSERT_TRUE(t->set_order(1));
            std::optional<std::string> bound;
            if (rng() % 3) bound = random_name().substr(0, 1 + rng() % 2);
            bool top = rng() % 2;
            runtime::Value value = bound ? runtime::Value(*bound) : runtime::Value();
            ASSERT_TRUE(t->set_scope(top ? dbf::Bound::kTop : dbf::Bound::kBottom, value));
            (top ? m.top : m.bottom) = bound;
            ASSERT_TRUE(t->go_top());
            at = m.first(0);
            bof = at == 0;
            expect_position(op, "scope");
            continue;
        }
        long want = 0;
        for (const Entry& e : m.keys[order]) want += m.in_range(order, e) ? 1 : 0;
        ASSERT_EQ(t->key_count(), want) << "op " << op;
    }
    std::vector<std::string> problems = dbf::check_orders(*t);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_TRUE(errors.empty());
    // The text trees grew past two levels: a root whose children are interior pages.
    t->close();
    std::string bytes = read_bytes(path("M.CDX"));
    int interior = 0;
    for (std::size_t at_page = 1024; at_page + 512 <= bytes.size(); at_page += 512)
        interior += bytes[at_page] == 0 && bytes[at_page + 2] != 0 ? 1 : 0;
    EXPECT_GT(interior, 0) << "no interior page below a root";
}

}  // namespace
}  // namespace dbf_test
