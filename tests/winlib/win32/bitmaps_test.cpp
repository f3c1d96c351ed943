// The bitmaps of the resource script, as the Win32 driver loads them: each is a real
// resource of the program, of its size and 24 bits deep.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct Bitmap {
    const wchar_t* name;
    int width, height;
};

TEST(Bitmaps, EachIsAResourceOfItsSize) {
    for (const Bitmap& b :
         {Bitmap{L"PRINT", 16, 15}, Bitmap{L"DBCOMBO", 17, 19}, Bitmap{L"DBCOMBO2", 17, 19}}) {
        HRSRC found = FindResourceW(nullptr, b.name, MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr);
        const auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->biWidth, b.width);
        EXPECT_EQ(info->biHeight, b.height);
        EXPECT_EQ(info->biBitCount, 24);
    }
    EXPECT_EQ(FindResourceW(nullptr, L"NONE", MAKEINTRESOURCEW(2)), nullptr);
}

}  // namespace
