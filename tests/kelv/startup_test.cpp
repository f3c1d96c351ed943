// The library's start-up and shut-down around the process: the leftovers of earlier runs
// that the start-up removes, and the tables the shut-down closes.
#include "kelv/ui/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "dbf/table.h"
#include "dbf/work_areas.h"
#include "kelv/tables/module_variables.h"
#include "runtime/error.h"
#include "runtime/fs.h"
#include "runtime/path.h"
#include "tests/support/environment.h"
#include "tests/dbf/child_process.h"
#include "tests/support/temp_folder.h"

namespace kelv {
namespace {

namespace fs = std::filesystem;

// Runs the test in a folder of its own, made current, with TEMP naming another.
class Startup : public testing::Test {
protected:
    void SetUp() override {
        before_ = runtime::current_folder();
        ASSERT_EQ(runtime::set_current_folder(here_.windows_path()), 0);
    }
    void TearDown() override { runtime::set_current_folder(before_); }

    test_support::TempFolder here_, temp_;
    test_support::Environment temp_variable_{"TEMP", temp_.path().string().c_str()};
    std::string before_;
};

TEST_F(Startup, RemovesTheLeftoversOfEarlierRuns) {
    here_.file("\x7F" "20240101123");
    here_.read_only_file("\x7F" "20240101124");
    here_.file("keep.txt");
    here_.folder("\x7F" "FOLDER");
    temp_.file("\x7F" "PLAIN");
    temp_.folder("\x7F" "20240101125");
    temp_.file("\x7F" "20240101125/USER");
    temp_.file("\x7F" "20240101125/VIEW");
    temp_.folder("\x7F" "20240101126");
    temp_.file("\x7F" "20240101126/USER");
    temp_.folder("OTHER");
    temp_.file("OTHER/USER");
    // A run still going, another process, holds its marker file open: its folder stays.
    dbf_test::ChildProcess running({dbf_test::helper_path(),
                                    temp_.windows_path() + "\\\x7F" "20240101126\\USER",
                                    "exclusive"});
    ASSERT_TRUE(running.started());
    ASSERT_EQ(running.read_line(), "open 0");

    INIT_();

    struct Case {
        fs::path path;
        bool stays;
    } cases[] = {
        {here_.path() / "\x7F" "20240101123", false},
        {here_.path() / "\x7F" "20240101124", true},  // read-only: skipped
        {here_.path() / "keep.txt", true},
        {here_.path() / "\x7F" "FOLDER", true},  // folders here are not touched
        {temp_.path() / "\x7F" "PLAIN", true},   // plain files in TEMP neither
        {temp_.path() / "\x7F" "20240101125", false},
        {temp_.path() / "\x7F" "20240101126" / "USER", true},
        {temp_.path() / "OTHER" / "USER", true},
    };
    for (const Case& c : cases) EXPECT_EQ(fs::exists(c.path), c.stays) << c.path;
}

TEST_F(Startup, ShutDownClosesEveryTable) {
    struct Case {
        std::vector<int> areas;  // where tables are open
    } cases[] = {{{}}, {{1}}, {{1, 7, dbf::WorkAreas::kMaxArea}}};
    dbf::WorkAreas& areas = dbf::work_areas();
    for (const Case& c : cases) {
        for (int area : c.areas) {
            std::string name = "T" + std::to_string(area);
            ASSERT_TRUE(dbf::Table::create(name, {{"CODE", 'C', 4, 0}}));
            ASSERT_TRUE(areas.select(area));
            ASSERT_TRUE(areas.use(name, {false, "", "", false, false}));
        }
        EXIT_();
        for (int area : c.areas) {
            EXPECT_EQ(areas.table(area), nullptr) << area;
            // Closed files: nothing holds them any more.
            EXPECT_EQ(runtime::remove_file("T" + std::to_string(area) + ".DBF"), 0) << area;
        }
    }
}

TEST_F(Startup, SetsTheSystemErrorMode) {
    runtime::set_system_error_mode(0);
    INIT_();
    EXPECT_EQ(runtime::set_system_error_mode(0), runtime::kFailCriticalErrors);
}

// After a login the shut-down closes the marker file, empties and removes the instance
// folder, and deletes the user's settings file only on a network installation.
TEST_F(Startup, ShutDownTidiesTheRunOfAUser) {
    const std::string marker = "C:\\KELV\\NET";
    const bool had_marker = runtime::file_exists(marker);
    struct Case {
        std::string user;
        bool network;
        bool folder_stays;
        bool settings_stay;
    } cases[] = {
        {"        ", false, true, true},  // nobody logged in: nothing of a user is touched
        {"MARIO   ", false, false, true},
        {"MARIO   ", true, false, false},
    };
    for (const Case& c : cases) {
        if (had_marker && !c.network) continue;  // this machine is a network installation
        here_.folder("INST");
        here_.file("INST/USER");
        here_.file("INST/VIEW");
        here_.file("MARIO   .USR");
        if (c.network && !had_marker) {
            fs::create_directories(runtime::native_path("C:\\KELV"));
            std::ofstream(runtime::native_path(marker)) << "";
        }
        cCurrentUser = c.user;
        cTempFolder = here_.windows_path() + "\\INST\\";
        hUserFile = std::make_unique<dbf::File>();
        ASSERT_EQ(hUserFile->open(cTempFolder + "USER", dbf::File::Access::kReadWrite,
                                  dbf::File::Share::kExclusive),
                  0);
        EXIT_();
        if (c.network && !had_marker) fs::remove_all(runtime::native_path("C:\\KELV"));
        EXPECT_EQ(fs::exists(here_.path() / "INST"), c.folder_stays) << c.user << c.network;
        EXPECT_EQ(fs::exists(here_.path() / "MARIO   .USR"), c.settings_stay) << c.user << c.network;
        EXPECT_EQ(hUserFile != nullptr, c.folder_stays);
        hUserFile.reset();
        fs::remove_all(here_.path() / "INST");
    }
    cCurrentUser = std::string(8, ' ');
    cTempFolder.clear();
}

// The bracket ends the same way whichever way the entry ends: the tables it left open
// are closed, and only a quit request sets the exit code.
TEST_F(Startup, TheBracketShutsDownAfterEveryEnding) {
    struct Case {
        const char* name;
        void (*entry)();
        int exit_code;
    } cases[] = {
        {"returns", [] {}, 0},
        {"quits", [] { throw runtime::Quit{3}; }, 3},
        {"abandons", [] { throw runtime::Break{}; }, 0},
    };
    dbf::WorkAreas& areas = dbf::work_areas();
    for (const Case& c : cases) {
        ASSERT_TRUE(dbf::Table::create("OPEN", {{"CODE", 'C', 4, 0}}));
        ASSERT_TRUE(areas.select(1));
        ASSERT_TRUE(areas.use("OPEN", {false, "", "", false, false}));
        EXPECT_EQ(run_program(c.entry), c.exit_code) << c.name;
        EXPECT_EQ(areas.table(1), nullptr) << c.name;
    }
}

}  // namespace
}  // namespace kelv
