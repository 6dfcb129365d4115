#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "core/desktop/kwindowicon.h"

namespace kolvarin {
namespace {

// Every size comes from its own compiled-in picture (a missing resource would
// leave the icon empty or scaled from another size), drawn in the skin's
// colours: the graphite body in the corner's inside, the accent in the glyph.
TEST(ProgramIconTest, EverySizeIsItsOwnPictureInTheSkinColours)
{
    const QIcon icon = ProgramIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_EQ(image.pixelColor(size / 8, size / 2), QColor(0x1D, 0x20, 0x26)) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size / 2), QColor(0x4C, 0xC2, 0xFF)) << size;
    }
}

} // namespace
} // namespace kolvarin
