#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gdi/color.h"

namespace kolvarin::gdi {

enum class PixelFormat {
    Bits24, // bytes blue, green, red
    Bits32, // bytes blue, green, red, and a fourth byte kept at 0xFF
};

// A pixel buffer of our own: rows top-down, each row padded to a multiple of
// four bytes. Pixels are exact: what is set is read back unchanged.
// A bitmap owns its pixels; copies are deep. Not thread-safe: one thread at a
// time, usually the main thread.
class Bitmap {
public:
    // Largest side accepted; larger sizes throw std::length_error, so a size
    // taken from a file cannot exhaust memory.
    static constexpr int MaxSide = 32768;
    static constexpr std::int64_t MaxPixels = std::int64_t(1) << 26;

    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format = PixelFormat::Bits24);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat pixelFormat() const { return format_; }
    int bytesPerPixel() const { return format_ == PixelFormat::Bits24 ? 3 : 4; }
    int bytesPerLine() const { return stride_; }

    // Changes the size, keeping the pixels that lie inside both sizes; new
    // pixels are black. Negative sides count as 0. Throws std::length_error
    // past the limits above, leaving the bitmap unchanged.
    void setSize(int width, int height);
    // Converts every pixel to the other layout; colours are kept.
    void setPixelFormat(PixelFormat format);

    // Coordinates must lie inside the bitmap.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color color);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    std::uint8_t* scanLine(int y) { return data_.data() + std::size_t(y) * std::size_t(stride_); }
    const std::uint8_t* scanLine(int y) const { return data_.data() + std::size_t(y) * std::size_t(stride_); }
    std::span<std::uint8_t> bits() { return data_; }
    std::span<const std::uint8_t> bits() const { return data_; }

    // Drawing with Canvas::draw skips pixels of the transparent colour when
    // the bitmap is marked transparent (used for skin images).
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }
    Color transparentColor() const { return transparentColor_; }
    void setTransparentColor(Color color) { transparentColor_ = ColorRGB(color); }

    friend bool operator==(const Bitmap& a, const Bitmap& b);

private:
    static int strideFor(int width, PixelFormat format);

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    PixelFormat format_ = PixelFormat::Bits24;
    std::vector<std::uint8_t> data_;
    bool transparent_ = false;
    Color transparentColor_ = 0;
};

} // namespace kolvarin::gdi
