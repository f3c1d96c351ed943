#include "dbf/record_cache.h"

#include <algorithm>
#include <cstring>

namespace dbf {

void RecordCache::reset(std::uint32_t header_length, std::uint32_t record_length) {
    header_length_ = header_length;
    record_length_ = std::max<std::uint32_t>(1, record_length);
    per_block_ = std::max<std::uint32_t>(1, kBlockBytes / record_length_);
    block_bytes_ = per_block_ * record_length_;
    slots_ = std::max<std::uint32_t>(1, kCacheBytes / block_bytes_);
    chunks_.clear();
    chunks_.resize((slots_ + kChunkSlots - 1) / kChunkSlots);
    tag_.assign(slots_, 0);
    held_.assign(slots_, 0);
    clear();
}

char* RecordCache::slot_data(std::uint32_t slot) {
    std::unique_ptr<char[]>& chunk = chunks_[slot / kChunkSlots];
    if (!chunk)
        chunk = std::make_unique_for_overwrite<char[]>(std::size_t{kChunkSlots} * block_bytes_);
    return chunk.get() + std::size_t{slot % kChunkSlots} * block_bytes_;
}

void RecordCache::clear() {
    std::fill(tag_.begin(), tag_.end(), 0);
    hit_first_ = hit_end_ = 0;
    last_read_ = 0;
}

const char* RecordCache::record(File& file, std::uint32_t recno, std::uint32_t on_disk,
                                Result& result) {
    result = {};
    if (recno >= hit_first_ && recno < hit_end_)
        return hit_data_ + std::size_t{recno - hit_first_} * record_length_;
    std::uint32_t block = (recno - 1) / per_block_;
    std::uint32_t slot = block % slots_;
    if (tag_[slot] == block + 1 && (recno - 1) % per_block_ < held_[slot])
        return hit(slot, block, recno);
    // Reading on from the block before takes a run of blocks in one read, up to the end of
    // the store (no wrap) and of the records on disk.
    std::uint32_t blocks_on_disk = (on_disk + per_block_ - 1) / per_block_;
    std::uint32_t run = last_read_ == block ? kReadAheadBlocks : 1;
    run = std::min({run, slots_ - slot, blocks_on_disk - block});
    run = std::min(run, kChunkSlots - slot % kChunkSlots);  // one read fills one chunk
    std::uint32_t first = block * per_block_ + 1;
    std::uint32_t records = std::min(run * per_block_, on_disk - first + 1);
    std::size_t bytes = std::size_t{records} * record_length_;
    std::uint64_t at = header_length_ + std::uint64_t{first - 1} * record_length_;
    std::size_t got = 0;
    for (std::uint32_t s = slot; s < slot + run; ++s) tag_[s] = 0;
    hit_first_ = hit_end_ = 0;
    if (int e = file.read_at(at, slot_data(slot), bytes, got)) {
        result.oscode = e;
        return nullptr;
    }
    if (got < bytes) {
        result.cut_at = first + static_cast<std::uint32_t>(got / record_length_);
        return nullptr;
    }
    for (std::uint32_t s = slot, left = records; s < slot + run; ++s) {
        tag_[s] = block + (s - slot) + 1;
        held_[s] = std::min(left, per_block_);
        left -= held_[s];
    }
    last_read_ = block + run;
    return hit(slot, block, recno);
}

const char* RecordCache::hit(std::uint32_t slot, std::uint32_t block, std::uint32_t recno) {
    hit_first_ = block * per_block_ + 1;
    hit_end_ = hit_first_ + held_[slot];
    hit_data_ = slot_data(slot);
    return hit_data_ + std::size_t{recno - hit_first_} * record_length_;
}

void RecordCache::update(std::uint32_t recno, const char* bytes) {
    std::uint32_t block = (recno - 1) / per_block_;
    std::uint32_t slot = block % slots_;
    std::uint32_t index = (recno - 1) % per_block_;
    // A record past what the block holds is not held: reading it reads the block again.
    if (tag_[slot] == block + 1 && index < held_[slot])
        std::memcpy(slot_data(slot) + std::size_t{index} * record_length_, bytes, record_length_);
}

void RecordCache::forget(std::uint32_t recno) {
    std::uint32_t block = (recno - 1) / per_block_;
    std::uint32_t slot = block % slots_;
    if (tag_[slot] != block + 1) return;
    tag_[slot] = 0;
    if (recno >= hit_first_ && recno < hit_end_) hit_first_ = hit_end_ = 0;
}

}  // namespace dbf
