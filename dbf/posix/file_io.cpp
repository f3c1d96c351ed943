// POSIX side of the file seam: open-file-description locks stand in for Windows' share
// modes and LockFileEx, with the same answers (see file_io.h).
#include "dbf/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "runtime/path.h"
#include "runtime/posix/fs_common.h"

namespace dbf {
namespace {

// The engine's opens stand for CreateFile, which answers an existing name with 80.
int windows_code(int err, const std::string& native, int fallback) {
    return runtime::posix::windows_error(err, native, fallback, oscode::kFileExists);
}

bool ofd_lock(int fd, short type, std::uint64_t offset, std::uint64_t length) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

std::string native_path(const std::string& path) { return runtime::native_path(path).string(); }

// An open file: its descriptor, and whether it may write (exclusive locks need that).
class SystemFile final : public OpenFile {
public:
    SystemFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~SystemFile() override { ::close(fd_); }
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got) override {
        got = 0;
        while (got < n) {
            ssize_t r = ::pread(fd_, data + got, n - got, static_cast<off_t>(offset + got));
            if (r < 0) {
                if (errno == EINTR) continue;
                return oscode::kReadFault;
            }
            if (r == 0) break;
            got += static_cast<std::size_t>(r);
        }
        return 0;
    }

    int write_at(std::uint64_t offset, const char* data, std::size_t n) override {
        std::size_t done = 0;
        while (done < n) {
            ssize_t r = ::pwrite(fd_, data + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                return windows_code(errno, "", oscode::kWriteFault);
            }
            done += static_cast<std::size_t>(r);
        }
        return 0;
    }

    int size(std::uint64_t& bytes) override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return oscode::kReadFault;
        bytes = static_cast<std::uint64_t>(st.st_size);
        return 0;
    }

    int truncate(std::uint64_t bytes) override {
        return ::ftruncate(fd_, static_cast<off_t>(bytes)) == 0
                   ? 0
                   : windows_code(errno, "", oscode::kWriteFault);
    }

    int sync() override {
        return ::fdatasync(fd_) == 0 ? 0 : windows_code(errno, "", oscode::kWriteFault);
    }

    bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        return ofd_lock(fd_, exclusive && writable_ ? F_WRLCK : F_RDLCK, offset, length);
    }

    void unlock(std::uint64_t offset, std::uint64_t length) override {
        ofd_lock(fd_, F_UNLCK, offset, length);
    }

private:
    int fd_;
    bool writable_;
};

class SystemLayer final : public FileLayer {
public:
    int open(const std::string& path, File::Access access, File::Share share,
             std::unique_ptr<OpenFile>& file) override {
        std::string native = native_path(path);
        bool exclusive = share == File::Share::kExclusive;
        // An exclusive hold needs a write lock, which POSIX grants only on a writable
        // descriptor; a read-only exclusive open asks for one and settles for reading.
        bool want_write = access == File::Access::kReadWrite || exclusive;
        int fd = ::open(native.c_str(), (want_write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (fd < 0 && want_write && access == File::Access::kRead &&
            (errno == EACCES || errno == EROFS)) {
            want_write = false;
            fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd < 0) return windows_code(errno, native, oscode::kAccessDenied);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return oscode::kAccessDenied;
        }
        short mode = exclusive && want_write ? F_WRLCK : F_RDLCK;
        if (!ofd_lock(fd, mode, runtime::kOpenModeByte, 1)) {
            int err = errno;
            ::close(fd);
            return err == EAGAIN || err == EACCES
                       ? oscode::kSharingViolation
                       : windows_code(err, native, oscode::kAccessDenied);
        }
        file = std::make_unique<SystemFile>(fd, want_write);
        return 0;
    }

    int create(const std::string& path, std::unique_ptr<OpenFile>& file) override {
        std::string native = native_path(path);
        int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return windows_code(errno, native, oscode::kAccessDenied);
        // Replacing a table someone has open is a sharing violation, as on Windows.
        if (!ofd_lock(fd, F_WRLCK, runtime::kOpenModeByte, 1)) {
            ::close(fd);
            return oscode::kSharingViolation;
        }
        if (::ftruncate(fd, 0) != 0) {
            int err = errno;
            ::close(fd);
            return windows_code(err, native, oscode::kWriteFault);
        }
        file = std::make_unique<SystemFile>(fd, true);
        return 0;
    }
};

}  // namespace

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::stat(native_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int remove_file(const std::string& path) {
    std::string native = native_path(path);
    return ::unlink(native.c_str()) == 0 ? 0 : windows_code(errno, native, oscode::kAccessDenied);
}

FileLayer& system_file_layer() {
    static SystemLayer layer;
    return layer;
}

}  // namespace dbf
