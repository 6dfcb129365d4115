#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "core/desktop/kwindowicon.h"
#include "core/system/kprogramicon.h"

namespace kolvarin {
namespace {

// Every size comes from its own compiled-in picture (a missing resource would
// leave the icon empty or scaled from another size), drawn in the skin's
// colours: the graphite body in the corner's inside, the accent in the glyph.
// The windows' icon holds the sizes up to 64.
TEST(ProgramIconTest, EverySizeIsItsOwnPictureInTheSkinColours)
{
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    for (int size : kProgramIconSizes) {
        EXPECT_EQ(sizes.contains(QSize(size, size)), size <= 64) << size;
        const QImage image(QString::fromStdString(kProgramIconResources + ProgramIconFile(size)));
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_EQ(image.pixelColor(size / 8, size / 2), QColor(0x1D, 0x20, 0x26)) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size / 2), QColor(0x4C, 0xC2, 0xFF)) << size;
    }
}

} // namespace
} // namespace kolvarin
