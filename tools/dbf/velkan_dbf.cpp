// velkan-dbf: the table tool for the people who keep the program's tables.
//
//   velkan-dbf info T [--index F]...     header, fields, counts, memo and index files
//   velkan-dbf dump T [--index F]... [--order TAG]
//                                         records as CSV (UTF-8), natural or index order
//   velkan-dbf check T [--index F]...    table, memo and every index; one line per
//                                         problem, exit status 0 only when all hold; the
//                                         files are read only, never repaired
//   velkan-dbf reindex T [--index F]...  rebuilds every tag of the index files from their
//                                         expressions; the old file stays until the new
//                                         one is whole
//
// The index files are those named with --index, else the files beside the table with its
// name and the extension ".CDX" or ".NTX". The tool opens the table shared and takes its
// locks like any other user: the table lock while it checks or rebuilds.
// Exit status: 0 done (check: no problem), 1 problems found, 2 the command failed.
#include <cstdio>
#include <string>
#include <vector>

#include "dbf/engine_settings.h"
#include "dbf/order_check.h"
#include "dbf/reindex.h"
#include "dbf/table.h"
#include "dbf/table_check.h"
#include "runtime/error.h"
#include "runtime/text1252.h"

namespace {

std::vector<std::string> raised;

struct Args {
    std::string command, table, order;
    std::vector<std::string> indexes;
};

bool parse(int argc, char** argv, Args& a) {
    if (argc < 3) return false;
    a.command = argv[1];
    a.table = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        std::string opt = argv[i];
        if (opt == "--index") a.indexes.push_back(argv[i + 1]);
        else if (opt == "--order") a.order = argv[i + 1];
        else return false;
    }
    return (argc - 3) % 2 == 0;
}

std::vector<std::string> index_files(const Args& a, const dbf::Table& t) {
    if (!a.indexes.empty()) return a.indexes;
    std::vector<std::string> found;
    for (const char* ext : {".CDX", ".NTX"}) {
        std::string f = dbf::with_extension(t.path(), ext);
        if (dbf::file_exists(f)) found.push_back(f);
    }
    return found;
}

std::string csv(const std::string& text) {
    std::string s = runtime::to_utf8(text);
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string show(const runtime::Value& v, const dbf::Field& f) {
    char buf[64];
    switch (v.kind()) {
        case runtime::Kind::kText:
            return runtime::trim_right(v.text());
        case runtime::Kind::kNumber:
            std::snprintf(buf, sizeof buf, "%.*f", f.decimals, v.number());
            return buf;
        case runtime::Kind::kLogical:
            return v.logical() ? "T" : "F";
        case runtime::Kind::kDate:
            if (v.date().empty()) return "";
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", v.date().year(), v.date().month(),
                          v.date().day());
            return buf;
        case runtime::Kind::kDateTime: {
            const runtime::DateTime& d = v.datetime();
            if (d.date.empty()) return "";
            int s = d.milliseconds / 1000;
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.date.year(),
                          d.date.month(), d.date.day(), s / 3600, s / 60 % 60, s % 60);
            return buf;
        }
        default:
            return "";
    }
}

int info(dbf::Table& t, const Args& a) {
    const dbf::Header& h = t.header();
    std::printf("table %s\ntype 0x%02X, updated %s, %u records of %u bytes, header %u bytes\n",
                runtime::to_utf8(t.path()).c_str(), h.type,
                runtime::date_to_text(h.updated, "yyyy-mm-dd").c_str(), t.reccount(),
                h.record_length, h.header_length);
    std::uint32_t deleted = 0;
    for (std::uint32_t n = 1; n <= t.reccount(); ++n)
        if (t.go_to(n) && t.deleted()) ++deleted;
    std::printf("%u live, %u deleted\n", t.reccount() - deleted, deleted);
    for (const dbf::Field& f : t.fields())
        std::printf("field %-10s %c %3d %d\n", f.name.c_str(), f.type, f.width, f.decimals);
    if (h.has_memo_field()) std::printf("memo %s\n", runtime::to_utf8(t.memo_path()).c_str());
    for (const std::string& index : index_files(a, t)) {
        if (!t.order_add(index)) continue;
    }
    for (int n = 1; n <= t.order_count(); ++n) {
        dbf::OrderInfo o = t.order_info(n);
        std::printf("order %d %s in %s: key %s%s%s%s\n", n, o.name.c_str(),
                    runtime::to_utf8(o.file).c_str(), o.key.c_str(),
                    o.condition.empty() ? "" : (" for " + o.condition).c_str(),
                    o.unique ? ", unique" : "", o.descending ? ", descending" : "");
    }
    return raised.empty() ? 0 : 1;
}

int dump(dbf::Table& t, const Args& a) {
    if (!a.order.empty()) {
        for (const std::string& index : index_files(a, t)) t.order_add(index);
        if (!t.set_order(a.order)) {
            std::fprintf(stderr, "no order %s\n", a.order.c_str());
            return 2;
        }
    } else {
        t.set_order(0);
    }
    std::string line = "_DELETED";
    for (const dbf::Field& f : t.fields()) line += "," + csv(f.name);
    std::printf("%s\n", line.c_str());
    for (t.go_top(); !t.eof(); t.skip(1)) {
        line = t.deleted() ? "*" : "";
        for (std::size_t i = 0; i < t.fields().size(); ++i)
            line += "," + csv(show(t.get(static_cast<int>(i + 1)), t.fields()[i]));
        std::printf("%s\n", line.c_str());
    }
    return raised.empty() ? 0 : 1;
}

int check(dbf::Table& t, const Args& a) {
    std::vector<std::string> problems;
    if (!t.lock_table()) {
        std::fprintf(stderr, "the table is locked by another user\n");
        return 2;
    }
    // Every field of every record read: a memo pointer out of its file is raised.
    for (std::uint32_t n = 1; n <= t.reccount(); ++n) {
        if (!t.go_to(n)) continue;
        for (std::size_t i = 0; i < t.fields().size(); ++i)
            if (t.fields()[i].type == 'M') t.get(static_cast<int>(i + 1));
    }
    for (const std::string& p : dbf::check_table_end(t)) problems.push_back(p);
    for (const std::string& index : index_files(a, t)) t.order_add(index);
    for (const std::string& p : dbf::check_orders(t)) problems.push_back(p);
    for (const std::string& p : raised) problems.push_back(p);
    for (const std::string& p : problems) std::printf("%s\n", p.c_str());
    return problems.empty() ? 0 : 1;
}

int reindex(dbf::Table& t, const Args& a) {
    if (!t.lock_table()) {
        std::fprintf(stderr, "the table is locked by another user\n");
        return 2;
    }
    bool ok = true;
    for (const std::string& index : index_files(a, t)) ok = dbf::reindex(t, index) && ok;
    return ok ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    runtime::install_error_handler([](const runtime::Error& e) -> runtime::Value {
        raised.push_back(runtime::to_utf8(e.filename) + ": " + e.description.value_or("error") +
                         (e.operation.empty() ? "" : ": " + e.operation) +
                         (e.oscode ? " (system error " + std::to_string(e.oscode) + ")" : ""));
        return false;
    });
    Args a;
    if (!parse(argc, argv, a)) {
        std::fprintf(stderr,
                     "usage: velkan-dbf info|dump|check|reindex TABLE [--index FILE]... "
                     "[--order TAG]\n");
        return 2;
    }
    // Check opens read only too: a writable open would cut records left past the count
    // before the check could see them.
    auto t = dbf::Table::open(a.table, {.shared = true, .read_only = a.command != "reindex"});
    int status = 2;
    if (!t) {
        for (const std::string& p : raised) std::printf("%s\n", p.c_str());
        return a.command == "check" ? 1 : 2;
    }
    if (a.command == "info") status = info(*t, a);
    else if (a.command == "dump") status = dump(*t, a);
    else if (a.command == "check") status = check(*t, a);
    else if (a.command == "reindex") status = reindex(*t, a);
    if (a.command != "check")
        for (const std::string& p : raised) std::fprintf(stderr, "%s\n", p.c_str());
    return status;
}
