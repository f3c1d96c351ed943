// The compound index file (FoxPro's compact ".CDX" layout), as other tools write it. Our
// index files have this inner layout whatever their extension. Sources: Microsoft "Compound
// Index File Structure" and "Compact Index File Structure" (Visual FoxPro docs),
// D. Kuechler's CDX description; checked against real files and DBD::XBase.
//
// The file is made of 512-byte pages; every pointer is the byte offset of a page.
//
// | offset | size | what                                                                  |
// |--------|------|-----------------------------------------------------------------------|
// |      0 | 1024 | file header (a tag header whose tag is the directory)                 |
// |   1024 |  512 | root page of the tag directory: keys are tag names (10 bytes, upper   |
// |        |      | case), each record number the offset of that tag's header             |
// |  later | 1024 | a tag header, usually followed by the tag's root page                 |
// |  later |  512 | further pages of any tree, appended as the trees grow                 |
//
// Tag header (and file header), 1024 bytes, little-endian:
//
// | off | size | meaning                                                                |
// |-----|------|------------------------------------------------------------------------|
// |   0 |    4 | offset of the root page                                                |
// |   4 |    4 | free page list: we write 0 (none); pages emptied by deletions are left  |
// |     |      | unused until the file is rebuilt (the list's chaining is undocumented) |
// |   8 |    4 | file header: update counter, raised by every change to the file; other  |
// |     |      | processes drop their cached pages when it moves. Tag headers: 0        |
// |  12 |    2 | key length in bytes (1..240)                                            |
// |  14 |    1 | options: 0x01 unique, 0x08 has a FOR condition, 0x20 compact, 0x40      |
// |     |      | compound; the file header has 0xE0                                     |
// |  15 |    1 | signature, 1                                                           |
// |  16 |  486 | reserved, zero (Visual FoxPro keeps statistics here; we write none)     |
// | 502 |    2 | 0 ascending, 1 descending                                              |
// | 504 |    2 | key expression length + FOR length - 1 (both with their NUL)           |
// | 506 |    2 | FOR expression length with its NUL (1 when there is none)              |
// | 508 |    2 | reserved, zero                                                         |
// | 510 |    2 | key expression length with its NUL                                      |
// | 512 |  512 | the key expression, NUL, the FOR expression, NUL: the text as typed     |
//
// Every page starts with a 12-byte node header:
//
// | off | size | meaning                                                                |
// |-----|------|------------------------------------------------------------------------|
// |   0 |    2 | attributes: 0x01 root, 0x02 leaf (0 interior); Visual FoxPro also sets  |
// |     |      | 0x04 on a tag's root leaf (meaning unknown: read, never written)       |
// |   2 |    2 | number of keys                                                         |
// |   4 |    4 | left sibling at the same level, 0xFFFFFFFF none                         |
// |   8 |    4 | right sibling, 0xFFFFFFFF none                                         |
//
// Interior page, from offset 12: `count` entries of key length + 8 bytes each: the key
// (whole), the record number and the child page's offset, both big-endian. An entry's key
// and record number are the last (largest) ones of the child's subtree.
//
// Leaf page ("compact"):
//
// | off | size | meaning                                                                |
// |-----|------|------------------------------------------------------------------------|
// |  12 |    2 | free bytes of the 488-byte area from offset 24                          |
// |  14 |    4 | record number mask                                                     |
// |  18 |    1 | duplicate count mask                                                   |
// |  19 |    1 | trailing count mask                                                    |
// |  20 |    1 | record number bits (RB)                                                |
// |  21 |    1 | duplicate count bits (DB)                                              |
// |  22 |    1 | trailing count bits (TB)                                               |
// |  23 |    1 | bytes per entry (EB), (RB + DB + TB) / 8                               |
// |  24 |  488 | entries grow forwards from 24, key bytes backwards from 511            |
//
// Entry i is an EB-byte little-endian number at 24 + i * EB: record number in its low RB
// bits, then the duplicate count (bytes shared with the previous key of the page, 0 for the
// first), then the trailing count (pad bytes dropped from the key's end). The remaining
// bytes key[dup, keylen - trail) lie just before the previous key's bytes; the first key
// ends at offset 511. The pad is a blank for character keys and NUL for the others.
// We choose the widths as Visual FoxPro does: DB = TB = the bit length of the key length,
// EB the fewest bytes that hold them and the page's largest record number, RB the rest.
//
// Keys (key.h): character keys are the text's bytes padded with blanks; numbers, dates
// (their Julian day) and RECNO() are an 8-byte big-endian double, its sign bit set when
// the value is not negative and all bits inverted when it is, so bytes order as numbers;
// logical keys are "T" or "F". Keys order as unsigned bytes, then by record number.
// A descending tag keeps its keys in that same order and is read backwards (nothing
// we found shows the other layout); we write ascending tags.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dbf::cdx {

constexpr std::size_t kPageSize = 512;
constexpr std::size_t kHeaderSize = 1024;
constexpr std::uint32_t kDirectoryRoot = 1024;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// Header fields.
constexpr std::size_t kRootAt = 0;
constexpr std::size_t kFreeListAt = 4;
constexpr std::size_t kCounterAt = 8;
constexpr std::size_t kKeyLengthAt = 12;
constexpr std::size_t kOptionsAt = 14;
constexpr std::size_t kSignatureAt = 15;
constexpr std::size_t kOrderAt = 502;
constexpr std::size_t kTotalLengthAt = 504;
constexpr std::size_t kForLengthAt = 506;
constexpr std::size_t kKeyExprLengthAt = 510;
constexpr std::size_t kExpressionsAt = 512;
constexpr std::size_t kExpressionRoom = 512;

constexpr unsigned char kOptionUnique = 0x01;
constexpr unsigned char kOptionFor = 0x08;
constexpr unsigned char kOptionCompact = 0x20;
constexpr unsigned char kOptionCompound = 0x40;
constexpr unsigned char kOptionStructural = 0x80;
constexpr unsigned char kSignature = 1;

// Node header and pages.
constexpr std::uint16_t kAttrRoot = 0x01;
constexpr std::uint16_t kAttrLeaf = 0x02;
constexpr std::size_t kNodeHeader = 12;
constexpr std::size_t kLeafArea = 488;
constexpr std::size_t kLeafEntriesAt = 24;
constexpr std::size_t kInteriorArea = kPageSize - kNodeHeader;

constexpr std::size_t kMaxKeyLength = 240;
constexpr std::size_t kTagNameLength = 10;

}  // namespace dbf::cdx
