// Whether a replacement hands the new bytes to the disk before they take the old file's
// place. This program's own fsync() and fdatasync() stand in for the C library's (a
// definition in the program wins at link time); each notes whether it reached the new
// file while the file still had its temporary name, then does the real flush.
#include <dlfcn.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "runtime/fs.h"
#include "tests/support/temp_folder.h"

namespace {

std::string g_watched;  // the native path of the new file under its temporary name
bool g_flushed_before_rename = false;

void note_flush(int fd) {
    struct stat of_fd {}, of_path {};
    if (!g_watched.empty() && ::fstat(fd, &of_fd) == 0 && ::stat(g_watched.c_str(), &of_path) == 0 &&
        of_fd.st_dev == of_path.st_dev && of_fd.st_ino == of_path.st_ino)
        g_flushed_before_rename = true;
}

template <typename Call>
Call real(const char* name) {
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
    note_flush(fd);
    static auto call = real<int (*)(int)>("fsync");
    return call(fd);
}

extern "C" int fdatasync(int fd) {
    note_flush(fd);
    static auto call = real<int (*)(int)>("fdatasync");
    return call(fd);
}

namespace runtime {
namespace {

TEST(ReplaceFile, FlushesTheNewBytesBeforeTheyTakeThePlace) {
    struct Case {
        const char* what;
        std::function<int(const std::string&, const std::string&)> put;
        bool flushed;
    } cases[] = {
        {"replace_file", [](auto& from, auto& to) { return replace_file(from, to); }, true},
        // A plain move flushes nothing: the check can tell the two apart.
        {"move_file", [](auto& from, auto& to) { return move_file(from, to); }, false},
    };
    for (const Case& c : cases) {
        test_support::TempFolder folder;
        std::ofstream(folder.path() / "NEW.TMP") << "new bytes";
        g_watched = (folder.path() / "NEW.TMP").string();
        g_flushed_before_rename = false;
        EXPECT_EQ(c.put(folder.windows_path() + "\\NEW.TMP", folder.windows_path() + "\\GAME.TAP"),
                  0)
            << c.what;
        g_watched.clear();
        EXPECT_EQ(g_flushed_before_rename, c.flushed) << c.what;
    }
}

}  // namespace
}  // namespace runtime
