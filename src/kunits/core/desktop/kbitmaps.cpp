#include "core/desktop/kbitmaps.h"

#include <algorithm>
#include <cmath>

namespace kolvarin {

using gdi::Bitmap;
using gdi::Canvas;
using gdi::Color;

void BlitBitmap(const Bitmap& source, Bitmap& dest) { BlitBitmapAt(source, dest, 0, 0); }

void BlitBitmapAt(const Bitmap& source, Bitmap& dest, int x, int y)
{
    Canvas(dest).bitBlt(x, y, source.width(), source.height(), source, 0, 0);
}

void BlitBitmapAtOrigin(const Bitmap& source, Bitmap& dest, int sourceX, int sourceY)
{
    Canvas(dest).bitBlt(0, 0, dest.width(), dest.height(), source, sourceX, sourceY);
}

void BlitBitmapRect(const Bitmap& source, Bitmap& dest, const gdi::Rect& rect)
{
    Canvas(dest).bitBlt(rect.left, rect.top, rect.width(), rect.height(), source, rect.left, rect.top);
}

void CutBitmapRect(const Bitmap& source, Bitmap& dest, int left, int top, int width, int height)
{
    dest.setSize(width, height);
    BlitBitmapAtOrigin(source, dest, left, top);
}

void TileBitmap(const Bitmap& source, Bitmap& dest, const gdi::Rect& rect)
{
    if (source.empty())
        return;
    for (int y = rect.top; y < rect.bottom; y += source.height())
        for (int x = rect.left; x < rect.right; x += source.width())
            BlitBitmapAt(source, dest, x, y);
}

bool BitmapHasColor(const Bitmap& bitmap, Color color)
{
    color = gdi::ColorRGB(color);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if (bitmap.pixel(x, y) == color)
                return true;
    return false;
}

gdi::Region CreateRegionFromBitmap(Bitmap& bitmap, Color transparentColor)
{
    bitmap.setPixelFormat(gdi::PixelFormat::Bits24);
    transparentColor = gdi::ColorRGB(transparentColor);
    // Same pixels as the whole rectangle minus every transparent run, built
    // from the opaque runs directly.
    gdi::RegionBuilder builder;
    for (int y = 0; y < bitmap.height(); ++y) {
        int x = 0;
        while (x < bitmap.width()) {
            while (x < bitmap.width() && bitmap.pixel(x, y) == transparentColor)
                ++x;
            const int start = x;
            while (x < bitmap.width() && bitmap.pixel(x, y) != transparentColor)
                ++x;
            builder.addSpan(y, start, x);
        }
    }
    return builder.take();
}

void ColorizeBitmap(Bitmap& bitmap, Color color, int amount, Color transparentColor)
{
    bitmap.setPixelFormat(gdi::PixelFormat::Bits24);
    transparentColor = gdi::ColorRGB(transparentColor);
    amount = std::clamp(amount, 0, 255);
    // Without tint every pixel keeps its value; skip the pass.
    if (amount == 0)
        return;
    const double weight = amount / 255.0;
    const double keep = (255 - amount) / 255.0;
    const int tint[3] = {gdi::GetRValue(color), gdi::GetGValue(color), gdi::GetBValue(color)};
    const double tintBrightness = (tint[0] + tint[1] + tint[2]) / 3.0;
    // Rounding is to the nearest integer, halves to even.
    auto round = [](double v) { return int(std::nearbyint(v)); };
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const Color c = bitmap.pixel(x, y);
            if (c == transparentColor)
                continue;
            const int old[3] = {gdi::GetRValue(c), gdi::GetGValue(c), gdi::GetBValue(c)};
            const int d = round((old[0] + old[1] + old[2]) / 3.0 - tintBrightness);
            int out[3];
            for (int i = 0; i < 3; ++i)
                out[i] = std::clamp(round(weight * (tint[i] + d) + keep * old[i]), 0, 255);
            bitmap.setPixel(x, y, gdi::RGB(std::uint8_t(out[0]), std::uint8_t(out[1]), std::uint8_t(out[2])));
        }
    }
}

gdi::Size GetAverageCharWidth(const Canvas& canvas)
{
    return canvas.textExtent(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

} // namespace kolvarin
