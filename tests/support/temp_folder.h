// A throw-away folder for tests that read the file system, with files made the way each
// platform marks them: hidden (Windows: the attribute; POSIX: the caller names the file
// with a leading full stop), read-only, and system (Windows: the attribute; POSIX: a
// named pipe, which is neither a regular file nor a folder).
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace test_support {

class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("velkan_test_" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
#ifdef _WIN32
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program writes it: a Windows path with backslashes.
    std::string windows_path() const {
        std::string text = path_.string();
        for (char& c : text)
            if (c == '/') c = '\\';
        return text;
    }

    void file(const std::string& name) { std::ofstream(path_ / name) << name; }
    void read_only_file(const std::string& name) {
        file(name);
        std::filesystem::permissions(path_ / name,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
    }
    void hidden_file(const std::string& name) {
        file(name);
#ifdef _WIN32
        SetFileAttributesW((path_ / name).c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    }
    void system_file(const std::string& name) {
#ifdef _WIN32
        file(name);
        SetFileAttributesW((path_ / name).c_str(), FILE_ATTRIBUTE_SYSTEM);
#else
        mkfifo((path_ / name).c_str(), 0644);
#endif
    }
    void folder(const std::string& name) { std::filesystem::create_directory(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace test_support
