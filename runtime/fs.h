// The one seam to the platform's file system, and the few process services the runtime
// needs: files (open with Windows' sharing too), folders, attributes, times, the current
// folder, full names, drives, the directory listing and file search, the TEMP folder, the
// system error mode and local time. Nothing else of the program includes a platform
// header for these.
//
// One side per platform, with the same file names: fs.cpp (files, folders, attributes,
// times, drives, process services), fs_open.cpp (open files) and fs_list.cpp (listing and
// file search), in posix/ and in win32/ (the wide calls, names through the 1252 table),
// each side with an fs_common.h between its files.
//
// Paths in are the program's Windows paths (1252 text), mapped on POSIX by the path layer
// (runtime/path.h). Calls that can fail give 0 or the Windows error number of the failing
// call (oscode below), the same number on both systems. Every call is made by the
// user-interface thread only.
//
// Windows' meanings on POSIX, chosen once here:
//   - read-only: nobody has write permission. Setting it takes the write permissions
//     away, clearing it gives the owner write permission. A read-only file refuses to be
//     deleted, replaced, copied over or given a new time (5), as on Windows, for root
//     too (the Windows side looks first as well: Wine run by root would let it through).
//   - hidden: the name begins with "." (not "." and ".." themselves). It follows the name,
//     so setting or clearing it changes nothing and succeeds.
//   - system: anything that is neither a regular file nor a folder (a pipe, a device). It
//     cannot be set either.
//   - archive: every regular file carries it, as a file Windows has just written does.
//   - sharing: a file open with Windows sharing holds a lock on the open-mode byte
//     kOpenModeByte (an open-file-description lock, so it binds other processes and
//     other opens of this one, as Windows handles do): shared opens a read lock,
//     exclusive opens a write lock, exactly as the table engine's opens. So an open that
//     Windows would refuse for sharing fails with 32 here too, between processes as well;
//     and a file held open so refuses to be deleted, moved, copied over or given a new
//     time (32) and to be replaced (5, as Windows denies a rename over an open file).
//     Windows' finer share modes (read only, delete) are not told apart: a shared open
//     lets others read and write and never delete, as FILE_SHARE_READ|FILE_SHARE_WRITE.
//     POSIX grants the write lock only to a descriptor that may write: a process other
//     than root that holds a file nobody may write "exclusively" takes the read lock,
//     which still refuses every writer, every exclusive open and every delete.
//   - symbolic links: listed as what they lead to, with the link flag; deleting one
//     removes the link (remove_folder for a link to a folder, as Windows removes a
//     folder's link), never what it leads to.
//   - read-only also refuses an open for writing and a create over it (5), root too.
//   - move does not replace an existing target (183), as MoveFileA.
//   - drives: one, "C:", the single root. The path layer lets any drive letter name the
//     root (runtime/path.h), but only C: is a drive of its own: the type of a root with
//     another letter is "no root" (1), so the list of drives a user is shown holds C:
//     alone. C:'s type, and that of a drive-less path, comes from the file system mounted
//     there, as Linux's statfs names it (remote for NFS and SMB, CD-ROM for ISO 9660 and
//     UDF, RAM disk for tmpfs and ramfs, removable for FAT and exFAT, fixed for the rest);
//     a path that does not exist has no root (1).
//   - full names are made from the text alone, as GetFullPathNameA does: a relative name
//     is put after the current folder, "." and ".." parts are resolved, the drive and the
//     case stay as written.
//   - file search: the listing's matching (list_directory); times from stat (creation:
//     the birth time where the file system keeps one, else the last write); no 8.3 names
//     (the short name is empty, as Windows leaves it when the long name is one already).
//   - the system error mode is only kept: POSIX shows no critical-error boxes of its own
//     (a drive that is not ready or a damaged medium fails the call with an error
//     number, which the seam turns into the Windows one), so there is nothing to set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Windows error numbers the seams report (this one and the table engine's, dbf/file_io.h).
namespace oscode {
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kInvalidHandle = 6;
constexpr int kWriteFault = 29;
constexpr int kReadFault = 30;
constexpr int kSharingViolation = 32;
constexpr int kLockViolation = 33;
constexpr int kFileExists = 80;
constexpr int kNegativeSeek = 131;
constexpr int kDiskFull = 112;
constexpr int kDirNotEmpty = 145;
constexpr int kAlreadyExists = 183;
constexpr int kDirectory = 267;  // a folder was expected
}  // namespace oscode

// The attribute bits, as Windows numbers them.
namespace attribute {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;  // no other bit: what "none" is written as
}  // namespace attribute

// The drive types, as Windows numbers them.
namespace drive {
constexpr int kUnknown = 0;
constexpr int kNoRootDir = 1;
constexpr int kRemovable = 2;
constexpr int kFixed = 3;
constexpr int kRemote = 4;
constexpr int kCdRom = 5;
constexpr int kRamDisk = 6;
}  // namespace drive

// The byte whose lock marks a file open with Windows sharing on POSIX: below the record
// lock range of the tables (dbf/lock_scheme.h), so no record or table lock touches it.
constexpr std::uint64_t kOpenModeByte = 3'999'999'999ULL;

// --- Files

// True when a file (not a folder) of that name exists.
bool file_exists(std::string_view path);
// Deletes a file (DeleteFileA): 5 for a folder or a read-only file.
int remove_file(std::string_view path);
// Renames or moves a file or folder (MoveFileA); an existing target is not replaced (183).
int move_file(std::string_view from, std::string_view to);
// Puts the file `from` in the place of `to` in one step, replacing it: `from`'s bytes are
// handed to the disk first, so after a power cut `to` is the old file or the new one,
// never an empty one.
int replace_file(std::string_view from, std::string_view to);
// Copies a file, replacing an existing target (CopyFileExA, flags 0), with its attributes
// and last-write time. `progress` runs after each part copied; the copy then goes on.
// A failed copy leaves no target behind.
using CopyProgress = std::function<void()>;
int copy_file(std::string_view from, std::string_view to, const CopyProgress& progress = {});

// --- Open files

// An open file is the platform's own number for it (a descriptor on POSIX, a HANDLE on
// Windows), so that it can be kept as a plain integer; kNoFile is none.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

enum class Access { kRead, kWrite, kReadWrite };
// kShared: others may open it to read and write (FILE_SHARE_READ | FILE_SHARE_WRITE);
// kExclusive: nobody else may open it (no sharing). Under neither can it be deleted,
// moved or replaced while open.
enum class Share { kShared, kExclusive };
// kOpenExisting: the file must exist (2 or 3 otherwise); kCreateAlways: created, or
// emptied when it exists (CREATE_ALWAYS; 5 over a read-only file).
enum class Disposition { kOpenExisting, kCreateAlways };

// Opens a file (CreateFileA): 0 and the handle, or the Windows error number (5 for a
// folder or for writing a read-only file, 32 when another open's sharing refuses it).
int open_file(std::string_view path, Access access, Share share, Disposition disposition,
              FileHandle& file);
// Reads up to n bytes from the current position; `got` is how many came (0 at the end).
int read_file(FileHandle file, char* data, std::size_t n, std::size_t& got);
// Writes all n bytes at the current position, or fails (disk full: 112).
int write_file(FileHandle file, const char* data, std::size_t n);
// Moves the position by `distance` bytes from where it is (SetFilePointer, FILE_CURRENT).
int move_file_pointer(FileHandle file, std::int64_t distance);
// Closes the file, letting go of its sharing; 6 for a handle that is not open.
int close_file(FileHandle file);

// --- Folders

int create_folder(std::string_view path);  // 183 when it exists, 3 without its parent
// 145 when not empty, 267 for a file; a link to a folder goes itself, as on Windows.
int remove_folder(std::string_view path);
// The current folder as a Windows path; empty when it cannot be read.
std::string current_folder();
int set_current_folder(std::string_view path);
// The full name of a file or folder name, relative or absolute (GetFullPathNameA): from
// the text and the current folder alone, the disk is not asked. Empty when it cannot be
// made.
std::string full_name(std::string_view path);

// --- Attributes and times

int file_attributes(std::string_view path, std::uint32_t& bits);
int set_file_attributes(std::string_view path, std::uint32_t bits);
// The last-write time as Windows counts it: 100-nanosecond steps since 1 January 1601 UTC.
// Files and folders alike.
using FileTime = std::uint64_t;
int last_write_time(std::string_view path, FileTime& time);
int set_last_write_time(std::string_view path, FileTime time);

// --- Drives

// The type (drive::) of the drive a root path such as "C:\" names.
int drive_type(std::string_view root);
// All the free bytes of the disk that holds the path, quotas aside.
int free_space(std::string_view path, std::uint64_t& bytes);

// --- Directory listing

struct DirEntry {
    std::string name;  // without path, Windows-1252
    bool directory = false;
    bool read_only = false;
    bool hidden = false;
    bool system = false;
    // A symbolic link (POSIX) or a reparse point (Windows, FILE_ATTRIBUTE_REPARSE_POINT):
    // the flags above are those of what it leads to; deleting it removes the link alone
    // (remove_folder for one that leads to a folder, remove_file for the rest).
    bool link = false;
};

// Every entry that matches a pattern, in the order the file system reports them; "." and
// ".." included when the pattern matches them; an empty list when the folder does not
// exist or cannot be read. The pattern's last part may hold "*" and "?", matched as the
// Win32 file search does: "*" any run, "?" one character (or none before a full stop or
// at the end), "*.*" everything, a ".*" or a final "." also matching a name without
// extension, "*." followed by an extension matched against the last full stop; names
// compare without regard to case. Wine's own search is simpler ("?" is always one
// character, a final "." is dropped); the POSIX side follows Windows.
std::vector<DirEntry> list_directory(std::string_view pattern);

// --- File search (FindFirstFileA, FindNextFileA, FindClose)

// What the search tells of one entry, the members of Windows' find-data record.
struct FindData {
    std::uint32_t attributes = 0;
    FileTime created = 0;
    FileTime accessed = 0;
    FileTime written = 0;
    std::uint64_t size = 0;
    std::string name;        // without path, Windows-1252
    std::string short_name;  // the 8.3 name, empty when the name is one
};
// A search in progress, a plain integer as the open files are; kNoSearch is none.
using SearchHandle = std::intptr_t;
constexpr SearchHandle kNoSearch = -1;

// Starts a search over a pattern matched as list_directory matches it: the first entry,
// or kNoSearch when nothing matches (a missing folder too).
SearchHandle find_first_file(std::string_view pattern, FindData& found);
// The next entry; false when there is none left (or the handle is not a search).
bool find_next_file(SearchHandle search, FindData& found);
// Ends the search; false for a handle that is not a search.
bool find_close(SearchHandle search);

// --- Process services

// The folder the TEMP environment variable names, as a Windows path; empty when unset.
std::string temp_folder();
// Sets the system error mode (SetErrorMode; 1 = no critical-error boxes) and returns the
// one it replaces.
constexpr unsigned kFailCriticalErrors = 1;
unsigned set_system_error_mode(unsigned mode);
// The calendar time in the local time zone.
std::tm local_time(std::time_t time);
// The full path of the running program's file (GetModuleFileName; on POSIX the file the
// kernel started, /proc/self/exe), as a Windows path; empty when it cannot be read.
std::string program_path();

}  // namespace runtime
