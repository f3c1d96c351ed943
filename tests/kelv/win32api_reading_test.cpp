// The reading helpers: settings-file sections (ours on POSIX, the platform's under Wine,
// with the same answers), the find-data record and the file search, line reading; and a
// long copy that keeps the windows' messages flowing.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "kelv/win32api/find_data.h"
#include "kelv/win32api/primitives.h"
#include "kelv/win32api/profile_sections.h"
#include "kelv/win32api/read_line.h"
#include "runtime/fs.h"
#include "serial/ui_services.h"
#include "tests/support/temp_folder.h"
#include "winlib/messages.h"

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#endif

namespace kelv {
namespace {

using Names = std::vector<std::string>;

class Reading : public testing::Test {
protected:
    std::string at(const std::string& name) const { return folder_.windows_path() + "\\" + name; }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_.path() / name, std::ios::binary) << bytes;
    }
    test_support::TempFolder folder_;
};

TEST_F(Reading, SectionsAndEntryNamesOfASettingsFile) {
    const std::string long_name = "A_NAME_LONGER_THAN_SEVENTY_NINE_CHARACTERS_" + std::string(60, 'X');
    write("S.INI", "[Table]\r\nCLIENTI=1\r\nARTICOLI=2\r\n" + long_name +
                       "=3\r\n\r\n[Alias]\r\n  Spaced Name  = x\r\n[Empty]\r\n");
    EXPECT_EQ(GETPVPROFSECTIONNAMES(at("S.INI")), (Names{"Table", "Alias", "Empty"}));
    EXPECT_EQ(GETPVPROFSECTIONNAMES(at("MISSING.INI")), Names{});
    struct Case {
        const char* section;
        const char* file;
        Names names;
    } cases[] = {
        {"Table", "S.INI", {"CLIENTI", "ARTICOLI", long_name}},
        {"table", "S.INI", {"CLIENTI", "ARTICOLI", long_name}},
        {"Alias", "S.INI", {"Spaced Name"}},
        {"Empty", "S.INI", {}},
        {"Missing", "S.INI", {}},
        {"Table", "MISSING.INI", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GETPVPROFSECTION(c.section, at(c.file)), c.names) << c.section << " " << c.file;
}

TEST_F(Reading, AnEntryListLongerThanTheOldCutComesBackWhole) {
    std::string text = "[Many]\r\n";
    Names expected;
    for (int i = 0; i < 100; ++i) {
        expected.push_back("ENTRY_" + std::to_string(1000 + i) + std::string(50, 'N'));
        text += expected.back() + "=1\r\n";
    }
    write("M.INI", text);
    EXPECT_EQ(GETPVPROFSECTION("Many", at("M.INI")), expected);
}

TEST_F(Reading, SectionNamesIntoABufferTheCallerGives) {
    write("S.INI", "[One]\r\na=1\r\n[]\r\n[Two]\r\n");
    struct Case {
        int size;
        int count;
        std::string start;  // what the buffer begins with
    } cases[] = {
        {100, 8, std::string("One\0Two\0\0", 9)},
        {10, 8, std::string("One\0Two\0\0", 9)},
        {9, 7, std::string("One\0Two\0\0", 9)},  // an exact fit counts as cut
        {6, 4, std::string("One\0\0\0", 6)},
    };
    for (const Case& c : cases) {
        std::string buffer(128, ' ');
        EXPECT_EQ(GETPRIVATEPROFILESECTIONNAMES(buffer, c.size, at("S.INI")), c.count) << c.size;
        EXPECT_EQ(buffer.substr(0, c.start.size()), c.start) << c.size;
        EXPECT_EQ(buffer[c.size], ' ') << "nothing written past the size " << c.size;
    }
}

TEST(FindData, TheRecordLiesAsThePlatformsDoes) {
    winlib::TStruct data = OWIN32FINDDATA();
    EXPECT_EQ(data.buffer(), std::string(320, '\0'));
    struct Case {
        const char* name;
        std::size_t offset;
    } cases[] = {
        {"nFileAttr", 0},   {"cCreatTime", 4},  {"cLastATime", 12}, {"cLastWTime", 20},
        {"nFileSizeH", 28}, {"nFileSizeL", 32}, {"nReserved0", 36}, {"nReserved1", 40},
        {"cFileName", 44},  {"cShortName", 304},
    };
    for (const Case& c : cases) EXPECT_EQ(data.offset_of(c.name), c.offset) << c.name;
#ifdef _WIN32
    EXPECT_EQ(sizeof(WIN32_FIND_DATAA), 320u);
    EXPECT_EQ(offsetof(WIN32_FIND_DATAA, ftLastWriteTime), 20u);
    EXPECT_EQ(offsetof(WIN32_FIND_DATAA, nFileSizeLow), 32u);
    EXPECT_EQ(offsetof(WIN32_FIND_DATAA, cFileName), 44u);
    EXPECT_EQ(offsetof(WIN32_FIND_DATAA, cAlternateFileName), 304u);
#endif
    EXPECT_TRUE(data.set("NFILESIZEL", 0x01020304));
    EXPECT_EQ(data.buffer().substr(32, 4), "\x04\x03\x02\x01");
    EXPECT_EQ(data.get("nfilesizel"), runtime::Value(0x01020304));
    EXPECT_TRUE(data.set("cfilename", std::string(300, 'n')));
    EXPECT_EQ(data.get("cFileName"), runtime::Value(std::string(259, 'n'))) << "its zero byte kept";
    EXPECT_FALSE(data.set("nothing", 1));
    EXPECT_TRUE(data.get("nothing").is_nothing());
}

TEST_F(Reading, TheSearchFillsTheRecord) {
    write("DATA.TXT", std::string(1234, 'd'));
    winlib::TStruct data = OWIN32FINDDATA();
    EXPECT_EQ(FINDFIRSTFILE(at("*.none"), data.buffer()), -1);
    EXPECT_EQ(FINDFIRSTFILE(at("missing\\*.*"), data.buffer()), -1);
    EXPECT_EQ(data.buffer(), std::string(320, '\0')) << "no match leaves the record alone";

    std::intptr_t search = FINDFIRSTFILE(at("*.TXT"), data.buffer());
    ASSERT_NE(search, -1);
    EXPECT_EQ(data.get("cFileName"), runtime::Value("DATA.TXT"));
    EXPECT_EQ(data.get("nFileSizeL"), runtime::Value(1234));
    EXPECT_EQ(data.get("nFileSizeH"), runtime::Value(0));
    EXPECT_EQ(static_cast<int>(data.get("nFileAttr").number()) & runtime::attribute::kDirectory,
              0);
    runtime::FileTime written = 0;
    ASSERT_EQ(runtime::last_write_time(at("DATA.TXT"), written), 0);
    std::string bytes = data.get("cLastWTime").text();
    runtime::FileTime seen = 0;
    for (std::size_t i = 8; i-- > 0;) seen = seen << 8 | static_cast<unsigned char>(bytes[i]);
    EXPECT_EQ(seen, written);
    EXPECT_FALSE(FINDNEXTFILE(search, data.buffer()));
    EXPECT_TRUE(FINDCLOSE(search));

    std::string too_short(10, 'x');
    search = FINDFIRSTFILE(at("DATA.TXT"), too_short);
    ASSERT_NE(search, -1);
    EXPECT_EQ(too_short.size(), 320u) << "room for the whole record";
    FINDCLOSE(search);
}

TEST_F(Reading, LinesComeBackWithNoByteLost) {
    using Lines = std::vector<std::optional<std::string>>;
    const std::optional<std::string> kEnd;
    struct Case {
        const char* what;
        std::string bytes;
        int maximum;
        Lines lines;  // every call until the end
    } cases[] = {
        {"CR LF lines", "one\r\ntwo\r\nthree\r\n", 128, {"one", "two", "three", kEnd}},
        {"an empty line", "one\r\n\r\nthree\r\n", 128, {"one", "", "three", kEnd}},
        {"a last line without its end", "one\r\nlast", 128, {"one", "last", kEnd}},
        {"a cut line", "abcdefgh\r\nxy\r\n", 3, {"abc", "def", "gh", "xy", kEnd}},
        {"a line of the maximum", "abc\r\nxy\r\n", 3, {"abc", "xy", kEnd}},
        {"LF only", "ab\ncd\n", 4, {"ab\nc", "d\n", kEnd}},
        {"a zero byte ends a line", std::string("ab\0cd\r\n", 7), 128, {"ab", "cd", kEnd}},
        {"an empty file", "", 128, {kEnd}},
    };
    for (const Case& c : cases) {
        write("T.TXT", c.bytes);
        runtime::FileHandle file = runtime::kNoFile;
        ASSERT_EQ(runtime::open_file(at("T.TXT"), runtime::Access::kRead, runtime::Share::kShared,
                                     runtime::Disposition::kOpenExisting, file),
                  0);
        Lines got;
        for (std::size_t i = 0; i < c.lines.size(); ++i) got.push_back(FREADLINE(file, c.maximum));
        EXPECT_EQ(got, c.lines) << c.what;
        runtime::close_file(file);
    }
}

TEST_F(Reading, ALongCopyKeepsTheMessagesFlowing) {
    write("BIG.BIN", std::string(8 << 20, 'b'));
    winlib::post_quit(0);  // a message waiting when the copy starts
    ASSERT_TRUE(COPYFILE(at("BIG.BIN"), at("COPY.BIN")));
    EXPECT_EQ(std::filesystem::file_size(folder_.path() / "COPY.BIN"), 8u << 20);
#ifdef _WIN32
    // Wine's CopyFileExW never calls the progress routine, which Windows calls after each
    // part; meet the request here so that it does not reach the next test.
    serial::SYSREFRESH();
#else
    EXPECT_TRUE(serial::SYSREFRESH()) << "the copy handled the waiting message itself";
#endif
}

}  // namespace
}  // namespace kelv
