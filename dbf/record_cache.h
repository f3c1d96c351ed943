// Record bytes of a table file kept in memory while nobody else can change them (the
// table opened exclusively, or held by this process's table lock): blocks of whole records,
// about 4 KiB each, in a direct-mapped store of at most 2 MiB (SQLite's default page cache),
// taken as the table grows. A read that goes on from the block before reads a run of blocks
// at once. The table keeps the cache true: its own writes that reached the disk go through
// update(), a failed one through forget(), and it clears the cache whenever others may have
// written.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dbf/file_io.h"

namespace dbf {

class RecordCache {
public:
    struct Result {
        int oscode = 0;            // the read failed with this Windows error number
        std::uint32_t cut_at = 0;  // else, when not 0: the file ends inside this record
    };

    // Forgets everything and takes the table's layout.
    void reset(std::uint32_t header_length, std::uint32_t record_length);
    void clear();

    // The bytes of record `recno` (1 .. `on_disk`, the records the file holds), read from
    // `file` when not held. Valid until the next call.
    const char* record(File& file, std::uint32_t recno, std::uint32_t on_disk, Result& result);
    // This process wrote record `recno`: a held copy takes the new bytes.
    void update(std::uint32_t recno, const char* bytes);
    // A write of record `recno` failed, perhaps after part of it reached the disk: its block
    // is read again when next asked for.
    void forget(std::uint32_t recno);

private:
    static constexpr std::uint32_t kBlockBytes = 4096;
    static constexpr std::uint32_t kCacheBytes = 2 * 1024 * 1024;
    static constexpr std::uint32_t kReadAheadBlocks = 16;

    // The store is taken in chunks as slots are first used: a small table costs little, and
    // nothing is cleared or moved as it grows.
    static constexpr std::uint32_t kChunkSlots = 16;
    char* slot_data(std::uint32_t slot);
    // Notes the block in `slot` as the one found last; the bytes of `recno` in it.
    const char* hit(std::uint32_t slot, std::uint32_t block, std::uint32_t recno);

    std::uint32_t header_length_ = 0;
    std::uint32_t record_length_ = 1;
    std::uint32_t per_block_ = 1;    // records in a block
    std::uint32_t block_bytes_ = 1;  // per_block_ * record_length_
    std::uint32_t slots_ = 1;
    // Per slot: 1 + the block it holds (0: none), and how many of its records it holds.
    std::vector<std::uint32_t> tag_;
    std::vector<std::uint32_t> held_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    // The records of the block found last, for reading on in it without arithmetic.
    std::uint32_t hit_first_ = 0, hit_end_ = 0;
    const char* hit_data_ = nullptr;
    std::uint32_t last_read_ = 0;  // the block after the last run read: reading goes on there
};

}  // namespace dbf
