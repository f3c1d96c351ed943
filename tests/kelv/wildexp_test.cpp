#include "kelv/values/wildexp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace kelv {
namespace {

using Names = std::vector<std::string>;

class Wildexp : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"alpha.txt", "beta.txt", "gamma.dat"}) folder_.file(name);
        folder_.read_only_file("ro.txt");
        folder_.hidden_file(".hid.txt");
        folder_.system_file("sys.txt");
        folder_.folder("dir.txt");
    }
    std::string in_folder(const std::string& mask) const {
        return folder_.windows_path() + "\\" + mask;
    }

    test_support::TempFolder folder_;
};

Names sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Wildexp, OrdinaryReadOnlyAndHiddenFilesOnly) {
    EXPECT_EQ(sorted(WILDEXP({in_folder("*.txt")})),
              (Names{".hid.txt", "alpha.txt", "beta.txt", "ro.txt"}));
    EXPECT_EQ(sorted(WILDEXP({in_folder("*.*")})),
              (Names{".hid.txt", "alpha.txt", "beta.txt", "gamma.dat", "ro.txt"}));
}

TEST_F(Wildexp, PatternsInTurnWithDuplicates) {
    EXPECT_EQ(WILDEXP({in_folder("AL*"), in_folder("gamma.dat"), in_folder("al*"),
                       in_folder("none*"), in_folder("dir.txt"), in_folder("sys.txt")}),
              (Names{"alpha.txt", "gamma.dat", "alpha.txt"}));
    // Within one pattern, the file system's order.
    Names listed = WILDEXP({in_folder("*.txt")});
    EXPECT_EQ(WILDEXP({in_folder("*.txt"), in_folder("*.txt")}), [&] {
        Names twice = listed;
        twice.insert(twice.end(), listed.begin(), listed.end());
        return twice;
    }());
    EXPECT_TRUE(WILDEXP({}).empty());
    EXPECT_TRUE(WILDEXP({in_folder("missing\\*.*")}).empty());
}

TEST_F(Wildexp, FolderFoundWithoutRegardToCase) {
    std::string upper_folder = folder_.windows_path();
    for (char& c : upper_folder)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    EXPECT_EQ(WILDEXP({upper_folder + "\\*.DAT"}), (Names{"gamma.dat"}));
}

TEST_F(Wildexp, PatternWithoutPathReadsTheCurrentFolder) {
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    Names found = WILDEXP({"*.dat", "ALPHA.TXT"});
    std::filesystem::current_path(before);
    EXPECT_EQ(found, (Names{"gamma.dat", "alpha.txt"}));
}

}  // namespace
}  // namespace kelv
