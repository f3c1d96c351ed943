#include "kelv/win32api/find_data.h"

#include "runtime/fs.h"

namespace kelv {
namespace {

using Kind = winlib::TStruct::Kind;

struct Member {
    const char* name;
    Kind kind;
    std::size_t length;
};

// The platform's record, in order (see find_data.h for the offsets).
constexpr Member kFindData[] = {
    {"nFileAttr", Kind::kNumber, 4},  {"cCreatTime", Kind::kBytes, 8},
    {"cLastATime", Kind::kBytes, 8},  {"cLastWTime", Kind::kBytes, 8},
    {"nFileSizeH", Kind::kNumber, 4}, {"nFileSizeL", Kind::kNumber, 4},
    {"nReserved0", Kind::kNumber, 4}, {"nReserved1", Kind::kNumber, 4},
    {"cFileName", Kind::kText, 260},  {"cShortName", Kind::kText, 14},
};
constexpr std::size_t kRecordSize = 320;

std::string time_bytes(runtime::FileTime t) {
    std::string bytes(8, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(t & 0xFF);
        t >>= 8;
    }
    return bytes;
}

// The record's buffer holding what the search found.
void fill(std::string& record, const runtime::FindData& found) {
    winlib::TStruct data = OWIN32FINDDATA();
    data.set("nFileAttr", static_cast<double>(found.attributes));
    data.set("cCreatTime", time_bytes(found.created));
    data.set("cLastATime", time_bytes(found.accessed));
    data.set("cLastWTime", time_bytes(found.written));
    data.set("nFileSizeH", static_cast<double>(found.size >> 32));
    data.set("nFileSizeL", static_cast<double>(found.size & 0xFFFFFFFFu));
    data.set("cFileName", found.name);
    data.set("cShortName", found.short_name);
    if (record.size() < kRecordSize) record.resize(kRecordSize, '\0');
    record.replace(0, kRecordSize, data.buffer());
}

}  // namespace

winlib::TStruct OWIN32FINDDATA() {
    winlib::TStruct data;
    for (const Member& m : kFindData) data.add_member(m.name, m.kind, m.length);
    data.pad_to(kRecordSize);
    return data;
}

std::intptr_t FINDFIRSTFILE(const std::string& pattern, std::string& record) {
    runtime::FindData found;
    runtime::SearchHandle search = runtime::find_first_file(pattern, found);
    if (search != runtime::kNoSearch) fill(record, found);
    return search;
}

bool FINDNEXTFILE(std::intptr_t search, std::string& record) {
    runtime::FindData found;
    if (!runtime::find_next_file(search, found)) return false;
    fill(record, found);
    return true;
}

bool FINDCLOSE(std::intptr_t search) { return runtime::find_close(search); }

}  // namespace kelv
