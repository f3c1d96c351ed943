#include <gtest/gtest.h>

#include "runtime/path.h"

namespace runtime {
namespace {

TEST(PathParts, DriveFolderNameAndExtension) {
    struct Case {
        const char* path;
        const char* drive;
        const char* folder;
        const char* name;
        const char* extension;
    } cases[] = {
        {"C:\\DATI\\ARCH.TAR.GZ", "C:", "\\DATI\\", "ARCH.TAR", ".GZ"},
        {"c:clienti.dbf", "c:", "", "clienti", ".dbf"},
        {"clienti", "", "", "clienti", ""},
        {"C:\\DATI.V2\\IMMAGINE", "C:", "\\DATI.V2\\", "IMMAGINE", ""},
        {"C:\\DATI\\", "C:", "\\DATI\\", "", ""},
        {"C:\\DATI\\NOME.", "C:", "\\DATI\\", "NOME", "."},
        {".\\VELKAN.INI", "", ".\\", "VELKAN", ".INI"},
        {"/tmp/my.dir/game", "", "/tmp/my.dir/", "game", ""},
        {"\\\\server\\share\\a.b", "", "\\\\server\\share\\", "a", ".b"},
        {"dir\\.hidden", "", "dir\\", "", ".hidden"},
        {"  nome . t x  ", "", "", "  nome ", ". t x  "},
        {"1:x", "", "1:", "x", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        PathParts p = split_path(c.path);
        EXPECT_EQ(p.drive, c.drive) << c.path;
        EXPECT_EQ(p.folder, c.folder) << c.path;
        EXPECT_EQ(p.name, c.name) << c.path;
        EXPECT_EQ(p.extension, c.extension) << c.path;
        EXPECT_EQ(p.location(), std::string(c.drive) + c.folder) << c.path;
    }
}

}  // namespace
}  // namespace runtime
