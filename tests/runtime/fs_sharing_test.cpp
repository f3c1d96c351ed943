// Sharing between processes: a file another process holds open through the seam refuses
// what Windows refuses (32), on both systems, and lets go when that process ends.
#include <gtest/gtest.h>

#include <fstream>

#include "runtime/fs.h"
#include "tests/dbf/child_process.h"
#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

using dbf_test::ChildProcess;
using dbf_test::helper_path;

TEST(SharingBetweenProcesses, AHeldFileRefusesWhatItsSharingRefuses) {
    test_support::TempFolder folder;
    folder.file("USER");
    const std::string marker = folder.windows_path() + "\\USER";
    struct Case {
        const char* held;  // by the other process
        Share asked;
        int open_code;  // of a read open with that sharing
        int create_code;  // of an open that would empty it, letting others read and write
    } cases[] = {
        {"exclusive", Share::kShared, oscode::kSharingViolation, oscode::kSharingViolation},
        {"exclusive", Share::kExclusive, oscode::kSharingViolation, oscode::kSharingViolation},
        {"shared", Share::kExclusive, oscode::kSharingViolation, 0},
        {"shared", Share::kShared, 0, 0},
    };
    for (const Case& c : cases) {
        ChildProcess holder({helper_path(), marker, c.held});
        ASSERT_TRUE(holder.started());
        ASSERT_EQ(holder.read_line(), "open 0") << c.held;
        FileHandle file = kNoFile;
        EXPECT_EQ(open_file(marker, Access::kRead, c.asked, Disposition::kOpenExisting, file),
                  c.open_code)
            << c.held;
        if (c.open_code == 0) close_file(file);
        EXPECT_EQ(open_file(marker, Access::kWrite, Share::kShared, Disposition::kCreateAlways,
                            file),
                  c.create_code)
            << c.held;
        if (c.create_code == 0) close_file(file);
        EXPECT_EQ(remove_file(marker), oscode::kSharingViolation) << c.held;
        EXPECT_EQ(move_file(marker, marker + "2"), oscode::kSharingViolation) << c.held;
        holder.release();
        EXPECT_EQ(holder.wait(), 0);
        if (c.create_code != 0) {
            EXPECT_EQ(std::ifstream(folder.path() / "USER").get(), 'U') << c.held << ": kept";
        }
    }
    EXPECT_EQ(remove_file(marker), 0) << "its holder gone, the file can go";
}

TEST(SharingBetweenProcesses, AFileHeldHereRefusesTheOtherProcess) {
    test_support::TempFolder folder;
    folder.file("USER");
    const std::string marker = folder.windows_path() + "\\USER";
    FileHandle file = kNoFile;
    ASSERT_EQ(open_file(marker, Access::kRead, Share::kExclusive, Disposition::kOpenExisting, file),
              0);
    ChildProcess other({helper_path(), marker, "shared"});
    ASSERT_TRUE(other.started());
    EXPECT_EQ(other.read_line(), "open " + std::to_string(oscode::kSharingViolation));
    other.release();
    other.wait();
    close_file(file);
}

}  // namespace
}  // namespace runtime
