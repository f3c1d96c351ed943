#include "runtime/fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

class FsList : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"alpha.txt", "Beta.TXT", "gamma.dat", "README", "a.b.txt"})
            folder_.file(name);
        folder_.read_only_file("ro.txt");
        folder_.hidden_file(".hid.txt");
        folder_.system_file("sys.txt");
        folder_.folder("dir.txt");
    }

    // The names a pattern in the fixture folder lists, sorted: the order is the file
    // system's own.
    std::vector<std::string> names(const std::string& mask) const {
        std::vector<std::string> out;
        for (const DirEntry& e : list_directory(folder_.windows_path() + "\\" + mask))
            out.push_back(e.name);
        std::sort(out.begin(), out.end());
        return out;
    }

    test_support::TempFolder folder_;
};

using Names = std::vector<std::string>;

TEST_F(FsList, PatternsMatchAsTheWindowsFileSearchDoes) {
    struct Case {
        const char* mask;
        Names expected;
    };
    const Names all = {".",         "..",      ".hid.txt",  "Beta.TXT", "README", "a.b.txt",
                       "alpha.txt", "dir.txt", "gamma.dat", "ro.txt",   "sys.txt"};
    const Case cases[] = {
        {"*", all},
        {"*.*", all},
        {"*.txt", {".hid.txt", "Beta.TXT", "a.b.txt", "alpha.txt", "dir.txt", "ro.txt", "sys.txt"}},
        {"*.TXT", {".hid.txt", "Beta.TXT", "a.b.txt", "alpha.txt", "dir.txt", "ro.txt", "sys.txt"}},
        {"?eta.txt", {"Beta.TXT"}},
        {"AL*", {"alpha.txt"}},
        {"*a.*", {"Beta.TXT", "a.b.txt", "alpha.txt", "gamma.dat"}},
        {"readme", {"README"}},
        {"gamma.da?", {"gamma.dat"}},
        {"g*t", {"gamma.dat"}},
        {"nothing*", {}},
        {"README.*", {"README"}},  // ".*" also matches no extension
        {"b???.txt", {"Beta.TXT"}},
        {"*.b.*", {"a.b.txt"}},
    };
    for (const Case& c : cases) EXPECT_EQ(names(c.mask), c.expected) << c.mask;
}

#ifndef _WIN32
// Windows documents these rules of its file search (the DOS wildcards of
// FsRtlIsNameInExpression); Wine's file search does not follow them, so they are checked
// on the POSIX side only.
TEST_F(FsList, DosWildcardRules) {
    struct Case {
        const char* mask;
        Names expected;
    };
    const Case cases[] = {
        {"*.", {".", "..", "README"}},   // a final "." matches no extension
        {"alpha?.txt", {"alpha.txt"}},   // "?" matches none before a full stop
        {"gamma.dat??", {"gamma.dat"}},  // ... and at the end
        {"a?b.txt", {}},                 // "?" does not match a full stop
    };
    for (const Case& c : cases) EXPECT_EQ(names(c.mask), c.expected) << c.mask;
}
#endif

TEST_F(FsList, Attributes) {
    struct Expected {
        bool directory, read_only, hidden, system;
    };
    auto attributes = [&](const std::string& name) {
        std::vector<DirEntry> found = list_directory(folder_.windows_path() + "\\" + name);
        EXPECT_EQ(found.size(), 1u) << name;
        DirEntry e = found.empty() ? DirEntry{} : found.front();
        return Expected{e.directory, e.read_only, e.hidden, e.system};
    };
    struct Case {
        const char* name;
        Expected expected;
    };
    const Case cases[] = {
        {"alpha.txt", {false, false, false, false}}, {"ro.txt", {false, true, false, false}},
        {".hid.txt", {false, false, true, false}},   {"sys.txt", {false, false, false, true}},
        {"dir.txt", {true, false, false, false}},
    };
    for (const Case& c : cases) {
        Expected got = attributes(c.name);
        EXPECT_EQ(got.directory, c.expected.directory) << c.name;
        EXPECT_EQ(got.read_only, c.expected.read_only) << c.name;
        EXPECT_EQ(got.hidden, c.expected.hidden) << c.name;
        EXPECT_EQ(got.system, c.expected.system) << c.name;
    }
}

TEST_F(FsList, MissingFolderListsNothing) {
    EXPECT_TRUE(list_directory(folder_.windows_path() + "\\missing\\*.*").empty());
}

}  // namespace
}  // namespace runtime
