// libFuzzer target for the table reader, the memo readers and the expression parser:
// whatever the bytes, the engine answers with error records, never a crash or a hang.
// The first input byte picks what the rest is:
//   0: a table file (opened, every record and field read);
//   1, 2, 3: a memo file in the FoxPro, dBase III or dBase IV layout, behind a table
//      whose one record points at the block in the next 2 bytes;
//   4: an index file, added to a fixed table whose fields carry the names the sample
//      indexes' keys use; every order walked both ways, sought, counted and checked;
//   other: an expression text, compiled and evaluated.
// Built with clang only (scripts/fuzz builds and runs it).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "dbf/header.h"
#include "dbf/order_check.h"
#include "dbf/table.h"
#include "runtime/error.h"
#include "runtime/expr.h"

namespace {

std::filesystem::path folder() {
    static std::filesystem::path dir = [] {
        auto d =
            std::filesystem::temp_directory_path() / ("velkan-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

void write(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

void read_all(const std::string& file) {
    auto t = dbf::Table::open(file, {false, true});
    if (!t) return;
    int records = 0;
    for (t->go_top(); !t->eof() && records < 1000; t->skip(1), ++records)
        for (int f = 1; f <= static_cast<int>(t->fields().size()); ++f) t->get(f);
}

// A table of one M field whose one record points at `block`, of the given type.
std::string memo_table(unsigned char type, unsigned block) {
    std::string problem;
    dbf::Header h = *dbf::make_header({{"M", 'M', 10, 0}}, problem);
    h.type = type;
    h.count = 1;
    char pointer[16];
    std::snprintf(pointer, sizeof pointer, "%10u", block);
    return dbf::serialize_header(h) + " " + pointer + "\x1A";
}

// The table the index inputs are added to, made once.
std::string index_table() {
    std::string file = (folder() / "I.DBF").string();
    static bool made = [&] {
        dbf::Table::create(file, {{"KEY_NAME", 'C', 50, 0}, {"CALL_ID", 'N', 8, 0},
                                  {"CONTACT_ID", 'N', 8, 0}, {"CONTACT_TY", 'N', 8, 0},
                                  {"EMPLOYEEID", 'N', 8, 0}, {"DEPARTMENT", 'C', 20, 0},
                                  {"LASTNAME", 'C', 20, 0}, {"POSTALCODE", 'C', 10, 0}});
        auto t = dbf::Table::open(file, {false, false});
        for (int i = 0; t && i < 30; ++i) {
            t->append_blank();
            t->put("KEY_NAME", std::string(1, static_cast<char>('A' + i % 7)));
            t->put("CALL_ID", i % 5);
            t->put("LASTNAME", std::to_string(i * 7 % 11));
        }
        return true;
    }();
    (void)made;
    return file;
}

void read_index(const std::string& index) {
    auto t = dbf::Table::open(index_table(), {false, false});
    if (!t || !t->order_add(index)) return;
    for (int n = 1; n <= t->order_count(); ++n) {
        t->set_order(n);
        int steps = 0;
        for (t->go_top(); !t->eof() && steps < 100; t->skip(1)) ++steps;
        for (t->go_bottom(); !t->bof() && steps < 200; t->skip(-1)) ++steps;
        t->seek(runtime::Value("B"), true);
        t->seek(runtime::Value(3.0));
        t->key_count();
    }
    dbf::check_orders(*t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool installed = [] {
        runtime::install_error_handler(
            [](const runtime::Error&) -> runtime::Value { return false; });
        return true;
    }();
    (void)installed;
    if (size < 1) return 0;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string table = (folder() / "T.DBF").string();
    switch (data[0]) {
        case 0:
            write(table, rest);
            read_all(table);
            break;
        case 1:
        case 2:
        case 3: {
            if (rest.size() < 2) return 0;
            unsigned block =
                static_cast<unsigned char>(rest[0]) | (static_cast<unsigned char>(rest[1]) << 8);
            const unsigned char types[] = {dbf::kTypeFoxProMemo, dbf::kTypeDbase3Memo,
                                           dbf::kTypeDbase4Memo};
            write(table, memo_table(types[data[0] - 1], block));
            write(folder() / "T.DBT", rest.substr(2));
            read_all(table);
            break;
        }
        case 4: {
            std::string index = (folder() / "I.CDX").string();
            write(index, rest);
            read_index(index);
            break;
        }
        default: {
            runtime::Error error;
            if (auto e = runtime::Expression::compile(rest, error)) {
                runtime::Value v = e->evaluate(nullptr);
                if (v.is_callback()) v.call({1, "a"});
            }
        }
    }
    return 0;
}
