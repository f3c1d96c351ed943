// Makes a folder the current one until the object goes, then puts the old one back.
#pragma once

#include <filesystem>

namespace test_support {

class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& folder)
        : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() {
        std::error_code ignored;
        std::filesystem::current_path(before_, ignored);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path before_;
};

}  // namespace test_support
