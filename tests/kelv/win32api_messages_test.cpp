// What the file-system helpers tell the user when they fail, seen in the message box the
// way a user sees it, one row per failure that this machine can bring about; and the
// checks against a file another process holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "kelv/win32api/checks.h"
#include "kelv/win32api/primitives.h"
#include "kelv/win32api/trees.h"
#include "runtime/error.h"
#include "runtime/fs.h"
#include "tests/dbf/child_process.h"
#include "tests/support/current_folder.h"
#include "tests/support/temp_folder.h"
#include "tests/winlib/user.h"

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kelv {
namespace {

namespace fs = std::filesystem;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;  // a message box's text

#ifndef _WIN32
// A folder nothing can be added to or removed from, root included (the immutable flag of
// Linux's file systems), until the object goes.
class Immutable {
public:
    explicit Immutable(const fs::path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY)) {
        set_ = fd_ >= 0 && change(true);
    }
    ~Immutable() {
        if (set_) change(false);
        if (fd_ >= 0) ::close(fd_);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool set() const { return set_; }

private:
    bool change(bool on) {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return false;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int fd_;
    bool set_ = false;
};
#endif

class Messages : public testing::Test {
protected:
    std::string at(const std::string& name) const { return folder_.windows_path() + "\\" + name; }
    fs::path native(const std::string& name) const { return folder_.path() / name; }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(native(name), std::ios::binary) << bytes;
    }
    void read_only(const std::string& name) {
        auto bits = static_cast<std::uint32_t>(GETFILEATTRIBUTES(at(name)));
        ASSERT_TRUE(SETFILEATTRIBUTES(at(name), bits | runtime::attribute::kReadOnly));
    }
    // The user reads the notice and presses OK.
    std::unique_ptr<winlib::testing::User> user_who_sees(const std::string& text) {
        auto user = make_user();
        user->wait_window("Attenzione").expect_text("Attenzione", kText, text).click("Attenzione", 1);
        user->start();
        return user;
    }

    test_support::TempFolder folder_;
};

TEST_F(Messages, CopyDirTellsWhatItCouldNotDo) {
    fs::create_directories(native("src/inner"));
    write("src/a.txt", "new");
    fs::create_directory(native("existing"));
    write("existing/a.txt", "old");
    read_only("existing\\a.txt");
    struct Case {
        const char* source;
        const char* target;
        bool create_target;
        std::string message;
        const char* untouched;  // what the failed copy has not made
    } cases[] = {
        {"src", "existing", true, "Impossibile creare la cartella " + at("existing") + ".",
         "existing/inner"},
        {"missing", "fresh", true,
         "Impossibile impostare data e ora della cartella " + at("fresh") + ".", "fresh/inner"},
        {"src", "existing", false, "Impossibile copiare il file " + at("src") + "\\a.txt.",
         "existing/a.txt.copy"},
    };
    for (const Case& c : cases) {
        auto user = user_who_sees(c.message);
        EXPECT_FALSE(COPYDIR(at(c.source), at(c.target), c.create_target)) << c.message;
        EXPECT_TRUE(user->finished()) << user->report();
        EXPECT_FALSE(fs::exists(native(c.untouched))) << c.untouched;
    }
    std::ifstream kept(native("existing/a.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old");
}

TEST_F(Messages, DeleteDirTellsWhichFileStayed) {
    fs::create_directory(native("tree"));
    write("tree/held.txt", "x");
    runtime::FileHandle held = runtime::kNoFile;
    ASSERT_EQ(runtime::open_file(at("tree\\held.txt"), runtime::Access::kRead,
                                 runtime::Share::kExclusive, runtime::Disposition::kOpenExisting,
                                 held),
              0);
    auto user = user_who_sees("Impossibile cancellare il file " + at("tree") + "\\held.txt.");
    EXPECT_FALSE(DELETEDIR(at("tree")));
    EXPECT_TRUE(user->finished()) << user->report();
    runtime::close_file(held);
    EXPECT_TRUE(fs::exists(native("tree")));
}

#ifndef _WIN32
TEST_F(Messages, DeleteDirTellsWhichFolderStayed) {
    fs::create_directories(native("tree/stuck"));
    Immutable stuck(native("tree/stuck"));
    if (!stuck.set()) GTEST_SKIP() << "no immutable folders here";
    auto user = user_who_sees("Impossibile cancellare la cartella " + at("tree") + "\\stuck.");
    EXPECT_FALSE(DELETEDIR(at("tree")));
    EXPECT_TRUE(user->finished()) << user->report();
}

TEST_F(Messages, AFolderThatCannotBeWrittenIsProtected) {
    fs::create_directory(native("locked"));
    test_support::CurrentFolder here(native("locked"));
    Immutable locked(native("locked"));
    if (!locked.set()) GTEST_SKIP() << "no immutable folders here";
    auto user = user_who_sees("Disco protetto da scrittura.");
    EXPECT_TRUE(ISPROTECTED(""));
    EXPECT_TRUE(user->finished()) << user->report();
}
#else
TEST_F(Messages, ADriveWithoutMediumIsNotReady) {
    // Wine maps C: and Z: only; Q: has nothing behind it.
    auto user = user_who_sees("Disco non pronto.");
    EXPECT_FALSE(ISREADY("Q:"));
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_FALSE(ISREADY("Q:", false)) << "and silently when asked so";
    auto again = user_who_sees("Disco non pronto.");
    EXPECT_TRUE(ISPROTECTED("Q:"));
    EXPECT_TRUE(again->finished()) << again->report();
}
#endif

TEST_F(Messages, AReadOnlyFileIsNotAccessibleAndDelFileBreaks) {
    write("ro.txt", "x");
    read_only("ro.txt");
    auto user = user_who_sees("File non accessibile.");
    EXPECT_TRUE(ISREADONLY(at("ro.txt")));
    EXPECT_TRUE(user->finished()) << user->report();

    auto again = user_who_sees("File non accessibile.");
    bool broke = false;
    try {
        DELFILE(at("ro.txt"));
    } catch (const runtime::Break&) {
        broke = true;
    }
    EXPECT_TRUE(again->finished()) << again->report();
    EXPECT_TRUE(broke) << "the caller's work is abandoned";
    EXPECT_TRUE(fs::exists(native("ro.txt")));
}

// On a real small volume, which tests/kelv/small_volume.sh mounts for the run and names
// in VELKAN_SMALL_VOLUME: full first, then read-only.
class SmallVolume : public Messages {
protected:
    void SetUp() override {
        const char* volume = std::getenv("VELKAN_SMALL_VOLUME");
        if (volume == nullptr || *volume == '\0')
            GTEST_SKIP() << "VELKAN_SMALL_VOLUME names no small volume";
        volume_ = volume;
    }
    std::string volume_;
};

TEST_F(SmallVolume, FullDiskStopsTheCopy) {
    fs::create_directory(native("src"));
    write("src/big.bin", std::string(512 << 10, 'b'));
    auto user = user_who_sees("Impossibile copiare il file " + at("src") + "\\big.bin.");
    EXPECT_FALSE(COPYDIR(at("src"), volume_ + "\\copy"));
    EXPECT_TRUE(user->finished()) << user->report();
    EXPECT_TRUE(DELETEDIR(volume_ + "\\copy"));
}

TEST_F(SmallVolume, ReadOnlyDiskIsProtected) {
    fs::create_directory(native("src"));
    auto user = user_who_sees("Impossibile creare la cartella " + volume_ + "\\copy.");
    EXPECT_FALSE(COPYDIR(at("src"), volume_ + "\\copy"));
    EXPECT_TRUE(user->finished()) << user->report();
    test_support::CurrentFolder here(volume_);
    auto again = user_who_sees("Disco protetto da scrittura.");
    EXPECT_TRUE(ISPROTECTED(""));
    EXPECT_TRUE(again->finished()) << again->report();
}

TEST_F(Messages, AFileAnotherProcessHoldsIsNotReadOnlyAndCannotGo) {
    write("USER", "");
    dbf_test::ChildProcess holder({dbf_test::helper_path(), at("USER"), "exclusive"});
    ASSERT_TRUE(holder.started());
    ASSERT_EQ(holder.read_line(), "open 0");
    EXPECT_FALSE(ISREADONLY(at("USER"))) << "held elsewhere is another error than 5";
    DELDIR(folder_.windows_path());
    EXPECT_TRUE(fs::exists(native("USER"))) << "the instance marker survives the clean-up";
    EXPECT_FALSE(REMOVEDIR(folder_.windows_path()));
    holder.release();
    holder.wait();
    DELDIR(folder_.windows_path());
    EXPECT_FALSE(fs::exists(native("USER")));
}

}  // namespace
}  // namespace kelv
