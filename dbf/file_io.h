// The table engine's one seam to the operating system's files: open with a sharing mode,
// positioned reads and writes, size, truncation, flushing and byte-range locks. Failures
// come back as Windows error numbers (2 file not found, 3 path not found, 5 access denied,
// 32 sharing violation, 33 lock violation, 112 disk full), taken from the failing call, so
// the error records carry the same codes on every platform.
//
// Sharing, as Windows' share modes give it: every open of a table takes the open-mode byte
// (runtime::kOpenModeByte) — shared for a shared open, exclusively for an exclusive one — so an
// exclusive open fails while anyone has the file open and a shared open fails while someone
// holds it exclusively (error 32). Win32 uses the share modes themselves and takes no byte.
//
// Locks are POSIX open-file-description locks (F_OFD_SETLK): they belong to this File, so
// closing another descriptor of the same file in this process keeps them, and two Files on
// one file conflict as two Windows handles do. Win32 uses LockFileEx/UnlockFileEx.
//
// Every call goes through a replaceable layer (FileLayer, after SQLite's VFS): production
// uses the system's, tests install one over it that fails the nth read, write, lock or
// flush, so the engine's answer to a failing disk can be tried on both systems. The
// backends' handles live behind it, in posix/ and win32/.
// Files and layers are used by the user-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/fs.h"

namespace dbf {

// The Windows error numbers, as the runtime's file-system seam lists them.
namespace oscode = runtime::oscode;

// One open file of a layer (below): the calls on it, each answering 0 or the Windows error
// number. Closed when destroyed.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Reads up to n bytes at offset; `got` is how many arrived (short at end of file).
    virtual int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got) = 0;
    // Writes all n bytes at offset, or fails (disk full: 112); a failed write may have put
    // some of the bytes on the disk.
    virtual int write_at(std::uint64_t offset, const char* data, std::size_t n) = 0;
    virtual int size(std::uint64_t& bytes) = 0;
    virtual int truncate(std::uint64_t bytes) = 0;
    // Hands written data to the disk.
    virtual int sync() = 0;
    // Takes a lock over [offset, offset + length) without waiting: true when granted.
    // Shared locks need only read access; exclusive ones are asked for on read-only opens
    // too (Windows allows it; on POSIX a read-only file takes a shared lock instead).
    virtual bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive) = 0;
    virtual void unlock(std::uint64_t offset, std::uint64_t length) = 0;
};

// An open table or memo file, from the installed layer (below) at the time of opening.
class File {
public:
    enum class Access { kRead, kReadWrite };
    enum class Share { kShared, kExclusive };

    // Opens an existing file; 0 or the Windows error number.
    int open(const std::string& path, Access access, Share share);
    // Creates the file (replacing one that exists), opened read-write and exclusively.
    int create(const std::string& path);
    void close() { file_.reset(); }
    bool is_open() const { return file_ != nullptr; }

    // The calls of OpenFile; on a closed File they fail as on an invalid handle.
    int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got) {
        return file_ ? file_->read_at(offset, data, n, got) : oscode::kInvalidHandle;
    }
    int write_at(std::uint64_t offset, const char* data, std::size_t n) {
        return file_ ? file_->write_at(offset, data, n) : oscode::kInvalidHandle;
    }
    int size(std::uint64_t& bytes) { return file_ ? file_->size(bytes) : oscode::kInvalidHandle; }
    int truncate(std::uint64_t bytes) {
        return file_ ? file_->truncate(bytes) : oscode::kInvalidHandle;
    }
    int sync() { return file_ ? file_->sync() : oscode::kInvalidHandle; }
    bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive = true) {
        return file_ && file_->try_lock(offset, length, exclusive);
    }
    void unlock(std::uint64_t offset, std::uint64_t length) {
        if (file_) file_->unlock(offset, length);
    }

private:
    std::unique_ptr<OpenFile> file_;
};

// What opens the files: the system's own calls (posix/file_io.cpp or win32/file_io.cpp),
// or a layer installed over them that passes the calls on, such as the tests' layer that
// fails a chosen call. A layer outlives the files opened through it.
class FileLayer {
public:
    virtual ~FileLayer() = default;
    // As File::open and File::create; `file` is set on success only.
    virtual int open(const std::string& path, File::Access access, File::Share share,
                     std::unique_ptr<OpenFile>& file) = 0;
    virtual int create(const std::string& path, std::unique_ptr<OpenFile>& file) = 0;
};

// The system's layer: the platform's calls, with the sharing and locks described above.
FileLayer& system_file_layer();
// The layer files are opened through from now on (the system's until replaced); answers
// the one it replaces. Files already open keep theirs.
FileLayer& install_file_layer(FileLayer& layer);

// Paths are the program's Windows paths, mapped by the path layer (runtime/path.h).
bool file_exists(const std::string& path);
int remove_file(const std::string& path);

}  // namespace dbf
