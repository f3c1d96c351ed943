// Holds a file open as the table engine does, so that Windows refuses to delete or move
// it: no sharing on Windows, the open-mode byte locked on POSIX (runtime/fs.h).
#pragma once

#include <filesystem>

#include "runtime/fs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace test_support {

class HeldOpen {
public:
    explicit HeldOpen(const std::filesystem::path& path) {
#ifdef _WIN32
        handle_ = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct flock fl {};
        fl.l_type = F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(runtime::kOpenModeByte);
        fl.l_len = 1;
        ::fcntl(fd_, F_OFD_SETLK, &fl);
#endif
    }
    ~HeldOpen() {
#ifdef _WIN32
        CloseHandle(handle_);
#else
        ::close(fd_);
#endif
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

private:
#ifdef _WIN32
    HANDLE handle_;
#else
    int fd_;
#endif
};

}  // namespace test_support
