// The bytes of a field in a record and the values they stand for, in both directions: what
// the table reads and writes, and what an order builds its keys from.
//
// | type | width | bytes                                                     | value           |
// |------|-------|-----------------------------------------------------------|-----------------|
// | C    | 1-254 | the text, padded with spaces                              | text            |
// | N, F | 1-20  | the number right-aligned, fixed decimals (field_number.h) | number (w, d)   |
// | D    | 8     | YYYYMMDD; spaces for the empty date                       | date            |
// | L    | 1     | T, t, Y, y read true, anything else false; we write T/F   | logical         |
// | M    | 10    | block number right-aligned in digits, spaces for none     | the memo's text |
// |      | 4     | VFP: block number, little-endian                          |                 |
// | I, + | 4     | VFP: signed little-endian integer                         | number (11, 0)  |
// | Y    | 8     | VFP: signed little-endian 64-bit count of 1/10000         | number (20, 4)  |
// | B    | 8     | VFP: IEEE double, little-endian                           | number (20, d)  |
// | T    | 8     | VFP: Julian day (0: none), then milliseconds of the day   | date-time       |
//
// N fields in tables of other tools may be up to 255 wide; they are written as ours are.
// Any other type, or a VFP type of another width, reads as its bytes' text. C, N, D and L
// are written; the others are read-only. A memo's text lives in the memo file, which the
// table reads and writes: here are only the block numbers in the record.
#pragma once

#include <cstdint>
#include <string_view>

#include "dbf/header.h"
#include "runtime/value.h"

namespace dbf {

// The value of a field's `f.width` bytes. An M field gives its bytes as text.
runtime::Value decode_field(const Field& f, std::string_view raw);

enum class Encoded { kDone, kWrongType, kTooWide, kReadOnly };

// Writes `value` into the field's `f.width` bytes at `out`, which stay unchanged unless
// the answer is kDone.
Encoded encode_field(const Field& f, const runtime::Value& value, char* out);

// A memo field's block number: 0 for none, kBadMemoBlock when the bytes are not a number.
constexpr std::uint32_t kBadMemoBlock = 0xFFFFFFFFu;
std::uint32_t decode_memo_block(const Field& f, const char* raw);
// A block number into the 10 bytes of a memo field in our records (spaces for 0).
void encode_memo_block(std::uint32_t block, char* out);

}  // namespace dbf
