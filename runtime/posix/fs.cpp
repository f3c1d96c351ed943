// The file-system seam on POSIX: Windows' answers from POSIX calls, with the meanings that
// runtime/fs.h fixes (read-only, hidden, sharing, moves that do not replace).
#include "runtime/fs.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "runtime/path.h"
#include "runtime/posix/fs_common.h"

namespace runtime {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
// Windows counts file times from 1601, POSIX from 1970.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

}  // namespace

namespace posix {

int windows_error(int err, const std::string& native, int fallback, int exists) {
    switch (err) {
        case ENOENT: {
            std::filesystem::path folder = std::filesystem::path(native).parent_path();
            std::error_code ec;
            return folder.empty() || std::filesystem::is_directory(folder, ec)
                       ? oscode::kFileNotFound
                       : oscode::kPathNotFound;
        }
        case ENOTDIR:
            return oscode::kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return oscode::kAccessDenied;
        case EBUSY:
            return oscode::kSharingViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return oscode::kDiskFull;
        case EEXIST:
            return exists;
        case ENOTEMPTY:
            return oscode::kDirNotEmpty;
        default:
            return fallback;
    }
}

FileTime file_time_of(const struct timespec& t) {
    return static_cast<FileTime>((t.tv_sec + kSecondsFrom1601To1970) * 10'000'000 +
                                 t.tv_nsec / 100);
}

std::uint32_t attributes_of(std::string_view name, const struct stat& st) {
    std::uint32_t bits = 0;
    if (is_read_only(st)) bits |= attribute::kReadOnly;
    if (name.size() > 1 && name.front() == '.' && name != "..") bits |= attribute::kHidden;
    if (S_ISDIR(st.st_mode)) bits |= attribute::kDirectory;
    else if (S_ISREG(st.st_mode)) bits |= attribute::kArchive;
    else bits |= attribute::kSystem;
    return bits;
}

}  // namespace posix

namespace {

using posix::file_time_of;
using posix::is_read_only;
using posix::windows_error;

std::string native(std::string_view path) { return native_path(path).string(); }

// True when someone holds the file open with Windows sharing: another open has locked
// the open-mode byte.
bool held_open(const std::string& native) {
    int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(kOpenModeByte);
    fl.l_len = 1;
    bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// 0 when Windows would let this existing entry be deleted or written over; else why not.
int may_replace(const std::string& native, const struct stat& st) {
    if (S_ISDIR(st.st_mode) || is_read_only(st)) return oscode::kAccessDenied;
    return held_open(native) ? oscode::kSharingViolation : 0;
}

// The folder's entry of a renamed file reaches the disk with the folder's own flush.
void sync_folder_of(const std::string& native) {
    std::string folder = std::filesystem::path(native).parent_path().string();
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Copies the open file `in` into `out` part by part; 0 or the Windows error number.
int copy_bytes(int in, int out, const CopyProgress& progress) {
    char buffer[64 * 1024];
    for (;;) {
        ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return oscode::kReadFault;
        if (got == 0) return 0;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return windows_error(errno, "", oscode::kWriteFault);
            done += put;
        }
        if (progress) progress();
    }
}

struct timespec timespec_of(FileTime time) {
    struct timespec t {};
    t.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time / 10'000'000) -
                                   kSecondsFrom1601To1970);
    t.tv_nsec = static_cast<long>(time % 10'000'000 * 100);
    return t;
}

// The file systems whose drive type is not "fixed" (statfs(2) magic numbers).
struct FsType {
    unsigned long magic;
    int type;
};
constexpr FsType kFsTypes[] = {
    {0x6969, drive::kRemote},      // NFS
    {0x517B, drive::kRemote},      // SMB
    {0xFF534D42, drive::kRemote},  // CIFS
    {0xFE534D42, drive::kRemote},  // SMB2
    {0x9660, drive::kCdRom},       // ISO 9660
    {0x15013346, drive::kCdRom},   // UDF
    {0x01021994, drive::kRamDisk}, // tmpfs
    {0x858458F6, drive::kRamDisk}, // ramfs
    {0x4D44, drive::kRemovable},   // FAT
    {0x2011BAB0, drive::kRemovable},  // exFAT
};

}  // namespace

bool file_exists(std::string_view path) {
    struct stat st {};
    return ::stat(native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int remove_file(std::string_view path) {
    std::string p = native(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kAccessDenied);
    if (int refused = may_replace(p, st)) return refused;
    return ::unlink(p.c_str()) == 0 ? 0 : windows_error(errno, p, oscode::kAccessDenied);
}

int move_file(std::string_view from, std::string_view to) {
    std::string f = native(from), t = native(to);
    struct stat st {};
    if (::lstat(f.c_str(), &st) != 0) return windows_error(errno, f, oscode::kFileNotFound);
    if (!S_ISDIR(st.st_mode) && held_open(f)) return oscode::kSharingViolation;
    int moved = ::renameat2(AT_FDCWD, f.c_str(), AT_FDCWD, t.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL) {
        // A file system that cannot refuse the replacement itself: look first.
        if (::access(t.c_str(), F_OK) == 0) return oscode::kAlreadyExists;
        moved = ::rename(f.c_str(), t.c_str());
    }
    if (moved == 0) return 0;
    int err = errno;
    if (err == EXDEV && !S_ISDIR(st.st_mode)) {
        // MoveFileA moves a file to another volume too: a copy, then the old one goes.
        if (::access(t.c_str(), F_OK) == 0) return oscode::kAlreadyExists;
        int copied = copy_file(from, to);
        if (copied != 0) return copied;
        return ::unlink(f.c_str()) == 0 ? 0 : windows_error(errno, f, oscode::kAccessDenied);
    }
    return windows_error(err, t, oscode::kAccessDenied);
}

int replace_file(std::string_view from, std::string_view to) {
    std::string f = native(from), t = native(to);
    struct stat st {};
    // A target open elsewhere is refused as Windows refuses a rename over it: denied.
    if (::stat(t.c_str(), &st) == 0 && may_replace(t, st) != 0) return oscode::kAccessDenied;
    int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return windows_error(errno, f, oscode::kFileNotFound);
    bool synced = ::fsync(fd) == 0;
    int err = errno;
    ::close(fd);
    if (!synced) return windows_error(err, f, oscode::kWriteFault);
    if (::rename(f.c_str(), t.c_str()) != 0) return windows_error(errno, t, oscode::kAccessDenied);
    sync_folder_of(t);
    return 0;
}

int copy_file(std::string_view from, std::string_view to, const CopyProgress& progress) {
    std::string f = native(from), t = native(to);
    int in = ::open(f.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return windows_error(errno, f, oscode::kFileNotFound);
    struct stat source {}, target {};
    ::fstat(in, &source);
    int refused = S_ISREG(source.st_mode) ? 0 : oscode::kAccessDenied;
    if (refused == 0 && ::stat(t.c_str(), &target) == 0) {
        // Copying a file onto itself would empty it; Windows finds it open (32).
        refused = source.st_dev == target.st_dev && source.st_ino == target.st_ino
                      ? oscode::kSharingViolation
                      : may_replace(t, target);
    }
    int out = refused ? -1 : ::open(t.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (refused == 0 && out < 0) refused = windows_error(errno, t, oscode::kAccessDenied);
    if (refused == 0) refused = copy_bytes(in, out, progress);
    if (refused == 0) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
        ::fchmod(out, source.st_mode & 07777);
        ::futimens(out, times);
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0 && refused == 0)
        refused = windows_error(errno, t, oscode::kWriteFault);
    if (out >= 0 && refused != 0) ::unlink(t.c_str());
    return refused;
}

int create_folder(std::string_view path) {
    std::string p = native(path);
    return ::mkdir(p.c_str(), 0777) == 0 ? 0 : windows_error(errno, p, oscode::kAccessDenied);
}

int remove_folder(std::string_view path) {
    std::string p = native(path);
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kAccessDenied);
    if (S_ISLNK(st.st_mode)) {
        // A link to a folder is removed as Windows removes a folder's symbolic link.
        struct stat target {};
        if (::stat(p.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return oscode::kDirectory;
        return ::unlink(p.c_str()) == 0 ? 0 : windows_error(errno, p, oscode::kAccessDenied);
    }
    if (!S_ISDIR(st.st_mode)) return oscode::kDirectory;
    return ::rmdir(p.c_str()) == 0 ? 0 : windows_error(errno, p, oscode::kAccessDenied);
}

std::string current_folder() {
    std::error_code ec;
    return windows_path(std::filesystem::current_path(ec));
}

int set_current_folder(std::string_view path) {
    std::string p = native(path);
    if (::chdir(p.c_str()) == 0) return 0;
    return errno == ENOTDIR && ::access(p.c_str(), F_OK) == 0
               ? oscode::kDirectory
               : windows_error(errno, p, oscode::kAccessDenied);
}

std::string full_name(std::string_view path) {
    std::string_view drive = split_path(path).drive;
    std::string rest(path.substr(drive.size()));
    for (char& c : rest)
        if (c == '/') c = '\\';
    // A relative name (also "C:NAME": the drive's current folder is the process's) goes
    // after the current folder.
    if (rest.empty() || rest.front() != '\\') {
        std::string here = current_folder();
        if (here.empty()) return {};
        rest = here.substr(split_path(here).drive.size()) + "\\" + rest;
    }
    std::vector<std::string_view> parts;
    std::string_view text = rest;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t cut = std::min(text.find('\\', at), text.size());
        std::string_view part = text.substr(at, cut - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = cut + 1;
    }
    std::string full(drive);
    for (std::string_view part : parts) (full += '\\') += part;
    if (parts.empty() || text.back() == '\\') full += '\\';
    return full;
}

int file_attributes(std::string_view path, std::uint32_t& bits) {
    std::string p = native(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kFileNotFound);
    PathParts parts = split_path(path);
    bits = posix::attributes_of(path.substr(parts.location().size()), st);
    return 0;
}

int set_file_attributes(std::string_view path, std::uint32_t bits) {
    std::string p = native(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kFileNotFound);
    mode_t mode = st.st_mode & 07777;
    if (bits & attribute::kReadOnly) mode &= ~kWriteBits;
    else if (is_read_only(st)) mode |= S_IWUSR;
    if (mode == (st.st_mode & 07777)) return 0;
    return ::chmod(p.c_str(), mode) == 0 ? 0 : windows_error(errno, p, oscode::kAccessDenied);
}

int last_write_time(std::string_view path, FileTime& time) {
    std::string p = native(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kFileNotFound);
    time = file_time_of(st.st_mtim);
    return 0;
}

int set_last_write_time(std::string_view path, FileTime time) {
    std::string p = native(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return windows_error(errno, p, oscode::kFileNotFound);
    // Windows sets the time through a handle opened for writing.
    if (!S_ISDIR(st.st_mode)) {
        if (int refused = may_replace(p, st)) return refused;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, timespec_of(time)};
    return ::utimensat(AT_FDCWD, p.c_str(), times, 0) == 0
               ? 0
               : windows_error(errno, p, oscode::kAccessDenied);
}

int drive_type(std::string_view root) {
    // C: is the one drive; a bare prefix names its root.
    std::string_view drive = split_path(root).drive;
    if (!drive.empty() && drive[0] != 'C' && drive[0] != 'c') return drive::kNoRootDir;
    std::string p = root.size() == drive.size() ? "/" : native(root);
    struct statfs fs {};
    if (::statfs(p.c_str(), &fs) != 0) return drive::kNoRootDir;
    for (const FsType& t : kFsTypes)
        if (static_cast<unsigned long>(fs.f_type) == t.magic) return t.type;
    return drive::kFixed;
}

int free_space(std::string_view path, std::uint64_t& bytes) {
    std::string p = native(path);
    struct statvfs fs {};
    if (::statvfs(p.c_str(), &fs) != 0) return windows_error(errno, p, oscode::kPathNotFound);
    bytes = static_cast<std::uint64_t>(fs.f_bfree) * fs.f_frsize;
    return 0;
}

std::string temp_folder() {
    const char* temp = std::getenv("TEMP");
    return temp ? windows_path(temp) : "";
}

unsigned set_system_error_mode(unsigned mode) {
    static unsigned current = 0;
    return std::exchange(current, mode);
}

std::string program_path() {
    std::error_code ec;
    std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? "" : windows_path(file);
}

std::tm local_time(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

}  // namespace runtime
