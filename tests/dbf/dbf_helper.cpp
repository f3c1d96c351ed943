// A second process for the engine's tests, and the maker of tables for the independent
// readers. Commands (one per run):
//   hold <table> shared|exclusive|readonly [record <n> | table]
//       opens the table, takes the lock asked for, prints what it got ("open 1", or
//       "open 0 <gencode> <oscode> <candefault>"; then "lock 1" or "lock 0"), and keeps
//       everything until its standard input ends.
//   append <table> <count> <tag> [<batch>]
//       appends count records holding tag and a sequence number, taking the append lock
//       each time (retrying while it is refused), and prints "appended <count> <refusals>";
//       with a batch size, appends that many at a time under the table lock instead.
//   make <folder>
//       writes the tables the independent readers check (every field type, memos).
//   dump <table> [write]
//       prints every record as one JSON object per line (texts as UTF-8); with "write",
//       opened shared for writing instead of read-only.
//   fill <table> [<bytes>]
//       appends until a write fails and prints "error <gencode> <subcode> <oscode>
//       <records>": on a small volume until it is full, or (POSIX) with the file size
//       limited to bytes.
#include <cstdio>
#include <iostream>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif
#include <string>

#include "dbf/table.h"
#include "runtime/error.h"
#include "runtime/text1252.h"

namespace {

runtime::Error last;

int hold(const std::string& file, const std::string& mode, int argc, char** argv) {
    dbf::Table::Options o{mode != "exclusive", mode == "readonly"};
    auto t = dbf::Table::open(file, o);
    if (!t) {
        std::printf("open 0 %d %d %d\n", last.gencode, last.oscode, last.candefault ? 1 : 0);
    } else {
        std::printf("open 1\n");
        if (argc > 0) {
            bool ok = std::string(argv[0]) == "table"
                          ? t->lock_table()
                          : t->lock_record(static_cast<std::uint32_t>(std::stoul(argv[1])));
            std::printf("lock %d\n", ok ? 1 : 0);
        }
    }
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

int append(const std::string& file, long count, const std::string& tag, long batch) {
    auto t = dbf::Table::open(file, {true, false});
    if (!t) return 2;
    long refusals = 0;
    for (long i = 1; i <= count; ++i) {
        if (batch > 0 && (i - 1) % batch == 0)
            while (!t->lock_table()) ++refusals;
        while (!t->append_blank()) ++refusals;
        t->put("TAG", tag);
        t->put("SEQ", static_cast<double>(i));
        if (batch == 0 || i % batch == 0 || i == count) t->unlock_all();
    }
    std::printf("appended %ld %ld\n", count, refusals);
    return 0;
}

std::string json_text(const std::string& s) {
    std::string out = "\"";
    for (char c : runtime::to_utf8(s)) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int dump(const std::string& file, bool write) {
    auto t = dbf::Table::open(file, {true, !write});
    if (!t) return 2;
    for (t->go_top(); !t->eof(); t->skip(1)) {
        std::string line = "{\"_deleted\": " + std::string(t->deleted() ? "true" : "false");
        for (std::size_t i = 0; i < t->fields().size(); ++i) {
            const dbf::Field& f = t->fields()[i];
            if (f.system) continue;
            runtime::Value v = t->get(static_cast<int>(i + 1));
            std::string s;
            char buf[64];
            switch (v.kind()) {
                case runtime::Kind::kText:
                    s = json_text(runtime::trim_right(v.text()));
                    break;
                case runtime::Kind::kNumber:
                    std::snprintf(buf, sizeof buf, "%.10g", v.number());
                    s = buf;
                    break;
                case runtime::Kind::kLogical:
                    s = v.logical() ? "true" : "false";
                    break;
                case runtime::Kind::kDate:
                    if (v.date().empty()) {
                        s = "null";
                    } else {
                        std::snprintf(buf, sizeof buf, "\"%04d-%02d-%02d\"", v.date().year(),
                                      v.date().month(), v.date().day());
                        s = buf;
                    }
                    break;
                case runtime::Kind::kDateTime: {
                    const runtime::DateTime& d = v.datetime();
                    if (d.date.empty()) {
                        s = "null";
                    } else {
                        std::snprintf(buf, sizeof buf, "\"%04d-%02d-%02dT%d\"", d.date.year(),
                                      d.date.month(), d.date.day(), d.milliseconds);
                        s = buf;
                    }
                    break;
                }
                default:
                    s = "null";
            }
            line += ", " + json_text(f.name) + ": " + s;
        }
        std::printf("%s}\n", line.c_str());
    }
    return 0;
}

int make(const std::string& folder) {
    std::string file = folder + "/MIXED.DBF";
    if (!dbf::Table::create(file, {{"NAME", 'C', 20, 0},
                                   {"AMOUNT", 'N', 12, 3},
                                   {"COUNT", 'N', 5, 0},
                                   {"BORN", 'D', 8, 0},
                                   {"ACTIVE", 'L', 1, 0},
                                   {"NOTES", 'M', 10, 0}}))
        return 2;
    auto t = dbf::Table::open(file, {false, false});
    struct Row {
        const char* name;
        double amount;
        int count;
        int year;
        bool active;
        std::string notes;
    } rows[] = {
        {"Caf\xE8 cr\xE8me", -1234.567, 42, 1999, true, "first memo"},
        {"", 0, 0, 0, false, ""},
        {"x", 99999999.999, -9999, 2026, true, std::string(700, 'L') + "\r\nend"},
        {"deleted one", 1, 1, 2000, false, "gone"},
    };
    for (const Row& r : rows) {
        t->append_blank();
        t->put("NAME", r.name);
        t->put("AMOUNT", r.amount);
        t->put("COUNT", r.count);
        if (r.year) t->put("BORN", *runtime::Date::from_ymd(r.year, 2, 28));
        t->put("ACTIVE", r.active);
        t->put("NOTES", r.notes);
    }
    t->remove();
    t->close();
    std::string plain = folder + "/PLAIN.DBF";
    if (!dbf::Table::create(plain, {{"CODE", 'C', 6, 0}, {"PRICE", 'N', 8, 2}, {"DAY", 'D', 8, 0}}))
        return 2;
    auto p = dbf::Table::open(plain, {false, false});
    for (int i = 1; i <= 50; ++i) {
        p->append_blank();
        p->put("CODE", "C" + std::to_string(i));
        p->put("PRICE", i * 1.25);
        p->put("DAY", runtime::Date::from_ymd(2020, 1, 1)->plus_days(i));
    }
    return 0;
}

int fill(const std::string& file, long bytes) {
    auto t = dbf::Table::open(file, {false, false});
    if (!t) return 2;
#ifndef _WIN32
    rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    std::signal(SIGXFSZ, SIG_IGN);
    if (bytes > 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
#else
    if (bytes > 0) return 2;
#endif
    for (long i = 0; i < 1'000'000 && last.gencode == 0; ++i) {
        if (!t->append_blank()) break;
        t->put("TAG", "FULL");
    }
    t->commit();
    std::printf("error %d %d %d %u\n", last.gencode, last.subcode.value_or(0), last.oscode,
                t->reccount());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    runtime::install_error_handler([](const runtime::Error& e) -> runtime::Value {
        last = e;
        return false;
    });
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "hold" && argc >= 4) return hold(argv[2], argv[3], argc - 4, argv + 4);
    if (cmd == "append" && (argc == 5 || argc == 6))
        return append(argv[2], std::stol(argv[3]), argv[4], argc == 6 ? std::stol(argv[5]) : 0);
    if (cmd == "make" && argc == 3) return make(argv[2]);
    if (cmd == "dump" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "write")))
        return dump(argv[2], argc == 4);
    if (cmd == "fill" && (argc == 3 || argc == 4))
        return fill(argv[2], argc == 4 ? std::stol(argv[3]) : 0);
    std::fprintf(stderr, "usage: dbf_helper hold|append|make|dump|fill ...\n");
    return 2;
}
