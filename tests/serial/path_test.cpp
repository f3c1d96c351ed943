#include "runtime/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace runtime {
namespace {

namespace fs = std::filesystem;

TEST(PosixPath, WindowsPathsMapToOneRootAndFindNamesWithoutCase) {
    fs::path base = fs::temp_directory_path() / "velkan-path-test";
    fs::remove_all(base);
    fs::create_directories(base / "Dati" / "Sub");
    std::ofstream(base / "Dati" / "Sub" / "File.Tap") << "x";
    std::string b = base.string();
    std::string w = b;  // the base as a Windows path
    for (char& c : w) {
        if (c == '/') c = '\\';
    }
    struct Case {
        std::string windows, posix;
    } cases[] = {
        {"C:" + w + "\\DATI\\SUB\\FILE.TAP", b + "/Dati/Sub/File.Tap"},
        {w + "\\dati\\sub\\file.tap", b + "/Dati/Sub/File.Tap"},
        {w + "\\dati\\NEW\\file.tap", b + "/Dati/NEW/file.tap"},
        {"C:\\KELV\\NET", "/KELV/NET"},
        {".\\VELKAN.INI", "./VELKAN.INI"},
        {"C:NAME", "NAME"},
        {"d:\\", "/"},
        {"caf\xE9.txt", "caf\xC3\xA9.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(posix_path(c.windows), c.posix) << c.windows;
    fs::remove_all(base);
}

TEST(PosixPath, NativePathsComeBackInWindowsForm) {
    struct Case {
        std::string native, windows;
    } cases[] = {
        {"/tmp/my.dir/game", "\\tmp\\my.dir\\game"},
        {"/", "\\"},
        {"relative/x", "relative\\x"},
        {"/caf\xC3\xA9.tap", "\\caf\xE9.tap"},
    };
    for (const Case& c : cases) EXPECT_EQ(windows_path(c.native), c.windows) << c.native;
}

}  // namespace
}  // namespace runtime
