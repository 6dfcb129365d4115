#include "gdi/bitmap.h"

#include <stdexcept>

#include <gtest/gtest.h>

using namespace kolvarin::gdi;

TEST(Bitmap, PixelsReadBackExactlyInBothFormats)
{
    for (PixelFormat format : {PixelFormat::Bits24, PixelFormat::Bits32}) {
        Bitmap bmp(5, 3, format);
        EXPECT_EQ(bmp.pixel(4, 2), RGB(0, 0, 0));
        bmp.setPixel(4, 2, RGB(1, 2, 3));
        bmp.setPixel(0, 0, 0xAB123456); // the top byte is not stored
        EXPECT_EQ(bmp.pixel(4, 2), RGB(1, 2, 3));
        EXPECT_EQ(bmp.pixel(0, 0), 0x123456u);
        EXPECT_EQ(bmp.bytesPerLine() % 4, 0);
    }
}

TEST(Bitmap, ResizeKeepsTheOverlapAndBlackensTheRest)
{
    Bitmap bmp(2, 2);
    bmp.setPixel(1, 1, RGB(9, 9, 9));
    bmp.setSize(3, 4);
    EXPECT_EQ(bmp.pixel(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(bmp.pixel(2, 3), RGB(0, 0, 0));
    bmp.setSize(1, 1);
    bmp.setSize(2, 2);
    EXPECT_EQ(bmp.pixel(1, 1), RGB(0, 0, 0));
    bmp.setSize(-4, 3);
    EXPECT_TRUE(bmp.empty());
}

TEST(Bitmap, FormatChangeKeepsColours)
{
    Bitmap bmp(3, 1, PixelFormat::Bits32);
    bmp.setPixel(2, 0, RGB(10, 20, 30));
    bmp.setPixelFormat(PixelFormat::Bits24);
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Bits24);
    EXPECT_EQ(bmp.pixel(2, 0), RGB(10, 20, 30));
    EXPECT_EQ(bmp.bytesPerLine(), 12);
}

TEST(Bitmap, OversizedRequestThrowsAndKeepsTheBitmap)
{
    Bitmap bmp(2, 2);
    EXPECT_THROW(bmp.setSize(Bitmap::MaxSide + 1, 1), std::length_error);
    EXPECT_THROW(bmp.setSize(20000, 20000), std::length_error);
    EXPECT_EQ(bmp.width(), 2);
    EXPECT_EQ(bmp.height(), 2);
}
