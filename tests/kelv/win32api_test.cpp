// The file-system helpers on real files and folders in a throw-away folder, on both
// systems (the Windows builds against Wine's Win32). The paths where a helper tells the
// user something are in win32api_messages_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kelv/win32api/attributes.h"
#include "kelv/win32api/checks.h"
#include "kelv/win32api/locations.h"
#include "kelv/win32api/names.h"
#include "kelv/win32api/primitives.h"
#include "kelv/win32api/trees.h"
#include "runtime/date.h"
#include "runtime/fs.h"
#include "tests/support/current_folder.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelv {
namespace {

namespace fs = std::filesystem;
using runtime::attribute::kHidden;
using runtime::attribute::kReadOnly;

// A symbolic link; false when the system makes none.
bool link(const fs::path& target, const fs::path& at, bool folder) {
#ifdef _WIN32
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE |
                  (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    return CreateSymbolicLinkW(at.c_str(), target.c_str(), flags) != 0;
#else
    std::error_code refused;
    if (folder) fs::create_directory_symlink(target, at, refused);
    else fs::create_symlink(target, at, refused);
    return !refused;
#endif
}

class Win32Api : public testing::Test {
protected:
    std::string at(const std::string& name) const { return folder_.windows_path() + "\\" + name; }
    fs::path native(std::string name) const {
        std::replace(name.begin(), name.end(), '\\', '/');
        return folder_.path() / name;
    }
    bool exists(const std::string& name) const {
        std::error_code ec;
        return fs::exists(fs::symlink_status(native(name), ec));
    }
    std::string content(const std::string& name) const {
        std::ifstream in(native(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(native(name), std::ios::binary) << bytes;
    }
    // A file marked read-only or hidden the way the platform marks it (runtime/fs.h).
    void mark(const std::string& name, std::uint32_t bits) {
        ASSERT_TRUE(SETFILEATTRIBUTES(at(name), static_cast<std::uint32_t>(GETFILEATTRIBUTES(at(name))) | bits));
    }

    test_support::TempFolder folder_;
};

TEST_F(Win32Api, AttributesOfMissingPathsAndTheBitsChanged) {
    EXPECT_EQ(GETFILEATTRIBUTES(at("missing")), -1);
    CLEARREADONLY(at("missing"));  // nothing to change, nothing happens
    SETHIDDEN(at("missing"));
    EXPECT_FALSE(exists("missing"));

    write("f.txt", "x");
    mark("f.txt", kReadOnly);
    EXPECT_EQ(GETFILEATTRIBUTES(at("f.txt")) & kReadOnly, static_cast<int>(kReadOnly));
    EXPECT_FALSE(DELETEFILE(at("f.txt"))) << "read-only refuses, root too";
    CLEARREADONLY(at("f.txt"));
    EXPECT_EQ(GETFILEATTRIBUTES(at("f.txt")) & kReadOnly, 0);
#ifdef _WIN32
    SETHIDDEN(at("f.txt"));
    EXPECT_EQ(GETFILEATTRIBUTES(at("f.txt")) & kHidden, static_cast<int>(kHidden));
    CLEARHIDDEN(at("f.txt"));
    EXPECT_EQ(GETFILEATTRIBUTES(at("f.txt")) & kHidden, 0);
#else
    // Hidden is the leading full stop: setting and clearing it leave the name alone.
    write(".h.txt", "x");
    CLEARHIDDEN(at(".h.txt"));
    EXPECT_EQ(GETFILEATTRIBUTES(at(".h.txt")) & kHidden, static_cast<int>(kHidden));
    SETHIDDEN(at("f.txt"));
    EXPECT_EQ(GETFILEATTRIBUTES(at("f.txt")) & kHidden, 0);
#endif
    EXPECT_TRUE(DELETEFILE(at("f.txt")));
}

TEST_F(Win32Api, MovesNeverReplaceAndFoldersComeAndGo) {
    write("a.txt", "a");
    write("b.txt", "b");
    EXPECT_FALSE(MOVEFILE(at("a.txt"), at("b.txt")));
    EXPECT_EQ(content("b.txt"), "b");
    EXPECT_TRUE(MOVEFILE(at("a.txt"), at("c.txt")));
    EXPECT_TRUE(CREATEDIR(at("d")));
    EXPECT_FALSE(CREATEDIR(at("d")));
    write("d\\x", "x");
    EXPECT_FALSE(REMOVEDIR(at("d"))) << "not empty";
    EXPECT_FALSE(REMOVEDIR(at("c.txt"))) << "not a folder";
    EXPECT_TRUE(DELETEFILE(at("d\\x")));
    EXPECT_TRUE(REMOVEDIR(at("d")));
    EXPECT_FALSE(REMOVEDIR(at("d")));
}

TEST_F(Win32Api, TheTimeStampAndNothingElseGoesAcross) {
    folder_.folder("src");
    folder_.folder("dst");
    write("src.txt", "s");
    write("dst.txt", "d");
    runtime::FileTime old = 126'280'020'300'000'000ULL;
    ASSERT_EQ(runtime::set_last_write_time(at("src"), old), 0);
    ASSERT_EQ(runtime::set_last_write_time(at("src.txt"), old), 0);
    struct Case {
        const char* source;
        const char* target;
        bool done;
    } cases[] = {{"src", "dst", true}, {"src.txt", "dst.txt", true},
                 {"missing", "dst.txt", false}, {"src.txt", "missing", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(SETFILEDATETIME(at(c.source), at(c.target)), c.done) << c.source;
        runtime::FileTime t = 0;
        if (c.done) {
            runtime::last_write_time(at(c.target), t);
            EXPECT_EQ(t, old) << c.target;
        }
    }
    EXPECT_EQ(content("dst.txt"), "d");
}

TEST_F(Win32Api, CopyDirCopiesTheTreeButNoSystemFile) {
    folder_.folder("src");
    folder_.folder("src/inner");
    folder_.folder("src/inner/deeper");
    write("src\\plain.txt", "plain");
    write("src\\inner\\deeper\\deep.txt", "deep");
    write("src\\ro.txt", "ro");
    mark("src\\ro.txt", kReadOnly);
    folder_.hidden_file("src/.hid");
    folder_.system_file("src/sys");
    folder_.folder("existing");

    EXPECT_TRUE(COPYDIR(at("src"), at("copy")));
    EXPECT_TRUE(COPYDIR(at("src"), at("existing"), false)) << "into a folder that is there";
    for (const char* target : {"copy", "existing"}) {
        std::string t = target;
        EXPECT_EQ(content(t + "\\plain.txt"), "plain") << t;
        EXPECT_EQ(content(t + "\\inner\\deeper\\deep.txt"), "deep") << t;
        EXPECT_EQ(content(t + "\\ro.txt"), "ro") << t;
        EXPECT_NE(GETFILEATTRIBUTES(at(t + "\\ro.txt")) & kReadOnly, 0) << t;
        EXPECT_TRUE(exists(t + "\\.hid")) << t;
        EXPECT_FALSE(exists(t + "\\sys")) << t;
    }
}

TEST_F(Win32Api, DeleteDirEmptiesTheTreeAndTheFolderGoesUnlessKept) {
    for (bool remove_itself : {true, false}) {
        folder_.folder("tree");
        folder_.folder("tree/inner");
        write("tree\\inner\\deep.txt", "deep");
        write("tree\\ro.txt", "ro");
        mark("tree\\ro.txt", kReadOnly);
        folder_.hidden_file("tree/.hid");
        folder_.system_file("tree/sys");
        EXPECT_TRUE(DELETEDIR(at("tree"), remove_itself)) << remove_itself;
        EXPECT_EQ(exists("tree"), !remove_itself);
        if (!remove_itself) {
            EXPECT_TRUE(fs::is_empty(native("tree")));
            EXPECT_TRUE(REMOVEDIR(at("tree")));
        }
    }
}

TEST_F(Win32Api, DeleteDirRemovesALinkAndNotWhatItLeadsTo) {
    folder_.folder("outside");
    write("outside\\kept.txt", "kept");
    write("outside.txt", "kept");
    mark("outside.txt", kReadOnly);
    folder_.folder("tree");
    if (!link(native("outside"), native("tree/to-folder"), true) ||
        !link(native("outside.txt"), native("tree/to-file"), false))
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_TRUE(DELETEDIR(at("tree")));
    EXPECT_FALSE(exists("tree"));
    EXPECT_EQ(content("outside\\kept.txt"), "kept");
    EXPECT_EQ(content("outside.txt"), "kept");
    EXPECT_NE(GETFILEATTRIBUTES(at("outside.txt")) & kReadOnly, 0) << "the target untouched";
}

TEST_F(Win32Api, DelDirStopsAtTheFirstFileThatCannotGo) {
    folder_.folder("dir");
    for (const char* name : {"a", "b", "c", "d", "e"}) write(std::string("dir\\") + name, name);
    mark("dir\\c", kReadOnly);
    folder_.folder("dir/sub");
    // The order is the file system's; what comes before the read-only file goes.
    std::vector<std::string> order;
    for (const runtime::DirEntry& e : runtime::list_directory(at("dir\\*.*")))
        if (!e.directory) order.push_back(e.name);
    DELDIR(at("dir"));
    bool before = true;
    for (const std::string& name : order) {
        if (name == "c") before = false;
        EXPECT_EQ(exists("dir\\" + name), !before) << name;
    }
    EXPECT_TRUE(exists("dir\\sub")) << "subfolders are not touched";
    EXPECT_TRUE(exists("dir"));
}

TEST_F(Win32Api, ChecksThatPassSayNothing) {
    test_support::CurrentFolder here(folder_.path());
    write("f.txt", "x");
    EXPECT_TRUE(ISREADY(""));
    EXPECT_TRUE(ISREADY(current_drive_prefix()));
    EXPECT_FALSE(ISPROTECTED(""));
    EXPECT_FALSE(ISPROTECTED(current_drive_prefix()));
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder_.path()))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"f.txt"}) << "no write-test file left behind";
    EXPECT_FALSE(ISREADONLY(at("f.txt")));
    EXPECT_FALSE(ISREADONLY(at("missing")));
    DELFILE(at("f.txt"));
    EXPECT_FALSE(exists("f.txt"));
    write("g.txt", "x");
    DELFILE("g.txt");  // on the current drive
    EXPECT_FALSE(exists("g.txt"));
}

TEST_F(Win32Api, LocationsAtTheRootAndBelowIt) {
    folder_.folder("sub");
    test_support::CurrentFolder here(folder_.path());
    std::string full = runtime::current_folder();
    std::string drive = current_drive_prefix();
    std::string below = full.substr(drive.size());  // "\...\velkan_test_..."
    EXPECT_EQ(CURPATH(), below + "\\");
    EXPECT_EQ(FULLPATH("X.DBF"), full);
    EXPECT_EQ(FULLPATH("sub\\X.DBF"), full + "\\sub");
    EXPECT_EQ(FULLPATH(drive + "\\X.DBF"), drive + "\\");
    EXPECT_TRUE(DIR(at("sub")));
    EXPECT_FALSE(DIR(at("missing")));
    EXPECT_EQ(runtime::current_folder(), full) << "DIR leaves the current folder as it was";
    {
        test_support::CurrentFolder root(folder_.path().root_path());
        EXPECT_EQ(CURPATH(), "\\");
        if (!drive.empty()) {
            EXPECT_EQ(CURPATH(drive.substr(0, 1)), "\\");
        }
    }
}

TEST(Drives, AdiskListsTheDrivesThereAre) {
    std::vector<std::string> all = ADISK();
    std::vector<std::string> fixed = ADISK(2);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_NE(std::find(fixed.begin(), fixed.end(), "C:"), fixed.end());
    for (const std::string& d : fixed) EXPECT_GE(d[0], 'C') << d;
    EXPECT_TRUE(ADISK(1).empty()) << "no floppy drives here";
    EXPECT_TRUE(ADISK(3).empty());
#ifndef _WIN32
    EXPECT_EQ(all, std::vector<std::string>{"C:"}) << "one root, one drive";
#endif
    EXPECT_EQ(GETDRIVETYPE("C:\\"), runtime::drive::kFixed);
    EXPECT_GT(DISKFREESPACE("C:\\"), 0u);
}

TEST(Names, TwoUniqueNamesDifferAndCarryTodaysDate) {
    std::string first = GETNEWFNAME();
    std::string second = GETNEWFNAME();
    EXPECT_NE(first, second);
    runtime::Date today = runtime::today();
    char date[9];
    std::snprintf(date, sizeof date, "%04d%02d%02d", today.year(), today.month(), today.day());
    for (const std::string& name : {first, second}) {
        EXPECT_GE(name.size(), 10u) << name;
        EXPECT_LE(name.size(), 16u) << name;
        EXPECT_EQ(name.substr(0, 9), "\x7F" + std::string(date)) << name;
        EXPECT_EQ(name.find_first_not_of("0123456789", 1), std::string::npos) << name;
        EXPECT_NE(name[9], '0') << "no leading zeros: " << name;
    }
}

TEST(Names, LongFileNames) {
    struct Case {
        const char* name;
        bool usable;
    } cases[] = {
        {"", false},        {"   ", false},      {"com1", false},     {" NUL ", false},
        {"a:b", false},     {"a\"b", false},     {"a*b", false},      {"a/b", false},
        {"a<b", false},     {"a>b", false},      {"a?b", false},      {"a\\b", false},
        {"a|b", false},     {"CON", false},      {"PRN", false},      {"AUX", false},
        {"LPT1", false},    {"LPT2", false},     {"LPT3", false},     {"COM2", false},
        {"COM3", false},    {"COM4", false},     {"nul.txt", true},   {"LPT4", true},
        {"COM5", true},     {"a name with blanks", true},             {"ARCHIVIO.DBF", true},
    };
    for (const Case& c : cases) EXPECT_EQ(LFNFNAME(c.name), c.usable) << '"' << c.name << '"';
}

}  // namespace
}  // namespace kelv
