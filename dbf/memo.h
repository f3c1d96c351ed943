// Memo files: the texts of a table's M fields, in blocks addressed by the number stored in
// the record. The engine writes the FoxPro block layout (in the ".DBT" file our tables
// use, or ".FPT" where other tools put it) and reads dBase III and dBase IV DBT files too.
//
// FoxPro block layout (big-endian integers):
//
// | where                 | off | size | meaning                                        |
// |-----------------------|-----|------|------------------------------------------------|
// | header (512 bytes)    |   0 |    4 | next free block                                |
// |                       |   6 |    2 | block size in bytes (we write 64)              |
// | memo at block b       |   0 |    4 | kind: 0 picture, 1 text                        |
// | (offset b * size)     |   4 |    4 | length of the data                             |
// |                       |   8 |  len | data, then padding to the next block boundary  |
//
// dBase III DBT: 512-byte blocks; header bytes 0-3 = next free block (little-endian); a
// memo runs from its block to the bytes 0x1A 0x1A (the last block may be short).
// dBase IV DBT: header 0-3 next free block, 20-21 block size (little-endian); each memo
// starts FF FF 08 00 and a little-endian length that counts these 8 bytes.
// Sources: Microsoft "Memo File Structure (.FPT)"; the dBase III and dBase IV DBT notes.
#pragma once

#include <cstdint>
#include <string>

#include "dbf/file_io.h"

namespace dbf {

enum class MemoFormat { kFoxBlocks, kDbase3, kDbase4 };

// Result of a memo operation: 0 / empty on success, else the OS code of the failing call
// or the reason the file is damaged.
struct MemoStatus {
    int oscode = 0;
    std::string damage;
    bool ok() const { return oscode == 0 && damage.empty(); }
};

class MemoFile {
public:
    static constexpr std::uint32_t kFoxBlockSize = 64;
    static constexpr std::size_t kHeaderBytes = 512;

    int open(const std::string& path, File::Access access, File::Share share, MemoFormat format);
    // A new, empty memo file in the FoxPro layout.
    int create(const std::string& path);
    void close() { file_.close(); }
    bool is_open() const { return file_.is_open(); }
    MemoFormat format() const { return format_; }
    const std::string& path() const { return path_; }

    // The memo at `block` (0 = none gives the empty text).
    MemoStatus read(std::uint32_t block, std::string& text);
    // Stores the text and gives its block (0 for the empty text). The old memo's blocks
    // are reused when the new text fits in them, otherwise new blocks are taken at the end.
    // `shared`: other processes may allocate too, so the allocation holds the memo lock.
    MemoStatus write(const std::string& text, std::uint32_t old_block, bool shared,
                     std::uint32_t& block);
    // Empties the file (zap).
    MemoStatus clear();
    MemoStatus sync();

private:
    MemoStatus header(std::uint32_t& next_free, std::uint32_t& block_size);
    // Takes `blocks` blocks at the end; the caller holds the allocation lock.
    MemoStatus allocate(std::uint32_t blocks, std::uint32_t& first);

    File file_;
    std::string path_;
    MemoFormat format_ = MemoFormat::kFoxBlocks;
};

}  // namespace dbf
