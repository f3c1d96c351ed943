// What the table engine's tests share: a temporary folder per test, copies of the sample
// tables (the originals stay untouched), and an error handler that records every raised
// error and answers false, as the library's handler does for the conditions it absorbs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/settings.h"

namespace dbf_test {

class DbfTest : public testing::Test {
protected:
    void SetUp() override {
        runtime::clear_settings();
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            dir_ = base / ("velkan-dbf-" +
                           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                           std::to_string(counter()++) + "-" + std::to_string(i));
            if (std::filesystem::create_directory(dir_)) break;
        }
        old_ = runtime::install_error_handler([this](const runtime::Error& e) -> runtime::Value {
            errors.push_back(e);
            return false;
        });
    }
    void TearDown() override {
        runtime::install_error_handler(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        runtime::clear_settings();
    }

    // A path in the test's folder.
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Copies a sample file (relative to the samples folder) into the test's folder.
    std::string copy_sample(const std::string& relative) const {
        std::filesystem::path from = std::filesystem::path(VELKAN_DBF_SAMPLES) / relative;
        std::filesystem::path to = dir_ / from.filename();
        // Not copy_file with overwrite: mingw's refuses to overwrite under Wine.
        std::filesystem::remove(to);
        std::filesystem::copy_file(from, to);
        std::filesystem::permissions(to, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        return to.string();
    }

    std::string read_bytes(const std::string& file) const;
    void write_bytes(const std::string& file, const std::string& bytes) const;

    std::vector<runtime::Error> errors;

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path dir_;
    runtime::ErrorHandler old_;
};

}  // namespace dbf_test
