// Index benchmark, against SQLite doing the same work in the same run:
//   1. building one index over 100 000 records (a C 10 key);
//   2. 100 000 exact seeks of random keys, a field of each record found taken;
//   3. appending 100 000 records to a table with two open orders (C 10 and N 10.2),
//      against inserting into a table with two indexes, one commit at the end.
// As dbf_bench: each phase `rounds` (3) times, ours and SQLite's in turn on new files and
// fresh connections, the best time of each kept; SQLite holds its file alone as our
// exclusive table does. Prints each phase's time for both and the ratio.
//   cdx_bench [folder] [records] [rounds]
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/against_sqlite.h"
#include "dbf/table.h"
#include "runtime/error.h"

namespace {

using bench::Clock;
using bench::check;
using bench::seconds_since;

std::string name_of(long i) { return "N" + std::to_string((i * 7919) % 1000003); }

struct Times {
    double build, seek, append;
};

Times best(Times a, Times b) {
    return {std::min(a.build, b.build), std::min(a.seek, b.seek), std::min(a.append, b.append)};
}

const std::vector<dbf::FieldDef> kFields = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}};

void fill(dbf::Table& t, long i) {
    t.put(1, name_of(i));
    t.put(2, static_cast<double>(i % 5000) * 0.01);
}

Times ours(const std::filesystem::path& dir, long n, const std::vector<long>& keys, double& sink) {
    Times times{};
    std::string table = (dir / "B.DBF").string();
    dbf::Table::create(table, kFields);
    auto t = dbf::Table::open(table, {false, false});
    for (long i = 0; i < n; ++i) {
        t->append_blank();
        fill(*t, i);
    }
    t->commit();
    auto start = Clock::now();
    t->order_create((dir / "B.CDX").string(), "NAME", "name");
    t->commit();
    times.build = seconds_since(start);
    start = Clock::now();
    for (long k : keys) {
        t->seek(runtime::Value(name_of(k) + " "));
        if (t->found()) sink += t->get(2).number();
    }
    times.seek = seconds_since(start);
    t->close();

    std::string appended = (dir / "A.DBF").string();
    dbf::Table::create(appended, kFields);
    t = dbf::Table::open(appended, {false, false});
    t->order_create((dir / "A.CDX").string(), "NAME", "name");
    t->order_create((dir / "A.CDX").string(), "AMOUNT", "amount");
    start = Clock::now();
    for (long i = 0; i < n; ++i) {
        t->append_blank();
        fill(*t, i);
    }
    t->commit();
    times.append = seconds_since(start);
    return times;
}

sqlite3* open_sqlite(const std::string& file) {
    sqlite3* db = nullptr;
    check(sqlite3_open(file.c_str(), &db), db);
    check(sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr), db);
    return db;
}

void insert_rows(sqlite3* db, long n) {
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?)", -1, &ins, nullptr), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (long i = 0; i < n; ++i) {
        std::string name = name_of(i);
        sqlite3_bind_text(ins, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(ins, 2, static_cast<double>(i % 5000) * 0.01);
        check(sqlite3_step(ins), db);
        sqlite3_reset(ins);
    }
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_finalize(ins);
}

Times sqlite(const std::filesystem::path& dir, long n, const std::vector<long>& keys,
             double& sink) {
    Times times{};
    std::string file = (dir / "b.sqlite").string();
    std::filesystem::remove(file);
    sqlite3* db = open_sqlite(file);
    check(sqlite3_exec(db, "CREATE TABLE t(name TEXT, amount REAL)", nullptr, nullptr, nullptr), db);
    insert_rows(db, n);
    auto start = Clock::now();
    check(sqlite3_exec(db, "CREATE INDEX t_name ON t(name)", nullptr, nullptr, nullptr), db);
    times.build = seconds_since(start);
    sqlite3_stmt* get = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT amount FROM t WHERE name = ?", -1, &get, nullptr), db);
    start = Clock::now();
    for (long k : keys) {
        std::string name = name_of(k);
        sqlite3_bind_text(get, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(get) == SQLITE_ROW) sink += sqlite3_column_double(get, 0);
        sqlite3_reset(get);
    }
    times.seek = seconds_since(start);
    sqlite3_finalize(get);
    sqlite3_close(db);

    std::string appended = (dir / "a.sqlite").string();
    std::filesystem::remove(appended);
    db = open_sqlite(appended);
    check(sqlite3_exec(db,
                       "CREATE TABLE t(name TEXT, amount REAL); CREATE INDEX a_name ON t(name); "
                       "CREATE INDEX a_amount ON t(amount)",
                       nullptr, nullptr, nullptr),
          db);
    start = Clock::now();
    insert_rows(db, n);
    times.append = seconds_since(start);
    sqlite3_close(db);
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    runtime::install_error_handler([](const runtime::Error& e) -> runtime::Value {
        std::fprintf(stderr, "error %d/%d os %d %s\n", e.gencode, e.subcode.value_or(0), e.oscode,
                     e.description.value_or("").c_str());
        return false;
    });
    std::filesystem::path dir =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "velkan-cdx-bench";
    long n = argc > 2 ? std::atol(argv[2]) : 100000;
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    std::mt19937 rng(42);
    std::vector<long> keys(static_cast<std::size_t>(n));
    for (long& k : keys) k = static_cast<long>(rng() % static_cast<unsigned long>(n));
    double ours_sink = 0, sqlite_sink = 0;
    Times mine{1e9, 1e9, 1e9}, theirs{1e9, 1e9, 1e9};
    for (int round = 0; round < rounds; ++round) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        mine = best(mine, ours(dir, n, keys, ours_sink));
        theirs = best(theirs, sqlite(dir, n, keys, sqlite_sink));
    }
    std::printf("%ld records, best of %d rounds (checksums %.0f, %.0f)\n", n, rounds, ours_sink,
                sqlite_sink);
    std::printf("%-24s %10s %10s %8s\n", "phase", "ours s", "sqlite s", "ratio");
    auto row = [](const char* name, double a, double b) {
        std::printf("%-24s %10.4f %10.4f %8.2f\n", name, a, b, a / b);
    };
    row("build one index", mine.build, theirs.build);
    row("random exact seeks", mine.seek, theirs.seek);
    row("appends, two orders", mine.append, theirs.append);
    std::filesystem::remove_all(dir);
    return 0;
}
