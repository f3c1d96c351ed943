// The index tests' second program: the keys of index files for the independent reader
// check, the index files that reader reads back, and the worker of the several-process
// test. Commands (one per run):
//   keys <table> <index>
//       prints every tag of the index: "TAG <name> <type> <key expression>", then one
//       "<key>|<recno>" line per key in the tag's order (texts without their padding,
//       numbers with %.10g, dates as Julian day numbers, logicals as T or F).
//   make <folder>
//       writes MIXED.DBF and MIXED.CDX for the independent reader to read back, and the
//       keys we read from it in MIXED.keys, as above.
//   work <table> <index> <worker> <count>
//       opens the shared table with its index and does count operations: appends
//       (named "w<worker>-<i>"), record changes under record locks and the table lock;
//       prints "done <worker> <count>".
#include <cstdio>
#include <fstream>
#include <string>

#include "dbf/table.h"
#include "runtime/error.h"

namespace {

runtime::Error last;

std::string show(const std::string& key, dbf::KeyType type) {
    char buf[64];
    switch (type) {
        case dbf::KeyType::kCharacter: {
            std::string s = key;
            while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
            return s;
        }
        case dbf::KeyType::kNumeric:
            std::snprintf(buf, sizeof buf, "%.10g", dbf::decode_number_key(key));
            return buf;
        case dbf::KeyType::kDate:
            std::snprintf(buf, sizeof buf, "%.0f", dbf::decode_number_key(key));
            return buf;
        case dbf::KeyType::kLogical:
            return key;
        case dbf::KeyType::kInteger:
            std::snprintf(buf, sizeof buf, "%.0f", dbf::decode_key(key, type).number());
            return buf;
        case dbf::KeyType::kDateTime:
            std::snprintf(buf, sizeof buf, "%.10g", dbf::decode_number_key(key));
            return buf;
    }
    return key;
}

// Every tag's keys in the tree's own order.
std::string keys_of(dbf::Table& t) {
    std::string out;
    const dbf::OrderList& orders = t.orders();
    for (int n = 1; n <= orders.count(); ++n) {
        const dbf::Order& order = orders.at(n).order;
        out += "TAG " + order.tag().name + " " + static_cast<char>(order.key_type()) + " " +
               order.tag().key_text + "\n";
        dbf::IndexFile::Access access(order.file(), false);
        order.tree().scan(dbf::cdx::Entry{}, [&](const dbf::cdx::Entry& e) {
            out += show(e.key, order.key_type()) + "|" + std::to_string(e.recno) + "\n";
            return true;
        });
    }
    return out;
}

int keys(const std::string& table, const std::string& index) {
    auto t = dbf::Table::open(table, {true, true});
    if (!t || !t->order_add(index)) return 2;
    std::fputs(keys_of(*t).c_str(), stdout);
    return last.gencode == 0 ? 0 : 3;
}

// The table the independent reader checks: 3000 records, so that every tag has interior
// pages; texts with shared beginnings and repeats, numbers negative, zero and with
// decimals, empty dates, some records deleted (they keep their keys).
int make(const std::string& folder) {
    std::string file = folder + "/MIXED.DBF";
    if (!dbf::Table::create(file, {{"NAME", 'C', 12, 0},
                                   {"AMOUNT", 'N', 10, 2},
                                   {"DAY", 'D', 8, 0},
                                   {"ACTIVE", 'L', 1, 0}}))
        return 2;
    auto t = dbf::Table::open(file, {false, false});
    if (!t) return 2;
    const char* syllables[] = {"ka", "Lo", "mi", "NE", "ro", "s\xE8", "ta"};
    for (std::uint32_t i = 1; i <= 3000; ++i) {
        std::string name;
        for (std::uint32_t k = i * 2654435761u, n = 1 + i % 6; n > 0; --n, k /= 7)
            name += syllables[k % 7];
        t->append_blank();
        t->put("NAME", name.substr(0, 12));
        t->put("AMOUNT", static_cast<double>(static_cast<int>(i * 7919 % 20001) - 10000) / 100.0);
        if (i % 10 != 0) t->put("DAY", runtime::Date::from_ymd(2000, 1, 1)->plus_days(i * 37 % 9000));
        t->put("ACTIVE", i % 3 == 0);
        if (i % 17 == 0) t->remove();
    }
    std::string index = folder + "/MIXED.CDX";
    dbf::OrderCondition unique;
    unique.unique = true;
    dbf::OrderCondition paid;
    paid.for_text = "amount > 0";
    bool ok = t->order_create(index, "NAME", "name") &&
              t->order_create(index, "AMOUNT", "amount") &&
              t->order_create(index, "DAY", "day") &&
              t->order_create(index, "ACTIVE", "active") &&
              t->order_create(index, "NUMBER", "RECNO()") &&
              t->order_create(index, "UNAME", "upper(name)", unique) &&
              t->order_create(index, "PAID", "name", paid);
    if (!ok) return 2;
    // Changes after the build go through the orders' upkeep: splits, joins, moves.
    for (std::uint32_t n = 1; n <= 3000; n += 7) {
        t->go_to(n);
        t->put("NAME", "moved" + std::to_string(n % 50));
        t->put("AMOUNT", -static_cast<double>(n % 300));
    }
    for (std::uint32_t n = 3001; n <= 3400; ++n) {
        t->append_blank();
        t->put("NAME", "appended" + std::to_string(n % 90));
        t->put("AMOUNT", n % 11 == 0 ? 0.0 : n / 8.0);
    }
    t->commit();
    std::ofstream keys(folder + "/MIXED.keys");
    keys << keys_of(*t);
    return last.gencode == 0 ? 0 : 3;
}

// One of several processes changing one indexed table: appends under the append lock
// (each new record then locked), changes of random records under their record lock, and
// every tenth operation a change of the last record under the table lock. Refused locks
// are tried again, as a user would.
int work(const std::string& table, const std::string& index, const std::string& worker,
         int count) {
    auto t = dbf::Table::open(table, {true, false});
    if (!t || !t->order_add(index)) return 2;
    std::uint32_t seed = static_cast<std::uint32_t>(std::stoul(worker)) * 7919u + 1;
    for (int i = 1; i <= count; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i % 3 == 1) {
            while (!t->append_blank()) {
            }
            t->put("NAME", "w" + worker + "-" + std::to_string(i));
            t->put("NUM", static_cast<double>(i));
        } else if (i % 10 == 0) {
            while (!t->lock_table()) {
            }
            t->go_bottom();
            t->put("NUM", -static_cast<double>(i));
        } else {
            std::uint32_t n = 1 + (seed >> 8) % t->reccount();
            while (!t->lock_record(n)) {
            }
            t->go_to(n);
            t->put("NUM", static_cast<double>(seed % 1000));
        }
        t->unlock_all();
    }
    std::printf("done %s %d\n", worker.c_str(), count);
    return last.gencode == 0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    runtime::install_error_handler([](const runtime::Error& e) -> runtime::Value {
        last = e;
        std::fprintf(stderr, "error %d/%d %s: %s\n", e.gencode, e.subcode.value_or(0),
                     e.filename.c_str(), e.description.value_or("").c_str());
        return false;
    });
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "keys" && argc == 4) return keys(argv[2], argv[3]);
    if (cmd == "make" && argc == 3) return make(argv[2]);
    if (cmd == "work" && argc == 6) return work(argv[2], argv[3], argv[4], std::stoi(argv[5]));
    std::fprintf(stderr, "usage: cdx_helper keys|make|work ...\n");
    return 2;
}
