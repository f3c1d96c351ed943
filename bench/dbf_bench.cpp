// Table engine benchmark, against SQLite doing the same work in the same run:
//   1. append 100 000 records of a small mixed structure (C 10, N 10.2, D, L);
//   2. read them all back in order, every field taken as a value;
//   3. 100 000 reads by random record number;
//   4. 4 processes appending to one shared table under the locks (records per second).
// Phases 1-3 run `rounds` (5) times, ours and SQLite's in turn, each round on new files and
// fresh connections; the best time of each is kept, so that other work on the machine
// weighs on both sides alike. Prints each phase's time for both, the ratio, and the peak
// memory of the process.
//   dbf_bench [folder] [records] [rounds]
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The text of a column, taken as the program would use it.
double text_size(sqlite3_stmt* s, int column) {
    const unsigned char* text = sqlite3_column_text(s, column);
    std::string value(reinterpret_cast<const char*>(text),
                      static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
    return static_cast<double>(value.size());
}

const std::vector<dbf::FieldDef> kFields = {
    {"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}, {"DAY", 'D', 8, 0}, {"FLAG", 'L', 1, 0}};

runtime::Date kBase = *runtime::Date::from_ymd(2020, 1, 1);

void fill(dbf::Table& t, long i) {
    t.put(1, "N" + std::to_string(i));
    t.put(2, static_cast<double>(i) * 0.01);
    t.put(3, kBase.plus_days(static_cast<std::int32_t>(i % 1000)));
    t.put(4, i % 2 == 0);
}

int worker(const std::string& file, long count) {
    auto t = dbf::Table::open(file, {true, false});
    if (!t) return 1;
    for (long i = 0; i < count; ++i) {
        while (!t->append_blank()) {
        }
        fill(*t, i);
        t->unlock_all();
    }
    return 0;
}

// The three phases' times of one side in one round.
struct Times {
    double append, scan, random;
};

Times ours(const std::string& table, long n, const std::vector<std::uint32_t>& order,
           double& sink) {
    Times times{};
    dbf::Table::create(table, kFields);
    auto t = dbf::Table::open(table, {false, false});
    auto start = Clock::now();
    for (long i = 0; i < n; ++i) {
        t->append_blank();
        fill(*t, i);
    }
    t->commit();
    times.append = seconds_since(start);
    t->close();
    t = dbf::Table::open(table, {false, false});
    start = Clock::now();
    for (t->go_top(); !t->eof(); t->skip(1)) {
        sink += static_cast<double>(t->get(1).text().size()) + t->get(2).number();
        sink += t->get(3).date().julian() + (t->get(4).logical() ? 1 : 0);
    }
    times.scan = seconds_since(start);
    start = Clock::now();
    for (std::uint32_t r : order) {
        t->go_to(r);
        sink += t->get(2).number() + static_cast<double>(t->get(1).text().size());
    }
    times.random = seconds_since(start);
    return times;
}

// The table is ours alone, so SQLite holds its file alone too: no lock taken and no
// change check made per query.
sqlite3* open_sqlite(const std::string& file) {
    sqlite3* db = nullptr;
    check(sqlite3_open(file.c_str(), &db), db);
    check(sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr), db);
    return db;
}

// The same rows, one transaction for the appends as the table's one commit (both hand
// their file to the disk once, at the end).
Times sqlite(const std::string& file, long n, const std::vector<std::uint32_t>& order,
             double& sink) {
    Times times{};
    std::filesystem::remove(file);
    sqlite3* db = open_sqlite(file);
    check(sqlite3_exec(db, "CREATE TABLE t(name TEXT, amount REAL, day INTEGER, flag INTEGER)",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?,?,?,?)", -1, &ins, nullptr), db);
    auto start = Clock::now();
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (long i = 0; i < n; ++i) {
        std::string name = "N" + std::to_string(i);
        sqlite3_bind_text(ins, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(ins, 2, static_cast<double>(i) * 0.01);
        sqlite3_bind_int(ins, 3, kBase.plus_days(static_cast<std::int32_t>(i % 1000)).julian());
        sqlite3_bind_int(ins, 4, i % 2 == 0);
        check(sqlite3_step(ins), db);
        sqlite3_reset(ins);
    }
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    times.append = seconds_since(start);
    sqlite3_finalize(ins);
    sqlite3_close(db);
    db = open_sqlite(file);
    sqlite3_stmt* scan = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT name, amount, day, flag FROM t ORDER BY rowid", -1, &scan,
                             nullptr),
          db);
    start = Clock::now();
    while (sqlite3_step(scan) == SQLITE_ROW) {
        sink += text_size(scan, 0) + sqlite3_column_double(scan, 1);
        sink += sqlite3_column_int(scan, 2) + sqlite3_column_int(scan, 3);
    }
    times.scan = seconds_since(start);
    sqlite3_finalize(scan);
    sqlite3_stmt* get = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT name, amount FROM t WHERE rowid = ?", -1, &get, nullptr),
          db);
    start = Clock::now();
    for (std::uint32_t r : order) {
        sqlite3_bind_int(get, 1, static_cast<int>(r));
        if (sqlite3_step(get) == SQLITE_ROW)
            sink += sqlite3_column_double(get, 1) + text_size(get, 0);
        sqlite3_reset(get);
    }
    times.random = seconds_since(start);
    sqlite3_finalize(get);
    sqlite3_close(db);
    return times;
}

Times best(Times a, Times b) {
    return {std::min(a.append, b.append), std::min(a.scan, b.scan), std::min(a.random, b.random)};
}

}  // namespace

int main(int argc, char** argv) {
    runtime::install_error_handler([](const runtime::Error& e) -> runtime::Value {
        std::fprintf(stderr, "error %d/%d os %d %s\n", e.gencode, e.subcode.value_or(0), e.oscode,
                     e.description.value_or("").c_str());
        return false;
    });
    if (argc == 4 && std::string(argv[1]) == "worker") return worker(argv[2], std::atol(argv[3]));
    std::filesystem::path dir =
        argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "velkan-bench";
    long n = argc > 2 ? std::atol(argv[2]) : 100000;
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::mt19937 rng(42);
    std::vector<std::uint32_t> order(static_cast<std::size_t>(n));
    for (auto& r : order) r = static_cast<std::uint32_t>(rng() % static_cast<std::uint32_t>(n)) + 1;
    double ours_sink = 0, sqlite_sink = 0;
    Times mine{1e9, 1e9, 1e9}, theirs{1e9, 1e9, 1e9};
    for (int round = 0; round < rounds; ++round) {
        mine = best(mine, ours((dir / "BENCH.DBF").string(), n, order, ours_sink));
        theirs = best(theirs, sqlite((dir / "bench.sqlite").string(), n, order, sqlite_sink));
    }
    // The checksums differ by the texts' blanks: a table's texts are padded to their width.
    std::printf("%ld records, best of %d rounds (checksums %.0f, %.0f)\n", n, rounds, ours_sink,
                sqlite_sink);
    std::printf("%-16s %10s %10s %8s\n", "phase", "ours s", "sqlite s", "ratio");
    auto row = [](const char* name, double a, double b) {
        std::printf("%-16s %10.4f %10.4f %8.2f\n", name, a, b, a / b);
    };
    row("append", mine.append, theirs.append);
    row("scan in order", mine.scan, theirs.scan);
    row("random reads", mine.random, theirs.random);

    // Four processes appending to one shared table.
    std::string shared = (dir / "SHARED.DBF").string();
    dbf::Table::create(shared, kFields);
    const int kWorkers = 4;
    long each = n / kWorkers;
    auto start = Clock::now();
    std::vector<pid_t> pids;
    for (int w = 0; w < kWorkers; ++w) {
        pid_t pid = fork();
        if (pid == 0) {
            std::string count = std::to_string(each);
            execl(argv[0], argv[0], "worker", shared.c_str(), count.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        pids.push_back(pid);
    }
    bool ok = true;
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    double shared_time = seconds_since(start);
    auto check_table = dbf::Table::open(shared, {true, true});
    std::uint32_t count = check_table ? check_table->reccount() : 0;
    std::printf("4 processes: %u records in %.3f s = %.0f records/s%s\n", count, shared_time,
                count / shared_time, ok && count == each * kWorkers ? "" : " (MISMATCH)");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of this process: %ld KiB (sqlite's own high water %lld bytes)\n",
                usage.ru_maxrss, static_cast<long long>(sqlite3_memory_highwater(0)));
    std::filesystem::remove_all(dir);
    return 0;
}
