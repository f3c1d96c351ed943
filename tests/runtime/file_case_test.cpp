#include "runtime/file_case.h"

#include <gtest/gtest.h>

#include "runtime/settings.h"

namespace runtime {
namespace {

TEST(FileCase, NameAndExtensionFollowTheSettingTheFolderKeepsItsCase) {
    struct Case {
        const char* mode;
        const char* path;
        const char* stored;
    } cases[] = {
        {"UPPER", "C:\\work\\game.tap", "C:\\work\\GAME.TAP"},
        {"UPPER", "C:\\my.dir\\game", "C:\\my.dir\\GAME"},
        {"UPPER", "game.", "GAME."},
        {"UPPER", "C:gioco.t\xE0p", "C:GIOCO.T\xE0P"},  // ASCII letters only
        {"upper", "\\tmp\\x\\a.b", "\\tmp\\x\\A.B"},
        {"LOWER", "C:\\Work\\GAME.TAP", "C:\\Work\\game.tap"},
        {"MIXED", "C:\\Work\\Game.Tap", "C:\\Work\\Game.Tap"},
    };
    for (const Case& c : cases) {
        set_setting(kSettingFileCase, c.mode);
        EXPECT_EQ(apply_file_case(c.path), c.stored) << c.mode << " " << c.path;
    }
    clear_settings();
    EXPECT_EQ(apply_file_case("C:\\w\\g.tap"), "C:\\w\\g.tap");  // no setting: as given
}

}  // namespace
}  // namespace runtime
