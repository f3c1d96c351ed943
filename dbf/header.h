// The DBF table file's header and field descriptors, as other DBF tools write them.
//
// Header, 32 bytes (little-endian integers):
//
// | off | size | meaning                                                                  |
// |-----|------|--------------------------------------------------------------------------|
// |   0 |    1 | type: 0x03 dBase III/FoxBASE+ no memo (we write it), 0x83 dBase III with  |
// |     |      | DBT memo, 0x8B dBase IV with memo, 0xF5 FoxPro 2.x with memo (we write    |
// |     |      | it), 0x30/0x31/0x32 Visual FoxPro                                        |
// |   1 |    3 | last update Y, M, D; Y in years since 1900 (we write that; values below  |
// |     |      | 80 read as 20yy, as FoxPro wrote two-digit years)                        |
// |   4 |    4 | record count                                                             |
// |   8 |    2 | header length = offset of record 1 (readers must use it, not compute it)  |
// |  10 |    2 | record length, deletion flag included                                    |
// |  12 |   16 | reserved, zero                                                           |
// |  28 |    1 | table flags (VFP: 0x01 structural CDX, 0x02 memo); we write 0            |
// |  29 |    1 | code page mark: 0x03 = Windows-1252 (we write it)                         |
// |  30 |    2 | reserved, zero                                                           |
// |  32 | 32*n | field descriptors, then 0x0D; Visual FoxPro adds a 263-byte back link     |
//
// Field descriptor, 32 bytes:
//
// | off | size | meaning                                                                  |
// |-----|------|--------------------------------------------------------------------------|
// |   0 |   11 | name, ASCII, NUL-padded (10 characters at most)                          |
// |  11 |    1 | type: C N F D L M (and VFP's I Y B T, read only)                          |
// |  12 |    4 | VFP: offset in the record; others hold junk here: offsets are computed   |
// |  16 |    1 | width                                                                    |
// |  17 |    1 | decimals                                                                 |
// |  18 |    1 | VFP field flags (0x01 system field, e.g. _NullFlags)                      |
// |  19 |   13 | reserved                                                                 |
//
// Records follow the header: a deletion flag (0x20 live, 0x2A deleted) and the fields packed
// without separators; record n (from 1) lies at header length + (n - 1) * record length.
// One 0x1A byte follows the last record (some VFP tables lack it; reading does not need it).
// Sources: Microsoft "Table File Structure" (Visual FoxPro docs), the dBase III file summary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/date.h"

namespace dbf {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kVfpBacklinkSize = 263;
constexpr unsigned char kHeaderEnd = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr unsigned char kLive = 0x20;
constexpr unsigned char kDeleted = 0x2A;
constexpr unsigned char kTypeDbase3 = 0x03;
constexpr unsigned char kTypeDbase3Memo = 0x83;
constexpr unsigned char kTypeDbase4Memo = 0x8B;
constexpr unsigned char kTypeFoxProMemo = 0xF5;
constexpr unsigned char kCodePage1252 = 0x03;
constexpr std::size_t kMaxFieldName = 10;
// A descriptor holds the width in one byte.
constexpr int kMaxFieldWidth = 255;

// What the caller asks for when creating a table.
struct FieldDef {
    std::string name;
    char type = 'C';
    int width = 0;
    int decimals = 0;
};

// A field as the table holds it: its definition and its place in the record.
struct Field {
    std::string name;  // upper case as stored
    char type = 'C';
    int width = 0;
    int decimals = 0;
    std::size_t offset = 0;  // from the start of the record (the deletion flag is byte 0)
    bool system = false;     // VFP hidden field such as _NullFlags
};

struct Header {
    unsigned char type = kTypeDbase3;
    runtime::Date updated;
    std::uint32_t count = 0;
    std::uint16_t header_length = 0;
    std::uint16_t record_length = 0;
    unsigned char code_page = kCodePage1252;
    std::vector<Field> fields;

    bool has_memo_field() const;
    // Visual FoxPro tables keep memo block numbers as 4 binary bytes.
    bool is_vfp() const { return type == 0x30 || type == 0x31 || type == 0x32; }
};

// Why a header was refused; empty when it was accepted.
struct HeaderProblem {
    std::string what;
};

// Reads the header and descriptors from the file's first bytes (at least header_length of
// them when they exist). Nothing with the reason in `problem` when the bytes are not a
// consistent table header.
std::optional<Header> parse_header(std::string_view bytes, HeaderProblem& problem);

// The first 32 bytes alone (type, date, count, lengths), for re-reading the record count
// that another process may have changed.
std::uint32_t parse_count(std::string_view first_bytes);

// Builds a header from definitions; nothing with a reason naming the bad definition.
std::optional<Header> make_header(const std::vector<FieldDef>& defs, std::string& problem);

// The bytes of the header block (header, descriptors, terminator).
std::string serialize_header(const Header& header);
// The 8 bytes from offset 1: update date and record count.
std::string serialize_date_and_count(runtime::Date updated, std::uint32_t count);

// Little-endian integer helpers shared by the record and memo layers.
std::uint32_t read_le32(const char* p);
std::uint16_t read_le16(const char* p);
void write_le32(char* p, std::uint32_t v);
void write_le16(char* p, std::uint16_t v);
std::uint32_t read_be32(const char* p);
std::uint16_t read_be16(const char* p);
void write_be32(char* p, std::uint32_t v);
void write_be16(char* p, std::uint16_t v);

}  // namespace dbf
