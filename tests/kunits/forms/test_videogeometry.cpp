#include "forms/videogeometry.h"

#include <gtest/gtest.h>

using namespace kolvarin;

TEST(VideoGeometry, WindowZoomMultipliesBeforeItDivides)
{
    struct Case {
        QSize video;
        int percent;
        QSize client;
    } cases[] = {
        {{720, 576}, 100, {720, 576}}, // was 700 x 500
        {{720, 576}, 25, {180, 144}},  {{640, 360}, 175, {1120, 630}},
        {{321, 241}, 50, {160, 120}},  {{1920, 1080}, 200, {3840, 2160}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowZoomSize(c.video, c.percent), c.client) << c.video.width() << " at " << c.percent;
}

TEST(VideoGeometry, AspectRatioRectangles)
{
    const QRect display(0, 0, 800, 600);
    const QSize pal(720, 576);
    struct Case {
        uint8_t mode;
        QRect display;
        QSize video;
        float userX, userY;
        QRect expected;
    } cases[] = {
        {rm169, display, pal, 0, 0, {0, 75, 800, 450}}, // a full-width band, centred
        {rmStretched, display, pal, 0, 0, display},
        {rmCrop, display, pal, 0, 0, display},
        {rmLetterbox, {0, 0, 1000, 500}, pal, 0, 0, {187, 0, 625, 500}},
        {rm43, {0, 0, 1000, 500}, pal, 0, 0, {167, 0, 666, 500}},
        {rm2351, display, pal, 0, 0, {0, 130, 800, 340}},
        {rmUserdef, display, pal, 2.4f, 1.2f, {0, 100, 800, 400}}, // rounded to 2:1
        // A user ratio of 0 would divide by zero: the video's own shape.
        {rmUserdef, {0, 0, 1000, 500}, pal, 0, 0, {187, 0, 625, 500}},
        {rmUserdef, {0, 0, 1000, 500}, pal, 16, 0, {187, 0, 625, 500}},
        {rm169, {100, 50, 800, 600}, pal, 0, 0, {100, 125, 800, 450}},
    };
    for (const auto& c : cases) {
        const auto r = AspectRatioRect(c.mode, c.display, c.video, c.userX, c.userY);
        ASSERT_TRUE(r) << int(c.mode);
        EXPECT_EQ(*r, c.expected) << "mode " << int(c.mode) << " user " << c.userX << ":" << c.userY;
    }
    EXPECT_FALSE(AspectRatioRect(rm169, display, {0, 576}, 0, 0));
    EXPECT_FALSE(AspectRatioRect(rmStretched, display, {720, 0}, 0, 0));
}

TEST(VideoGeometry, OnScreenTextSizeAndPlace)
{
    EXPECT_EQ(OSDFontSize(600, 20), 20);
    EXPECT_EQ(OSDFontSize(600, 0), 12);
    // 50 and above would divide by zero or turn the size negative.
    EXPECT_EQ(OSDFontSize(600, 49), 600);
    EXPECT_EQ(OSDFontSize(600, 50), 600);
    EXPECT_EQ(OSDFontSize(600, 80), 600);

    const QSize area(401, 301), text(100, 21);
    const QPoint expected[] = {{0, 0},     {150, 0}, {301, 0},   {0, 140},  {150, 140},
                               {301, 140}, {0, 280}, {150, 280}, {301, 280}};
    for (uint8_t position = 0; position < 9; ++position)
        EXPECT_EQ(OSDTextPoint(position, area, text), expected[position]) << int(position);
    EXPECT_EQ(OSDTextPoint(9, area, text), QPoint(0, 0));
}
