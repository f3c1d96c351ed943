// The file-system seam on Windows: one system call (a short fixed sequence for the flush
// and the times) per function, through the wide calls so that names pass the 1252 table
// and not the system's "ANSI" code page; the error number is the call's own.
#include "runtime/fs.h"

#include <windows.h>

#include <filesystem>

#include "runtime/path.h"
#include "runtime/win32/fs_common.h"
#include "runtime/win32/wide_text.h"

namespace runtime {
namespace {

using win32::last_error;
using win32::refuses_writing;

int result(BOOL done) { return done ? 0 : last_error(oscode::kAccessDenied); }

// Opens a file or folder (backup semantics) with the access asked, sharing nothing.
HANDLE open_alone(std::string_view path, DWORD access) {
    return CreateFileW(wide(path).c_str(), access, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DWORD CALLBACK copy_progress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                             DWORD, HANDLE, HANDLE, LPVOID data) {
    const auto& progress = *static_cast<const CopyProgress*>(data);
    if (progress) progress();
    return PROGRESS_CONTINUE;
}

}  // namespace

bool file_exists(std::string_view path) {
    DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int remove_file(std::string_view path) { return result(DeleteFileW(wide(path).c_str())); }

int move_file(std::string_view from, std::string_view to) {
    return result(MoveFileW(wide(from).c_str(), wide(to).c_str()));
}

int replace_file(std::string_view from, std::string_view to) {
    if (refuses_writing(to)) return oscode::kAccessDenied;
    HANDLE file = CreateFileW(wide(from).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return last_error(oscode::kFileNotFound);
    BOOL flushed = FlushFileBuffers(file);
    int flush_error = flushed ? 0 : last_error(oscode::kWriteFault);
    CloseHandle(file);
    if (!flushed) return flush_error;
    return result(MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

int copy_file(std::string_view from, std::string_view to, const CopyProgress& progress) {
    if (refuses_writing(to)) return oscode::kAccessDenied;
    return result(CopyFileExW(wide(from).c_str(), wide(to).c_str(), copy_progress,
                              const_cast<CopyProgress*>(&progress), nullptr, 0));
}

int create_folder(std::string_view path) {
    return result(CreateDirectoryW(wide(path).c_str(), nullptr));
}

int remove_folder(std::string_view path) { return result(RemoveDirectoryW(wide(path).c_str())); }

std::string current_folder() {
    std::error_code ec;
    return windows_path(std::filesystem::current_path(ec));
}

int set_current_folder(std::string_view path) {
    return result(SetCurrentDirectoryW(wide(path).c_str()));
}

std::string full_name(std::string_view path) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetFullPathNameW(wide(path).c_str(), MAX_PATH, buffer, nullptr);
    return n == 0 || n >= MAX_PATH ? "" : narrow({buffer, n});
}

int file_attributes(std::string_view path, std::uint32_t& bits) {
    DWORD a = GetFileAttributesW(wide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return last_error(oscode::kFileNotFound);
    bits = a;
    return 0;
}

int set_file_attributes(std::string_view path, std::uint32_t bits) {
    return result(SetFileAttributesW(wide(path).c_str(), bits));
}

int last_write_time(std::string_view path, FileTime& time) {
    HANDLE file = open_alone(path, 0);
    if (file == INVALID_HANDLE_VALUE) return last_error(oscode::kFileNotFound);
    FILETIME written;
    BOOL read = GetFileTime(file, nullptr, nullptr, &written);
    int error = read ? 0 : last_error(oscode::kAccessDenied);
    CloseHandle(file);
    if (read) time = (FileTime{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    return error;
}

int set_last_write_time(std::string_view path, FileTime time) {
    if (refuses_writing(path)) return oscode::kAccessDenied;
    HANDLE file = open_alone(path, GENERIC_WRITE);
    if (file == INVALID_HANDLE_VALUE) return last_error(oscode::kAccessDenied);
    FILETIME written{static_cast<DWORD>(time & 0xFFFFFFFFu), static_cast<DWORD>(time >> 32)};
    int error = result(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
    return error;
}

int drive_type(std::string_view root) {
    return static_cast<int>(GetDriveTypeW(wide(root).c_str()));
}

int free_space(std::string_view path, std::uint64_t& bytes) {
    ULARGE_INTEGER free_bytes;
    if (!GetDiskFreeSpaceExW(wide(path).c_str(), nullptr, nullptr, &free_bytes))
        return last_error(oscode::kPathNotFound);
    bytes = free_bytes.QuadPart;
    return 0;
}

std::string temp_folder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableW(L"TEMP", buffer, MAX_PATH + 1);
    return n == 0 || n > MAX_PATH ? "" : narrow({buffer, n});
}

unsigned set_system_error_mode(unsigned mode) { return SetErrorMode(mode); }

std::string program_path() {
    wchar_t buffer[32768];
    DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return n == 0 || n >= 32768 ? "" : narrow({buffer, n});
}

std::tm local_time(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

}  // namespace runtime
