#include "gdi/bitmap.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kolvarin::gdi {

namespace {

void checkSize(int width, int height)
{
    if (width > Bitmap::MaxSide || height > Bitmap::MaxSide || std::int64_t(width) * height > Bitmap::MaxPixels)
        throw std::length_error("bitmap too large");
}

} // namespace

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) { setSize(width, height); }

int Bitmap::strideFor(int width, PixelFormat format)
{
    int bytes = width * (format == PixelFormat::Bits24 ? 3 : 4);
    return (bytes + 3) & ~3;
}

void Bitmap::setSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    checkSize(width, height);
    Bitmap next;
    next.format_ = format_;
    next.width_ = width;
    next.height_ = height;
    next.stride_ = strideFor(width, format_);
    next.data_.assign(std::size_t(next.stride_) * std::size_t(height), 0);
    if (format_ == PixelFormat::Bits32) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                next.scanLine(y)[x * 4 + 3] = 0xFF;
    }
    int keepBytes = std::min(width, width_) * bytesPerPixel();
    for (int y = 0; keepBytes > 0 && y < std::min(height, height_); ++y)
        std::memcpy(next.scanLine(y), scanLine(y), std::size_t(keepBytes));
    width_ = width;
    height_ = height;
    stride_ = next.stride_;
    data_ = std::move(next.data_);
}

void Bitmap::setPixelFormat(PixelFormat format)
{
    if (format == format_)
        return;
    Bitmap next(width_, height_, format);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            next.setPixel(x, y, pixel(x, y));
    format_ = format;
    stride_ = next.stride_;
    data_ = std::move(next.data_);
}

Color Bitmap::pixel(int x, int y) const
{
    const std::uint8_t* p = scanLine(y) + std::size_t(x) * std::size_t(bytesPerPixel());
    return RGB(p[2], p[1], p[0]);
}

void Bitmap::setPixel(int x, int y, Color color)
{
    std::uint8_t* p = scanLine(y) + std::size_t(x) * std::size_t(bytesPerPixel());
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

bool operator==(const Bitmap& a, const Bitmap& b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_)
        return false;
    for (int y = 0; y < a.height_; ++y)
        for (int x = 0; x < a.width_; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

} // namespace kolvarin::gdi
