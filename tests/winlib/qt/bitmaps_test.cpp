// The bitmaps of the resource script, as the Qt driver reads them: each decodes to an
// image of its size.
#include "resources/bitmaps.h"

#include <QImage>

#include "robot.h"

namespace {

struct Bitmap {
    const char* name;
    int width, height;
};

TEST(Bitmaps, EachResourceDecodesToItsSize) {
    for (const Bitmap& b :
         {Bitmap{"PRINT", 16, 15}, Bitmap{"DBCOMBO", 17, 19}, Bitmap{"DBCOMBO2", 17, 19}}) {
        const std::string_view bytes = resources::bitmap(b.name);
        QImage image;
        ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                       static_cast<int>(bytes.size()), "BMP"))
            << b.name;
        EXPECT_EQ(image.width(), b.width) << b.name;
        EXPECT_EQ(image.height(), b.height) << b.name;
    }
    EXPECT_TRUE(resources::bitmap("NONE").empty());
}

}  // namespace
