// Which bytes the engine locks, in one chart (lock scheme 4 of the library's settings).
// Locks are byte-range locks on the table file (and, for allocating memo blocks, on the
// memo file) in a region past any real data, so they never stop a reader:
//
// | bytes                                   | held by                                        |
// |-----------------------------------------|------------------------------------------------|
// | 3,999,999,999                           | POSIX only: the open-mode byte (file_io.h)      |
// | 4,000,000,000                           | an append (or a memo block allocation, or the   |
// |                                         | roll-back of an open for writing), briefly      |
// | 4,000,000,000 + n, n = 1..294,967,294   | the lock of record n                            |
// | 4,000,000,000 .. 4,294,967,294 (whole)  | the table lock: conflicts with all of the above |
// | 4,000,000,000 of an index file          | the index lock: shared while a process reads   |
// |                                         | the index's pages, exclusive while it changes   |
// |                                         | them (index_file.h)                            |
//
// The range starts at 4,000,000,000 and is 294,967,295 bytes long, ending at 2^32 - 1.
// A table opened exclusively takes no locks: every lock is granted at once.
#pragma once

#include <cstdint>

namespace dbf {

constexpr std::uint64_t kLockBase = 4'000'000'000ULL;
constexpr std::uint64_t kLockLength = 294'967'295ULL;
constexpr std::uint64_t kAppendLockOffset = kLockBase;
constexpr std::uint64_t kIndexLockOffset = kLockBase;
constexpr std::uint32_t kMaxLockableRecord = 294'967'294U;

constexpr std::uint64_t record_lock_offset(std::uint32_t recno) { return kLockBase + recno; }

}  // namespace dbf
