#include "forms/videoosd.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace kolvarin;

TEST(VideoOSD, TextSitsByPositionInItsColourAndAnEmptyTextHides)
{
    QWidget owner;
    owner.resize(400, 300);
    TKVideoOSD osd(&owner);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    const QRect area(20, 10, 360, 280);
    osd.ShowText(u"Fullscreen mode", font, Qt::yellow, Qt::black, area, 8);
    ASSERT_TRUE(osd.isVisibleTo(&owner));
    EXPECT_EQ(osd.geometry().bottomRight(), area.bottomRight()) << "flush with the bottom-right corner";
    osd.ShowText(u"Fullscreen mode", font, Qt::yellow, Qt::black, area, 4);
    EXPECT_EQ(osd.geometry().center().x(), area.center().x());

    const QImage image = osd.grab().toImage();
    int yellow = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            yellow += image.pixelColor(x, y) == QColor(Qt::yellow);
    EXPECT_GT(yellow, 20) << "the text is drawn in its colour";
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));

    osd.ShowText({}, font, Qt::yellow, Qt::black, area, 4);
    EXPECT_FALSE(osd.isVisibleTo(&owner));
}
