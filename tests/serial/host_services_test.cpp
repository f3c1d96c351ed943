#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "serial/clock.h"
#include "serial/current_dir.h"
#include "serial/files.h"
#include "serial/profile.h"

namespace serial {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, made the current directory, so that relative Windows paths
// such as ".\VELKAN.INI" name files in it.
class HostServices : public testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("velkan-host-" + std::to_string(std::hash<std::string>{}(
                                  testing::UnitTest::GetInstance()->current_test_info()->name())));
        fs::remove_all(folder);
        fs::create_directories(folder);
        before = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(folder);
    }
    static std::string read(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }
    fs::path folder, before;
};

TEST_F(HostServices, ProfileValuesFromATableOfFiles) {
    struct Case {
        const char* file;  // nullptr: no file
        const char* section;
        const char* key;
        const char* want;
    } cases[] = {
        {nullptr, "Impostazioni", "Porta", "dflt"},
        {"[Impostazioni]\r\nPorta=COM3\r\n", "Impostazioni", "Porta", "COM3"},
        {"[impostazioni]\r\nPORTA = COM4 \r\n", "IMPOSTAZIONI", "porta", "COM4"},
        {"[Impostazioni]\r\nPorta=\r\n", "Impostazioni", "Porta", ""},
        {"[Impostazioni]\r\nAltro=1\r\n", "Impostazioni", "Porta", "dflt"},
        {"[Altro]\r\nPorta=COM9\r\n[Impostazioni]\r\nPorta=COM2\r\n", "Impostazioni", "Porta",
         "COM2"},
        {"[Impostazioni]\nPorta=\"COM 5\"\n", "Impostazioni", "Porta", "COM 5"},
        {"; comment\n[Impostazioni]\nPorta=/dev/pts/3\n", "Impostazioni", "Porta", "/dev/pts/3"},
        {"[Altro]\nPorta=COM9\n", "Impostazioni", "Porta", "dflt"},
    };
    for (const Case& c : cases) {
        fs::remove("VELKAN.INI");
        if (c.file) write("VELKAN.INI", c.file);
        EXPECT_EQ(GETPVPROFSTRING(c.section, std::string(c.key), "dflt  ", ".\\VELKAN.INI"), c.want)
            << (c.file ? c.file : "no file");
    }
}

TEST_F(HostServices, ProfileKeyListWhenNoKeyIsGiven) {
    write("A.INI", "[S]\r\nOne=1\r\ntwo=2\r\n[T]\r\nThree=3\r\n");
    EXPECT_EQ(GETPVPROFSTRING("s", runtime::Value(), "", ".\\A.INI"), std::string("One\0two\0", 8));
}

TEST_F(HostServices, ProfileWritesKeepEveryOtherLine) {
    struct Case {
        const char* before;  // nullptr: no file
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {nullptr, "Impostazioni", "Porta", "COM1", "[Impostazioni]\r\nPorta=COM1\r\n"},
        {"; mine\r\n[Impostazioni]\r\nporta=COM1\r\nAltro = x \r\n", "IMPOSTAZIONI", "Porta",
         "COM2", "; mine\r\n[Impostazioni]\r\nporta=COM2\r\nAltro = x \r\n"},
        {"[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"[A]\nx=1\n", "New", "k", "v", "[A]\nx=1\n[New]\nk=v\n"},
        {"[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2\n"},
        {"[A]\r\n", "A", "k", "", "[A]\r\nk=\r\n"},
    };
    for (const Case& c : cases) {
        fs::remove("S.INI");
        if (c.before) write("S.INI", c.before);
        EXPECT_TRUE(WRITEPPROSTRING(c.section, c.key, c.value, ".\\S.INI"));
#ifndef _WIN32
        // The platform's writer lays the whole file out anew; ours changes one line only.
        EXPECT_EQ(read("S.INI"), c.after) << (c.before ? c.before : "no file");
#endif
        EXPECT_EQ(GETPVPROFSTRING(c.section, std::string(c.key), "?", ".\\S.INI"), c.value);
    }
}

TEST(Cfileext, ExtensionOfTheFileNamePart) {
    struct Case {
        const char* path;
        const char* ext;
    } cases[] = {
        {"C:\\DATI\\IMMAGINE.TAP", "TAP"}, {"immagine.tap", "tap"}, {"C:\\DATI.V2\\IMMAGINE", ""},
        {"C:\\DATI\\NOME.", ""},           {"C:NOME.TXT", "TXT"},   {"C:\\DATI\\", ""},
        {"  nome . t x  ", "t x"},         {"A.B.C", "C"},          {"", ""},
        {"C:\\DATI\\ARCH.TAR.GZ ", "GZ"},
    };
    for (const Case& c : cases) EXPECT_EQ(CFILEEXT(c.path), c.ext) << c.path;
}

TEST(CurrentDirectory, DriveAndDirectoryOfATableOfDirectories) {
    struct Case {
        const char* directory;
        const char* drive;
        const char* dir;
    } cases[] = {
        {"C:\\", "C", ""},
        {"c:\\DATI\\VELKAN", "C", "DATI\\VELKAN"},
        {"D:\\DATI\\", "D", "DATI"},
        {"\\\\server\\share\\dir", "\\", "\\server\\share\\dir"},
        {"\\home\\user", "\\", "home\\user"},  // POSIX: one root, no drive letters
        {"\\", "\\", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drive_of(c.directory), c.drive) << c.directory;
        EXPECT_EQ(directory_of(c.directory), c.dir) << c.directory;
    }
}

TEST_F(HostServices, CurdirNamesTheCurrentDirectory) {
    std::string dir = CURDIR();
    std::string tail = folder.filename().string();
    ASSERT_GE(dir.size(), tail.size());
    EXPECT_EQ(dir.substr(dir.size() - tail.size()), tail);
    EXPECT_NE(dir.back(), '\\');
#ifdef _WIN32
    EXPECT_EQ(CURDRIVE().size(), 1u);
#else
    EXPECT_EQ(CURDRIVE(), "\\");
    std::string want = folder.string().substr(1);  // below the root, drive-less
    for (char& c : want) {
        if (c == '/') c = '\\';
    }
    EXPECT_EQ(dir, want);
#endif
}

TEST_F(HostServices, MemowritWithAndWithoutEndOfFileByte) {
    struct Case {
        runtime::Value end;
        std::string want;
    } cases[] = {
        {false, std::string("ab\0c", 4)},
        {true, std::string("ab\0c\x1A", 5)},
        {runtime::Value(), std::string("ab\0c\x1A", 5)},
        {1, std::string("ab\0c\x1A", 5)},
    };
    for (const Case& c : cases) {
        write("OUT.TAP", "old and longer content");
        EXPECT_TRUE(MEMOWRIT(".\\OUT.TAP", std::string("ab\0c", 4), c.end));
        EXPECT_EQ(read("OUT.TAP"), c.want);
    }
    EXPECT_TRUE(FILE(".\\OUT.TAP"));
    EXPECT_TRUE(FILE("out.tap")) << "names compare without regard to case";
    EXPECT_FALSE(FILE(".\\MISSING.TAP"));
    EXPECT_FALSE(FILE(".")) << "a folder is not a file";
    EXPECT_FALSE(MEMOWRIT(".\\NO-SUCH-FOLDER\\X.TAP", "x", false));
}

TEST(Clock, SecondsAndExclusiveOr) {
    double s = SECONDS();
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 86400.0);
    struct Case {
        std::int64_t a, b, want;
    } cases[] = {{0x13, 0x00, 0x13}, {0xFF, 0x12, 0xED}, {0x41, 0x41, 0}, {0, 0, 0}};
    for (const Case& c : cases) EXPECT_EQ(XOR(c.a, c.b), c.want);
}

}  // namespace
}  // namespace serial
