// The bitmaps and the icon of the resource script are real resources of the Windows
// program, found by name, each of its size.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct Bitmap {
    const wchar_t* name;
    int width, height, bits;
};

TEST(Resources, EachBitmapIsAResourceOfItsSize) {
    for (const Bitmap& b : {Bitmap{L"PRINT", 16, 15, 24}, Bitmap{L"DBCOMBO", 17, 19, 24},
                            Bitmap{L"DBCOMBO2", 17, 19, 24}, Bitmap{L"KELV", 64, 64, 24}}) {
        SCOPED_TRACE(testing::Message() << b.name);
        HRSRC found = FindResourceW(nullptr, b.name, MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr);
        const auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->biWidth, b.width);
        EXPECT_EQ(info->biHeight, b.height);
        EXPECT_EQ(info->biBitCount, b.bits);
    }
    EXPECT_EQ(FindResourceW(nullptr, L"NONE", MAKEINTRESOURCEW(2)), nullptr);
}

TEST(Resources, LogoAndIconLoadByName) {
    const HINSTANCE program = GetModuleHandleW(nullptr);
    HBITMAP logo = LoadBitmapW(program, L"KELV");
    ASSERT_NE(logo, nullptr);
    BITMAP info{};
    GetObjectW(logo, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 64);
    DeleteObject(logo);

    EXPECT_NE(LoadIconW(program, L"ICONA"), nullptr);
    EXPECT_EQ(LoadBitmapW(program, L"NONE"), nullptr);
}

}  // namespace
