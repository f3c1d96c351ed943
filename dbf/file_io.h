// The table engine's one seam to the operating system's files: open with a sharing mode,
// positioned reads and writes, size, truncation, flushing and byte-range locks. Failures
// come back as Windows error numbers (2 file not found, 3 path not found, 5 access denied,
// 32 sharing violation, 33 lock violation, 112 disk full), taken from the failing call, so
// the error records carry the same codes on every platform.
//
// Sharing, as Windows' share modes give it: every open of a table takes the open-mode byte
// (kOpenModeByte) — shared for a shared open, exclusively for an exclusive one — so an
// exclusive open fails while anyone has the file open and a shared open fails while someone
// holds it exclusively (error 32). Win32 uses the share modes themselves and takes no byte.
//
// Locks are POSIX open-file-description locks (F_OFD_SETLK): they belong to this File, so
// closing another descriptor of the same file in this process keeps them, and two Files on
// one file conflict as two Windows handles do. Win32 uses LockFileEx/UnlockFileEx.
// Files are used by the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

namespace dbf {

// Windows error numbers the engine reports.
namespace oscode {
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kWriteFault = 29;
constexpr int kReadFault = 30;
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;
constexpr int kFileExists = 80;
constexpr int kDiskFull = 112;
}  // namespace oscode

// Below the record lock range (see lock_scheme.h), so no record or table lock touches it.
constexpr std::uint64_t kOpenModeByte = 3'999'999'999ULL;

class File {
public:
    enum class Access { kRead, kReadWrite };
    enum class Share { kShared, kExclusive };

    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Opens an existing file; 0 or the Windows error number.
    int open(const std::string& path, Access access, Share share);
    // Creates the file (replacing one that exists), opened read-write and exclusively.
    int create(const std::string& path);
    void close();
    bool is_open() const;

    // Reads up to n bytes at offset; `got` is how many arrived (short at end of file).
    int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got);
    // Writes all n bytes at offset, or fails (disk full: 112).
    int write_at(std::uint64_t offset, const char* data, std::size_t n);
    int size(std::uint64_t& bytes);
    int truncate(std::uint64_t bytes);
    // Hands written data to the disk.
    int sync();

    // Takes a lock over [offset, offset + length) without waiting: true when granted.
    // Shared locks need only read access; exclusive ones are asked for on read-only opens
    // too (Windows allows it; on POSIX a read-only File takes a shared lock instead).
    bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive = true);
    void unlock(std::uint64_t offset, std::uint64_t length);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
    bool writable_ = false;
#endif
};

// Paths are the program's Windows paths, mapped by the path layer (runtime/path.h).
bool file_exists(const std::string& path);
int remove_file(const std::string& path);

}  // namespace dbf
