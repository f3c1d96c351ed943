// The file-system seam on both systems: each call over a table of cases, with the Windows
// error numbers Windows gives (the Windows builds run these against Wine's Win32).
#include "runtime/fs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tests/support/environment.h"
#include "tests/support/held_open.h"
#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

namespace fs = std::filesystem;

using test_support::Environment;
using test_support::HeldOpen;

class Fs : public testing::Test {
protected:
    // The fixture folder's entry as the program names it.
    std::string at(const std::string& name) const { return folder_.windows_path() + "\\" + name; }
    fs::path native(std::string name) const {
        for (char& c : name)
            if (c == '\\') c = '/';
        return folder_.path() / name;
    }
    // A file's bytes; empty for anything else.
    std::string content(const std::string& name) const {
        if (!fs::is_regular_file(native(name))) return {};
        std::ifstream in(native(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(native(name), std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return fs::exists(native(name)); }

    test_support::TempFolder folder_;
};

TEST_F(Fs, FileExists) {
    folder_.file("plain.txt");
    folder_.folder("sub");
    struct Case {
        const char* name;
        bool exists;
    } cases[] = {{"plain.txt", true}, {"PLAIN.TXT", true}, {"sub", false}, {"missing", false}};
    for (const Case& c : cases) EXPECT_EQ(file_exists(at(c.name)), c.exists) << c.name;
}

TEST_F(Fs, RemoveFile) {
    folder_.file("plain.txt");
    folder_.read_only_file("ro.txt");
    folder_.folder("sub");
    folder_.file("open.txt");
    HeldOpen held(native("open.txt"));
    struct Case {
        const char* name;
        int code;
    } cases[] = {
        {"plain.txt", 0},
        {"ro.txt", oscode::kAccessDenied},
        {"sub", oscode::kAccessDenied},
        {"open.txt", oscode::kSharingViolation},
        {"missing", oscode::kFileNotFound},
        {"missing\\x.txt", oscode::kPathNotFound},
    };
    for (const Case& c : cases) {
        bool existed = exists(c.name);
        EXPECT_EQ(remove_file(at(c.name)), c.code) << c.name;
        EXPECT_EQ(exists(c.name), existed && c.code != 0) << c.name;
    }
}

TEST_F(Fs, MoveFileNeverReplaces) {
    struct Case {
        const char* from;
        const char* to;
        int code;
    } cases[] = {
        {"a.txt", "b.txt", 0},
        {"b.txt", "sub\\b.txt", 0},
        {"ro.txt", "ro2.txt", 0},
        {"c.txt", "sub\\b.txt", oscode::kAlreadyExists},
        {"sub", "sub2", 0},
        {"open.txt", "open2.txt", oscode::kSharingViolation},
        {"missing", "x.txt", oscode::kFileNotFound},
        {"c.txt", "missing\\c.txt", oscode::kPathNotFound},
    };
    folder_.folder("sub");
    for (const char* name : {"a.txt", "c.txt", "open.txt"}) write(name, name);
    folder_.read_only_file("ro.txt");
    HeldOpen held(native("open.txt"));
    for (const Case& c : cases) {
        std::string before = content(c.from);
        bool existed = exists(c.from);
        EXPECT_EQ(move_file(at(c.from), at(c.to)), c.code) << c.from << " to " << c.to;
        EXPECT_EQ(exists(c.from), existed && c.code != 0) << c.from;
        if (c.code == 0) {
            EXPECT_EQ(content(c.to), before) << c.to;
        }
    }
    EXPECT_EQ(content("c.txt"), "c.txt");
    EXPECT_EQ(content("sub2\\b.txt"), "a.txt") << "the folder moved with what it holds";
}

TEST_F(Fs, ReplaceFile) {
    struct Case {
        const char* target;  // its old content is its name
        int code;
    } cases[] = {
        {"old.txt", 0},
        {"new.txt", 0},
        {"ro.txt", oscode::kAccessDenied},
        {"open.txt", oscode::kAccessDenied},
        {"missing\\x.txt", oscode::kPathNotFound},
    };
    write("old.txt", "old.txt");
    write("open.txt", "open.txt");
    folder_.read_only_file("ro.txt");
    HeldOpen held(native("open.txt"));
    for (const Case& c : cases) {
        write("source", "fresh bytes");
        std::string before = content(c.target);
        EXPECT_EQ(replace_file(at("source"), at(c.target)), c.code) << c.target;
        EXPECT_EQ(content(c.target), c.code == 0 ? "fresh bytes" : before) << c.target;
        EXPECT_EQ(exists("source"), c.code != 0) << c.target;
    }
    EXPECT_EQ(replace_file(at("missing"), at("old.txt")), oscode::kFileNotFound);
    EXPECT_EQ(content("old.txt"), "fresh bytes");
}

TEST_F(Fs, CopyFileCarriesBytesAttributesAndTime) {
    write("big.bin", std::string(3 * 1024 * 1024, 'x'));
    write("old.txt", "old");
    write("open.txt", "open");
    folder_.read_only_file("ro.txt");
    folder_.folder("sub");
    HeldOpen held(native("open.txt"));
    struct Case {
        const char* from;
        const char* to;
        int code;
    } cases[] = {
        {"big.bin", "copy.bin", 0},
        {"big.bin", "old.txt", 0},
        {"ro.txt", "ro-copy.txt", 0},
        {"big.bin", "ro.txt", oscode::kAccessDenied},
        {"big.bin", "open.txt", oscode::kSharingViolation},
        {"big.bin", "big.bin", oscode::kSharingViolation},
        {"sub", "sub-copy", oscode::kAccessDenied},
        {"missing", "x.txt", oscode::kFileNotFound},
        {"big.bin", "missing\\x.txt", oscode::kPathNotFound},
    };
    for (const Case& c : cases) {
        std::string before = content(c.to);
        int parts = 0;
        EXPECT_EQ(copy_file(at(c.from), at(c.to), [&] { ++parts; }), c.code)
            << c.from << " to " << c.to;
        if (c.code != 0) {
            EXPECT_TRUE(content(c.to) == before) << c.to << " kept";
            continue;
        }
        EXPECT_TRUE(content(c.to) == content(c.from)) << c.to << " a copy";
#ifndef _WIN32
        // Wine's CopyFileExW never calls the progress routine; Windows' does.
        EXPECT_GE(parts, 1) << "the progress runs while the copy goes on";
#endif
        std::uint32_t from_bits = 0, to_bits = 0;
        FileTime from_time = 0, to_time = 0;
        ASSERT_EQ(file_attributes(at(c.from), from_bits), 0);
        ASSERT_EQ(file_attributes(at(c.to), to_bits), 0);
        EXPECT_EQ(to_bits, from_bits) << c.to;
        ASSERT_EQ(last_write_time(at(c.from), from_time), 0);
        ASSERT_EQ(last_write_time(at(c.to), to_time), 0);
        EXPECT_EQ(to_time, from_time) << c.to;
    }
    EXPECT_FALSE(exists("sub-copy"));
}

TEST_F(Fs, CreateAndRemoveFolders) {
    folder_.folder("full");
    folder_.file("full/inside.txt");
    folder_.file("file.txt");
    struct Case {
        const char* name;
        bool create;  // else remove
        int code;
    } cases[] = {
        {"new", true, 0},
        {"new", true, oscode::kAlreadyExists},
        {"file.txt", true, oscode::kAlreadyExists},
        {"missing\\new", true, oscode::kPathNotFound},
        {"new", false, 0},
        {"new", false, oscode::kFileNotFound},
        {"full", false, oscode::kDirNotEmpty},
        {"file.txt", false, oscode::kDirectory},
        {"missing\\new", false, oscode::kPathNotFound},
    };
    for (const Case& c : cases) {
        int code = c.create ? create_folder(at(c.name)) : remove_folder(at(c.name));
        EXPECT_EQ(code, c.code) << (c.create ? "create " : "remove ") << c.name;
    }
    EXPECT_TRUE(fs::is_directory(native("full")));
    EXPECT_FALSE(exists("new"));
}

TEST_F(Fs, CurrentFolder) {
    folder_.folder("sub");
    folder_.file("file.txt");
    const std::string before = current_folder();
    struct Case {
        const char* name;
        int code;
    } cases[] = {
        {"sub", 0},
        {"missing", oscode::kFileNotFound},
        {"file.txt", oscode::kDirectory},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(set_current_folder(at(c.name)), c.code) << c.name;
        std::string now = current_folder();
        std::string want = c.code == 0 ? "\\" + std::string(c.name) : "";
        EXPECT_EQ(now.substr(now.size() - want.size()), want) << c.name;
        ASSERT_EQ(set_current_folder(before), 0);
    }
    EXPECT_EQ(current_folder(), before);
}

TEST_F(Fs, Attributes) {
    folder_.file("plain.txt");
    folder_.read_only_file("ro.txt");
    folder_.hidden_file(".hid.txt");
    folder_.system_file("sys");
    folder_.folder("sub");
    using namespace attribute;
    struct Case {
        const char* name;
        int code;
        std::uint32_t bits;  // of these four
    } cases[] = {
        {"plain.txt", 0, 0},
        {"ro.txt", 0, kReadOnly},
        {".hid.txt", 0, kHidden},
        {"sys", 0, kSystem},
        {"sub", 0, kDirectory},
        {"missing", oscode::kFileNotFound, 0},
        {"missing\\x", oscode::kPathNotFound, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t bits = 0;
        EXPECT_EQ(file_attributes(at(c.name), bits), c.code) << c.name;
        EXPECT_EQ(bits & (kReadOnly | kHidden | kSystem | kDirectory), c.bits) << c.name;
    }
    std::uint32_t bits = 0;
    file_attributes(at("plain.txt"), bits);
    EXPECT_EQ(bits, kArchive) << "a file just written";
}

TEST_F(Fs, ReadOnlyIsSetAndCleared) {
    folder_.file("file.txt");
    struct Case {
        std::uint32_t set;
        bool read_only;
        int remove_code;  // what deleting it then answers
    } cases[] = {
        {attribute::kReadOnly, true, oscode::kAccessDenied},
        {attribute::kReadOnly | attribute::kArchive, true, oscode::kAccessDenied},
        {attribute::kNormal, false, 0},
    };
    for (const Case& c : cases) {
        if (!exists("file.txt")) folder_.file("file.txt");
        ASSERT_EQ(set_file_attributes(at("file.txt"), c.set), 0) << c.set;
        std::uint32_t bits = 0;
        ASSERT_EQ(file_attributes(at("file.txt"), bits), 0);
        EXPECT_EQ((bits & attribute::kReadOnly) != 0, c.read_only) << c.set;
        EXPECT_EQ(remove_file(at("file.txt")), c.remove_code) << c.set;
    }
    EXPECT_EQ(set_file_attributes(at("missing"), attribute::kNormal), oscode::kFileNotFound);
}

TEST_F(Fs, LastWriteTimeOfFilesAndFolders) {
    folder_.file("file.txt");
    folder_.folder("sub");
    folder_.read_only_file("ro.txt");
    folder_.file("open.txt");
    HeldOpen held(native("open.txt"));
    // 2 March 2001, 10:20:30.1234567 UTC, in 100-nanosecond steps since 1601.
    constexpr FileTime kTime = 126'280'020'301'234'567ULL;
    struct Case {
        const char* name;
        int set_code;
    } cases[] = {
        {"file.txt", 0},
        {"sub", 0},
        {"ro.txt", oscode::kAccessDenied},
        {"open.txt", oscode::kSharingViolation},
        {"missing", oscode::kFileNotFound},
    };
    for (const Case& c : cases) {
        FileTime before = 0;
        last_write_time(at(c.name), before);
        EXPECT_EQ(set_last_write_time(at(c.name), kTime), c.set_code) << c.name;
        FileTime after = 0;
        int get_code = last_write_time(at(c.name), after);
        EXPECT_EQ(get_code, c.set_code == oscode::kFileNotFound ? c.set_code : 0) << c.name;
        EXPECT_EQ(after, c.set_code == 0 ? kTime : before) << c.name;
    }
}

TEST_F(Fs, OpenFilesWithAccessAndSharing) {
    write("plain.txt", "bytes");
    write("old.txt", "bytes");
    write("open.txt", "open");
    folder_.read_only_file("ro.txt");
    folder_.folder("sub");
    FileHandle held = kNoFile;  // open without sharing
    ASSERT_EQ(open_file(at("open.txt"), Access::kRead, Share::kExclusive,
                        Disposition::kOpenExisting, held),
              0);
    using enum Access;
    constexpr auto kOpen = Disposition::kOpenExisting;
    constexpr auto kCreate = Disposition::kCreateAlways;
    struct Case {
        const char* name;
        Access access;
        Share share;
        Disposition how;
        int code;
        const char* content_after;  // at the end; nullptr: not there
    } cases[] = {
        {"plain.txt", kRead, Share::kShared, kOpen, 0, "bytes"},
        {"plain.txt", kReadWrite, Share::kExclusive, kOpen, 0, "bytes"},
        {"old.txt", kWrite, Share::kShared, kCreate, 0, ""},
        {"new.txt", kWrite, Share::kShared, kCreate, 0, ""},
        {"ro.txt", kRead, Share::kExclusive, kOpen, 0, "ro.txt"},
        {"ro.txt", kWrite, Share::kShared, kOpen, oscode::kAccessDenied, "ro.txt"},
        {"ro.txt", kWrite, Share::kShared, kCreate, oscode::kAccessDenied, "ro.txt"},
        {"sub", kRead, Share::kShared, kOpen, oscode::kAccessDenied, ""},
        {"open.txt", kRead, Share::kShared, kOpen, oscode::kSharingViolation, "open"},
        {"open.txt", kWrite, Share::kShared, kCreate, oscode::kSharingViolation, "open"},
        {"missing", kRead, Share::kShared, kOpen, oscode::kFileNotFound, nullptr},
        {"missing\\x", kWrite, Share::kShared, kCreate, oscode::kPathNotFound, nullptr},
    };
    for (const Case& c : cases) {
        FileHandle file = kNoFile;
        EXPECT_EQ(open_file(at(c.name), c.access, c.share, c.how, file), c.code) << c.name;
        if (c.code == 0) {
            EXPECT_EQ(close_file(file), 0) << c.name;
        }
        EXPECT_EQ(exists(c.name), c.content_after != nullptr) << c.name;
    }
    close_file(held);  // Windows lets nobody read it before
    for (const Case& c : cases) {
        if (c.content_after) {
            EXPECT_EQ(content(c.name), c.content_after) << c.name;
        }
    }
}

TEST_F(Fs, AnOpenFileRefusesWhatItsSharingRefuses) {
    write("f.txt", "0123456789");
    struct Case {
        Share held;
        Share asked;
        int open_code;
    } cases[] = {
        {Share::kShared, Share::kShared, 0},
        {Share::kShared, Share::kExclusive, oscode::kSharingViolation},
        {Share::kExclusive, Share::kShared, oscode::kSharingViolation},
        {Share::kExclusive, Share::kExclusive, oscode::kSharingViolation},
    };
    for (const Case& c : cases) {
        FileHandle first = kNoFile, second = kNoFile;
        ASSERT_EQ(open_file(at("f.txt"), Access::kRead, c.held, Disposition::kOpenExisting, first),
                  0);
        EXPECT_EQ(open_file(at("f.txt"), Access::kRead, c.asked, Disposition::kOpenExisting,
                            second),
                  c.open_code);
        if (c.open_code == 0) close_file(second);
        // Held either way, it can be neither deleted nor moved.
        EXPECT_EQ(remove_file(at("f.txt")), oscode::kSharingViolation);
        EXPECT_EQ(move_file(at("f.txt"), at("g.txt")), oscode::kSharingViolation);
        EXPECT_EQ(close_file(first), 0);
    }
    EXPECT_EQ(remove_file(at("f.txt")), 0) << "closed, the file lets go";
}

TEST_F(Fs, ReadWriteAndMoveThePosition) {
    FileHandle file = kNoFile;
    ASSERT_EQ(open_file(at("f.bin"), Access::kReadWrite, Share::kExclusive,
                        Disposition::kCreateAlways, file),
              0);
    EXPECT_EQ(write_file(file, "abcdef", 6), 0);
    EXPECT_EQ(move_file_pointer(file, -4), 0);
    char buffer[8] = {};
    std::size_t got = 0;
    EXPECT_EQ(read_file(file, buffer, 8, got), 0);
    EXPECT_EQ(std::string(buffer, got), "cdef");
    EXPECT_EQ(read_file(file, buffer, 8, got), 0);
    EXPECT_EQ(got, 0u) << "at the end";
    EXPECT_NE(move_file_pointer(file, -100), 0) << "not before the start";
    EXPECT_EQ(close_file(file), 0);

    ASSERT_EQ(open_file(at("f.bin"), Access::kRead, Share::kShared, Disposition::kOpenExisting,
                        file),
              0);
    EXPECT_EQ(write_file(file, "x", 1), oscode::kAccessDenied) << "opened for reading";
    EXPECT_EQ(close_file(file), 0);
    EXPECT_EQ(content("f.bin"), "abcdef");
}

TEST_F(Fs, FullNamesFromTheTextAndTheCurrentFolder) {
    const std::string here = current_folder();
    struct Case {
        std::string name;
        std::string full;
    } cases[] = {
        {"C:\\DATA\\ARCH.DBF", "C:\\DATA\\ARCH.DBF"},
        {"C:\\DATA\\.\\X\\..\\ARCH.DBF", "C:\\DATA\\ARCH.DBF"},
        {"C:\\DATA\\", "C:\\DATA\\"},
        {"C:\\..\\..", "C:\\"},
        {"C:\\", "C:\\"},
        {"ARCH.DBF", here + "\\ARCH.DBF"},
        {"SUB\\..\\ARCH.DBF", here + "\\ARCH.DBF"},
    };
    for (const Case& c : cases) EXPECT_EQ(full_name(c.name), c.full) << c.name;
}

TEST_F(Fs, FileSearchTellsEachEntry) {
    write("one.txt", "12345");
    folder_.folder("sub");
    std::map<std::string, FindData> seen;
    FindData d;
    SearchHandle search = find_first_file(at("*.*"), d);
    ASSERT_NE(search, kNoSearch);
    do seen[d.name] = d;
    while (find_next_file(search, d));
    EXPECT_TRUE(find_close(search));
    ASSERT_TRUE(seen.contains("one.txt") && seen.contains("sub"));
    EXPECT_EQ(seen["one.txt"].size, 5u);
    EXPECT_EQ(seen["one.txt"].attributes & attribute::kDirectory, 0u);
    EXPECT_NE(seen["sub"].attributes & attribute::kDirectory, 0u);
    FileTime written = 0;
    ASSERT_EQ(last_write_time(at("one.txt"), written), 0);
    EXPECT_EQ(seen["one.txt"].written, written);
    EXPECT_NE(seen["one.txt"].created, 0u);
    EXPECT_EQ(find_first_file(at("*.none"), d), kNoSearch);
    EXPECT_EQ(find_first_file(at("missing\\*.*"), d), kNoSearch);
}

TEST(Drives, TypeOfTheDriveARootNames) {
    struct Case {
        const char* root;
        int type;
    } cases[] = {
#ifdef _WIN32
        {"C:\\", drive::kFixed},
        {"Q:\\", drive::kNoRootDir},
#else
        {"C:\\", drive::kFixed},  // the root's own file system
        {"c:", drive::kFixed},
        {"D:\\", drive::kNoRootDir},  // the root is the one drive, C:
        {"A:", drive::kNoRootDir},
        {"\\dev\\shm", drive::kRamDisk},
        {"\\no-such-folder", drive::kNoRootDir},
#endif
    };
    for (const Case& c : cases) EXPECT_EQ(drive_type(c.root), c.type) << c.root;
}

TEST(Drives, FreeSpaceAsTheSystemCountsIt) {
    test_support::TempFolder folder;
    std::uint64_t bytes = 0;
    ASSERT_EQ(free_space(folder.windows_path(), bytes), 0);
    std::uint64_t free = fs::space(folder.path()).free;
    constexpr std::uint64_t kOthersWriting = 256ULL << 20;
    EXPECT_LT(bytes > free ? bytes - free : free - bytes, kOthersWriting);
    EXPECT_NE(free_space(folder.windows_path() + "\\missing\\deeper", bytes), 0);
}

TEST(ProcessServices, TempFolderFromTheEnvironment) {
    test_support::TempFolder folder;
    Environment temp("TEMP", folder.path().string().c_str());
    EXPECT_EQ(temp_folder(), folder.windows_path());
    temp.set(nullptr);
    EXPECT_EQ(temp_folder(), "");
}

TEST(ProcessServices, SystemErrorModeAnswersTheOneItReplaces) {
    unsigned before = set_system_error_mode(kFailCriticalErrors);
    EXPECT_EQ(set_system_error_mode(before), kFailCriticalErrors);
}

TEST(ProcessServices, LocalTimeFollowsTheTimeZone) {
    struct Case {
        const char* zone;  // POSIX form, which the Windows C library reads too
        int hour;
    } cases[] = {{"UTC0", 5}, {"CET-1", 6}, {"EST5", 0}};
    const std::time_t kMoment = 365 * 86400 + 5 * 3600 + 7 * 60;  // 1 January 1971, 05:07 UTC
    auto read_zone = [] {
#ifdef _WIN32
        _tzset();
#else
        tzset();
#endif
    };
    for (const Case& c : cases) {
        Environment zone("TZ", c.zone);
        read_zone();
        std::tm t = local_time(kMoment);
        EXPECT_EQ(t.tm_year, 71) << c.zone;
        EXPECT_EQ(t.tm_yday, 0) << c.zone;
        EXPECT_EQ(t.tm_hour, c.hour) << c.zone;
        EXPECT_EQ(t.tm_min, 7) << c.zone;
    }
    read_zone();
}

}  // namespace
}  // namespace runtime
