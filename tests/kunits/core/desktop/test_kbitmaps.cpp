#include "core/desktop/kbitmaps.h"

#include <random>

#include <gtest/gtest.h>

using namespace kolvarin;
using gdi::Bitmap;
using gdi::Color;
using gdi::Rect;
using gdi::RGB;

namespace {

const Color Green = RGB(0, 255, 0);

// Every pixel a different colour, so a copy shows where it came from.
Bitmap numbered(int w, int h)
{
    Bitmap bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.setPixel(x, y, RGB(std::uint8_t(x), std::uint8_t(y), 100));
    return bmp;
}

Bitmap plain(int w, int h, Color c)
{
    Bitmap bmp(w, h);
    gdi::Canvas canvas(bmp);
    canvas.brush.color = c;
    canvas.fillRect({0, 0, w, h});
    return bmp;
}

} // namespace

TEST(KBitmaps, BlitVariantsCopyTheRightPixelsToTheRightPlace)
{
    const Bitmap source = numbered(4, 4);
    const Color white = RGB(255, 255, 255);
    struct Case {
        const char* name;
        void (*blit)(const Bitmap&, Bitmap&);
        int destX, destY; // a destination pixel that must be covered
        int sourceX, sourceY; // the source pixel expected there
        int untouchedX, untouchedY;
    };
    const Case cases[] = {
        {"whole", [](const Bitmap& s, Bitmap& d) { BlitBitmap(s, d); }, 3, 3, 3, 3, 4, 0},
        {"at", [](const Bitmap& s, Bitmap& d) { BlitBitmapAt(s, d, 2, 1); }, 5, 4, 3, 3, 1, 1},
        {"at origin", [](const Bitmap& s, Bitmap& d) { BlitBitmapAtOrigin(s, d, 1, 2); }, 2, 1, 3, 3, 3, 2},
        {"rect",
         [](const Bitmap& s, Bitmap& d) {
             BlitBitmapRect(s, d, {1, 1, 3, 2});
         },
         2, 1, 2, 1, 1, 2},
    };
    for (const Case& c : cases) {
        Bitmap dest = plain(6, 5, white);
        c.blit(source, dest);
        EXPECT_EQ(dest.pixel(c.destX, c.destY), source.pixel(c.sourceX, c.sourceY)) << c.name;
        EXPECT_EQ(dest.pixel(c.untouchedX, c.untouchedY), white) << c.name;
    }
}

TEST(KBitmaps, CutSizesTheDestinationAndCopiesTheSkinPart)
{
    const Bitmap skin = numbered(10, 10);
    Bitmap part;
    CutBitmapRect(skin, part, 3, 4, 2, 5);
    ASSERT_EQ(part.width(), 2);
    ASSERT_EQ(part.height(), 5);
    EXPECT_EQ(part.pixel(0, 0), skin.pixel(3, 4));
    EXPECT_EQ(part.pixel(1, 4), skin.pixel(4, 8));
}

TEST(KBitmaps, TilesStartAtTheRectangleAndRunPastItsEnd)
{
    const Bitmap tile = numbered(3, 2);
    Bitmap dest = plain(10, 6, RGB(255, 255, 255));
    TileBitmap(tile, dest, {1, 1, 5, 3});
    // Columns 1-3 and 4-6 hold whole tiles; the second one passes the right edge.
    EXPECT_EQ(dest.pixel(1, 1), tile.pixel(0, 0));
    EXPECT_EQ(dest.pixel(4, 2), tile.pixel(0, 1));
    EXPECT_EQ(dest.pixel(6, 2), tile.pixel(2, 1));
    EXPECT_EQ(dest.pixel(7, 1), RGB(255, 255, 255));
    EXPECT_EQ(dest.pixel(1, 3), RGB(255, 255, 255));
    TileBitmap(Bitmap(), dest, {0, 0, 10, 6}); // an empty tile draws nothing
}

TEST(KBitmaps, HasColorLooksAtEveryPixel)
{
    Bitmap bmp = plain(5, 5, RGB(1, 1, 1));
    EXPECT_FALSE(BitmapHasColor(bmp, Green));
    bmp.setPixel(4, 4, Green);
    EXPECT_TRUE(BitmapHasColor(bmp, Green));
    EXPECT_TRUE(BitmapHasColor(bmp, 0xFF000000 | Green));
}

TEST(KBitmaps, RegionFromBitmapLeavesOutExactlyTheTransparentPixels)
{
    std::mt19937 rng(3);
    Bitmap bmp(37, 23, gdi::PixelFormat::Bits32);
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            bmp.setPixel(x, y, rng() % 3 == 0 ? Green : RGB(0, 254, 0));
    gdi::Region region = CreateRegionFromBitmap(bmp, Green);
    EXPECT_EQ(bmp.pixelFormat(), gdi::PixelFormat::Bits24);

    // The same pixels as the whole rectangle minus each transparent run.
    gdi::Region expected(Rect{0, 0, bmp.width(), bmp.height()});
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            if (bmp.pixel(x, y) == Green)
                expected.subtract(gdi::Region(Rect{x, y, x + 1, y + 1}));
    EXPECT_EQ(region, expected);

    Bitmap shape = plain(4, 3, RGB(9, 9, 9));
    shape.setPixel(0, 0, Green);
    shape.setPixel(3, 2, Green);
    EXPECT_EQ(CreateRegionFromBitmap(shape, Green).rects(),
              (std::vector<Rect>{{1, 0, 4, 1}, {0, 1, 4, 2}, {0, 2, 3, 3}}));
    Bitmap clear = plain(4, 3, Green);
    EXPECT_TRUE(CreateRegionFromBitmap(clear, Green).isEmpty());
}

TEST(KBitmaps, ColorizeTintsByBrightnessWithRoundingAndClamping)
{
    struct Case {
        Color pixel, tint;
        int amount;
        Color expected;
    };
    const Case cases[] = {
        // d = round(20 - 100) = -80; red 128/255*120 + 127/255*10 = 65.2; blue below 0.
        {RGB(10, 20, 30), RGB(200, 100, 0), 128, RGB(65, 20, 0)},
        // d = 165; blue 255 + 165 is clamped.
        {RGB(250, 250, 250), RGB(0, 0, 255), 255, RGB(165, 165, 255)},
        // Brightness 1/3 rounds to 0, 2/3 to 1.
        {RGB(1, 0, 0), RGB(0, 0, 0), 255, RGB(0, 0, 0)},
        {RGB(2, 0, 0), RGB(0, 0, 0), 255, RGB(1, 1, 1)},
        // Amount is clamped to 0..255.
        {RGB(2, 0, 0), RGB(0, 0, 0), 999, RGB(1, 1, 1)},
        {RGB(10, 20, 30), RGB(200, 100, 0), 0, RGB(10, 20, 30)},
        {RGB(10, 20, 30), RGB(200, 100, 0), -5, RGB(10, 20, 30)},
        // The transparent colour is never tinted.
        {Green, RGB(255, 0, 0), 255, Green},
    };
    for (const Case& c : cases) {
        Bitmap bmp(1, 1, gdi::PixelFormat::Bits32);
        bmp.setPixel(0, 0, c.pixel);
        ColorizeBitmap(bmp, c.tint, c.amount, Green);
        EXPECT_EQ(bmp.pixel(0, 0), c.expected) << std::hex << c.pixel << " " << c.tint << " " << std::dec << c.amount;
        EXPECT_EQ(bmp.pixelFormat(), gdi::PixelFormat::Bits24);
    }
}

TEST(KBitmaps, AverageCharWidthMeasuresTheAlphabet)
{
    Bitmap bmp(1, 1);
    gdi::Canvas canvas(bmp);
    gdi::Size size = GetAverageCharWidth(canvas);
    EXPECT_EQ(size, canvas.textExtent(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_GT(size.cx, 52 * 3);
    EXPECT_GT(size.cy, 0);
}
