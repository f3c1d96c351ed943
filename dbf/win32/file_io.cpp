// Win32 side of the file seam: share modes give the open-mode conflicts and LockFileEx the
// byte-range locks (see file_io.h). Names are widened by the explicit 1252 table
// (runtime/win32/wide_text.h), never through the system's ANSI code page.
#include "dbf/file_io.h"

#include <windows.h>

#include <memory>

#include "runtime/win32/fs_common.h"
#include "runtime/win32/wide_text.h"

namespace dbf {
namespace {

using runtime::wide;
using runtime::win32::last_error;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ov;
}

// An open file: its handle.
class SystemFile final : public OpenFile {
public:
    explicit SystemFile(HANDLE handle) : handle_(handle) {}
    ~SystemFile() override { CloseHandle(handle_); }
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    int read_at(std::uint64_t offset, char* data, std::size_t n, std::size_t& got) override {
        got = 0;
        while (got < n) {
            OVERLAPPED ov = at(offset + got);
            DWORD r = 0;
            if (!ReadFile(handle_, data + got, static_cast<DWORD>(n - got), &r, &ov)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return last_error(oscode::kReadFault);
            }
            if (r == 0) break;
            got += r;
        }
        return 0;
    }

    int write_at(std::uint64_t offset, const char* data, std::size_t n) override {
        std::size_t done = 0;
        while (done < n) {
            OVERLAPPED ov = at(offset + done);
            DWORD w = 0;
            if (!WriteFile(handle_, data + done, static_cast<DWORD>(n - done), &w, &ov))
                return last_error(oscode::kWriteFault);
            if (w == 0) return oscode::kDiskFull;
            done += w;
        }
        return 0;
    }

    int size(std::uint64_t& bytes) override {
        LARGE_INTEGER s{};
        if (!GetFileSizeEx(handle_, &s)) return last_error(oscode::kReadFault);
        bytes = static_cast<std::uint64_t>(s.QuadPart);
        return 0;
    }

    int truncate(std::uint64_t bytes) override {
        LARGE_INTEGER pos{};
        pos.QuadPart = static_cast<LONGLONG>(bytes);
        if (!SetFilePointerEx(handle_, pos, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_))
            return last_error(oscode::kWriteFault);
        return 0;
    }

    int sync() override { return FlushFileBuffers(handle_) ? 0 : last_error(oscode::kWriteFault); }

    bool try_lock(std::uint64_t offset, std::uint64_t length, bool exclusive) override {
        OVERLAPPED ov = at(offset);
        DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        return LockFileEx(handle_, flags, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                          static_cast<DWORD>(length >> 32), &ov) != 0;
    }

    void unlock(std::uint64_t offset, std::uint64_t length) override {
        OVERLAPPED ov = at(offset);
        UnlockFileEx(handle_, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                     static_cast<DWORD>(length >> 32), &ov);
    }

private:
    HANDLE handle_;
};

class SystemLayer final : public FileLayer {
public:
    int open(const std::string& path, File::Access access, File::Share share,
             std::unique_ptr<OpenFile>& file) override {
        DWORD rights = GENERIC_READ | (access == File::Access::kReadWrite ? GENERIC_WRITE : 0);
        DWORD mode = share == File::Share::kShared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
        return opened(CreateFileW(wide(path).c_str(), rights, mode, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr),
                      file);
    }

    int create(const std::string& path, std::unique_ptr<OpenFile>& file) override {
        return opened(CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
                      file);
    }

private:
    static int opened(HANDLE h, std::unique_ptr<OpenFile>& file) {
        if (h == INVALID_HANDLE_VALUE) return last_error(oscode::kAccessDenied);
        file = std::make_unique<SystemFile>(h);
        return 0;
    }
};

}  // namespace

bool file_exists(const std::string& path) {
    DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int remove_file(const std::string& path) {
    return DeleteFileW(wide(path).c_str()) ? 0 : last_error(oscode::kAccessDenied);
}

FileLayer& system_file_layer() {
    static SystemLayer layer;
    return layer;
}

}  // namespace dbf
