// Open files on POSIX with Windows' access and sharing (see runtime/fs.h): the open-mode
// byte is locked as the table engine's opens lock it, so the two kinds of open and other
// processes all see one another's sharing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_map>

#include "runtime/fs.h"
#include "runtime/path.h"
#include "runtime/posix/fs_common.h"

namespace runtime {
namespace {

using posix::windows_error;

// What each open file may do, as its Access said: an exclusive open for reading holds a
// descriptor that could write (POSIX grants the write lock only then), so the access
// asked for is kept here and checked on every read and write.
std::unordered_map<FileHandle, Access>& open_files() {
    static std::unordered_map<FileHandle, Access> files;
    return files;
}

bool lock_open_mode(int fd, bool exclusive) {
    struct flock fl {};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(kOpenModeByte);
    fl.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// 0 when the open file may do this; 5 as Windows refuses a handle without the right, 6
// for a handle that is not open.
int allowed(FileHandle file, bool write) {
    auto it = open_files().find(file);
    if (it == open_files().end()) return oscode::kInvalidHandle;
    Access need = write ? Access::kWrite : Access::kRead;
    return it->second == need || it->second == Access::kReadWrite ? 0 : oscode::kAccessDenied;
}

}  // namespace

int open_file(std::string_view path, Access access, Share share, Disposition disposition,
              FileHandle& file) {
    std::string p = native_path(path).string();
    bool create = disposition == Disposition::kCreateAlways;
    bool writes = access != Access::kRead || create;
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) {
        // Windows looks at the attribute first; root would be let through here.
        if (S_ISDIR(st.st_mode) || (writes && posix::is_read_only(st))) return oscode::kAccessDenied;
    } else if (!create) {
        return windows_error(errno, p, oscode::kFileNotFound);
    }
    bool exclusive = share == Share::kExclusive;
    // The read lock of a shared open needs a readable descriptor, the write lock of an
    // exclusive one a writable descriptor: read-write covers both.
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
    int fd = ::open(p.c_str(), flags, 0666);
    if (fd < 0 && !writes && (errno == EACCES || errno == EROFS)) {
        // Nobody may write it and we are not root: an exclusive hold settles for a read
        // lock, which still refuses every writer and every delete.
        exclusive = false;
        fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) return windows_error(errno, p, oscode::kAccessDenied);
    if (!lock_open_mode(fd, exclusive)) {
        int err = errno;
        ::close(fd);
        return err == EAGAIN || err == EACCES ? oscode::kSharingViolation
                                              : windows_error(err, p, oscode::kAccessDenied);
    }
    // Emptied only once the sharing let us in: a refused create leaves the file alone.
    if (create && ::ftruncate(fd, 0) != 0) {
        int err = errno;
        ::close(fd);
        return windows_error(err, p, oscode::kWriteFault);
    }
    file = fd;
    open_files()[file] = access;
    return 0;
}

int read_file(FileHandle file, char* data, std::size_t n, std::size_t& got) {
    got = 0;
    if (int refused = allowed(file, false)) return refused;
    while (got < n) {
        ssize_t r = ::read(static_cast<int>(file), data + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return oscode::kReadFault;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return 0;
}

int write_file(FileHandle file, const char* data, std::size_t n) {
    if (int refused = allowed(file, true)) return refused;
    for (std::size_t done = 0; done < n;) {
        ssize_t r = ::write(static_cast<int>(file), data + done, n - done);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return windows_error(errno, "", oscode::kWriteFault);
        done += static_cast<std::size_t>(r);
    }
    return 0;
}

int move_file_pointer(FileHandle file, std::int64_t distance) {
    if (!open_files().contains(file)) return oscode::kInvalidHandle;
    // Windows refuses a position before the start (131); so does lseek, with EINVAL.
    return ::lseek(static_cast<int>(file), static_cast<off_t>(distance), SEEK_CUR) < 0
               ? oscode::kNegativeSeek
               : 0;
}

int close_file(FileHandle file) {
    if (open_files().erase(file) == 0) return oscode::kInvalidHandle;
    ::close(static_cast<int>(file));
    return 0;
}

}  // namespace runtime
