#pragma once

// Helpers shared by the skin engine's tests.

#include <string>

#include "core/stream/lumostream.h"
#include "gdi/bitmap.h"
#include "gdi/bmpcodec.h"
#include "skin/kgui.h"

namespace ktest {

// A pixel that tells where it lies: red and green the low bytes of x and y,
// blue their high nibbles. Never the transparent colours the tests use.
inline kolvarin::gdi::Color PositionColor(int x, int y)
{
    return kolvarin::gdi::RGB(static_cast<uint8_t>(x & 0xFF), static_cast<uint8_t>(y & 0xFF),
                              static_cast<uint8_t>(((x >> 8) & 0x0F) | ((y >> 8) << 4)));
}

inline kolvarin::gdi::Bitmap PositionBitmap(int width, int height)
{
    kolvarin::gdi::Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, PositionColor(x, y));
    return bitmap;
}

inline std::string BmpBytes(const kolvarin::gdi::Bitmap& bitmap)
{
    const auto bytes = kolvarin::gdi::EncodeBmp24(bitmap);
    return std::string(bytes.begin(), bytes.end());
}

// True when every pixel of the image is the position colour of
// (left + x, top + y).
inline ::testing::AssertionResult CutFrom(const kolvarin::gdi::Bitmap& image, int left, int top, int width, int height)
{
    if (image.width() != width || image.height() != height)
        return ::testing::AssertionFailure()
               << "size " << image.width() << "x" << image.height() << ", want " << width << "x" << height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (image.pixel(x, y) != PositionColor(left + x, top + y))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " not from " << left + x << "," << top + y;
    return ::testing::AssertionSuccess();
}

inline kolvarin::TLumoStream& StreamOf(kolvarin::TLumoStream& stream, const std::string& text)
{
    stream.Clear();
    stream.Write(text.data(), static_cast<int32_t>(text.size()));
    stream.Seek(0);
    return stream;
}

} // namespace ktest
