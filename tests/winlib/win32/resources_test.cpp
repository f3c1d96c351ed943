// The bitmaps and the icon are real resources of the Windows program, found by name.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(Resources, LogoAndIconLoadByName) {
    const HINSTANCE program = GetModuleHandleW(nullptr);
    HBITMAP logo = LoadBitmapW(program, L"KELV");
    ASSERT_NE(logo, nullptr);
    BITMAP info{};
    GetObjectW(logo, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 64);
    DeleteObject(logo);

    HICON icon = LoadIconW(program, L"ICONA");
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(LoadBitmapW(program, L"NONE"), nullptr);
}

}  // namespace
