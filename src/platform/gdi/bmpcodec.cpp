#include "gdi/bmpcodec.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <limits>

#include "base/bytereader.h"

namespace kolvarin::gdi {

namespace {

constexpr std::uint64_t FileHeaderSize = 14;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;

BmpResult fail(BmpStatus status, std::uint64_t offset, std::string message)
{
    return {status, offset, std::move(message)};
}

struct Header {
    std::uint64_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top-down
    unsigned bitCount = 0;
    std::uint32_t compression = BiRgb;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    std::uint64_t paletteOffset = 0;
    unsigned paletteEntrySize = 4;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataEnd = 0;
};

BmpResult readHeader(std::span<const std::uint8_t> file, Header& h)
{
    const std::uint64_t size = file.size();
    if (size < 2 || file[0] != 'B' || file[1] != 'M')
        return fail(BmpStatus::NotBmp, 0, "no BM signature");
    // The stored file size (offset 2) is ignored: writers often get it wrong,
    // and every range below is checked against the real size instead.
    ByteReader in(file);
    std::uint32_t dataOffset, headerSize;
    if (!(in.Seek(10) && in.U32(dataOffset) && in.U32(headerSize)))
        return fail(BmpStatus::Truncated, 2, "file header runs past the end");
    h.dataOffset = dataOffset;
    h.headerSize = headerSize;
    const std::uint64_t hs = h.headerSize;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124)
        return fail(BmpStatus::Unsupported, FileHeaderSize, "unknown info header size");
    if (FileHeaderSize + hs > size)
        return fail(BmpStatus::Truncated, FileHeaderSize, "info header runs past the end");
    const std::uint64_t at = FileHeaderSize;
    std::uint16_t planes, bitCount;
    if (hs == 12) {
        std::uint16_t width, height;
        if (!(in.U16(width) && in.U16(height) && in.U16(planes) && in.U16(bitCount)))
            return fail(BmpStatus::Truncated, FileHeaderSize, "info header runs past the end");
        h.width = width;
        h.height = height;
        h.paletteEntrySize = 3;
    } else {
        std::int32_t width, height;
        if (!(in.I32(width) && in.I32(height) && in.U16(planes) && in.U16(bitCount) && in.U32(h.compression) &&
              in.U32(h.sizeImage) && in.Skip(8) && in.U32(h.colorsUsed)))
            return fail(BmpStatus::Truncated, FileHeaderSize, "info header runs past the end");
        h.width = width;
        h.height = height;
    }
    h.bitCount = bitCount;
    if (planes != 1)
        return fail(BmpStatus::BadHeader, at + (hs == 12 ? 8 : 12), "plane count is not 1");
    if (h.width <= 0 || h.height == 0)
        return fail(BmpStatus::BadHeader, at + 4, "empty or negative size");
    const std::int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width > Bitmap::MaxSide || rows > Bitmap::MaxSide || h.width * rows > Bitmap::MaxPixels)
        return fail(BmpStatus::TooLarge, at + 4, "bitmap too large");
    const unsigned b = h.bitCount;
    if (b != 1 && b != 4 && b != 8 && b != 24 && b != 32)
        return fail(BmpStatus::Unsupported, at + (hs == 12 ? 10 : 14), "unsupported bits per pixel");

    std::uint64_t afterHeader = FileHeaderSize + hs;
    switch (h.compression) {
    case BiRgb: break;
    case BiRle8:
    case BiRle4:
        if (b != (h.compression == BiRle8 ? 8u : 4u))
            return fail(BmpStatus::BadHeader, at + 16, "run-length coding does not match the bits per pixel");
        if (h.height < 0)
            return fail(BmpStatus::BadHeader, at + 8, "run-length coded bitmaps cannot be top-down");
        break;
    case BiBitfields: {
        if (b != 32)
            return fail(BmpStatus::Unsupported, at + 16, "bit fields other than 32 bits");
        // The three masks follow a plain info header, or sit inside a larger one.
        std::uint64_t masks = hs == 40 ? afterHeader : at + 40;
        if (hs == 40)
            afterHeader += 12;
        std::uint32_t red, green, blue;
        if (!(in.Seek(masks) && in.U32(red) && in.U32(green) && in.U32(blue)))
            return fail(BmpStatus::Truncated, masks, "colour masks run past the end");
        if (red != 0xFF0000 || green != 0xFF00 || blue != 0xFF)
            return fail(BmpStatus::Unsupported, masks, "colour masks other than 8 bits each");
        break;
    }
    default: return fail(BmpStatus::Unsupported, at + 16, "unsupported compression");
    }

    h.paletteOffset = afterHeader;
    std::uint64_t paletteEnd = afterHeader;
    if (b <= 8) {
        const std::uint64_t maxColors = std::uint64_t(1) << b;
        if (h.colorsUsed > maxColors)
            return fail(BmpStatus::BadHeader, at + 32, "more colours than the bits per pixel allow");
        const std::uint64_t colors = h.colorsUsed ? h.colorsUsed : maxColors;
        paletteEnd += colors * h.paletteEntrySize;
        if (paletteEnd > size)
            return fail(BmpStatus::Truncated, afterHeader, "palette runs past the end");
        h.colorsUsed = std::uint32_t(colors);
    }
    if (h.dataOffset < paletteEnd || h.dataOffset > size)
        return fail(BmpStatus::BadHeader, 10, "pixel data offset outside the file");
    // The data's extent is checked here, before the pixels are allocated.
    h.dataEnd = size;
    if (h.compression == BiRle8 || h.compression == BiRle4) {
        if (h.sizeImage != 0 && h.dataOffset + h.sizeImage > size)
            return fail(BmpStatus::Truncated, at + 20, "image size runs past the end");
        if (h.sizeImage != 0)
            h.dataEnd = h.dataOffset + h.sizeImage;
    } else {
        const std::uint64_t bits = std::uint64_t(h.width) * b;
        const std::uint64_t stride = (bits + 31) / 32 * 4;
        if (h.dataOffset + stride * std::uint64_t(rows - 1) + (bits + 7) / 8 > size)
            return fail(BmpStatus::Truncated, h.dataOffset, "pixel data runs past the end");
    }
    return {};
}

using Palette = std::array<Color, 256>;

Palette readPalette(std::span<const std::uint8_t> file, const Header& h)
{
    Palette palette{}; // indices past the stored colours show black
    if (h.bitCount > 8)
        return palette;
    for (std::uint32_t i = 0; i < h.colorsUsed; ++i) {
        std::uint64_t e = h.paletteOffset + std::uint64_t(i) * h.paletteEntrySize;
        palette[i] = RGB(file[e + 2], file[e + 1], file[e]);
    }
    return palette;
}

void readUncompressed(std::span<const std::uint8_t> file, const Header& h, const Palette& palette, Bitmap& bmp)
{
    const std::uint64_t width = std::uint64_t(h.width);
    const std::uint64_t rows = std::uint64_t(bmp.height());
    const std::uint64_t stride = (width * h.bitCount + 31) / 32 * 4;
    for (std::uint64_t r = 0; r < rows; ++r) {
        const std::uint8_t* src = file.data() + h.dataOffset + r * stride;
        int y = int(h.height < 0 ? r : rows - 1 - r);
        std::uint8_t* dst = bmp.scanLine(y);
        switch (h.bitCount) {
        case 24: std::copy(src, src + width * 3, dst); break;
        case 32:
            for (std::uint64_t x = 0; x < width; ++x) {
                dst[x * 4] = src[x * 4];
                dst[x * 4 + 1] = src[x * 4 + 1];
                dst[x * 4 + 2] = src[x * 4 + 2];
            }
            break;
        default: {
            const unsigned bits = h.bitCount;
            const unsigned perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1;
            for (std::uint64_t x = 0; x < width; ++x) {
                unsigned shift = 8 - bits * unsigned(x % perByte + 1);
                unsigned index = (src[x / perByte] >> shift) & mask;
                bmp.setPixel(int(x), y, palette[index]);
            }
        }
        }
    }
}

BmpResult readRunLength(std::span<const std::uint8_t> file, const Header& h, const Palette& palette, Bitmap& bmp)
{
    const bool rle4 = h.compression == BiRle4;
    const std::int64_t width = bmp.width();
    const std::int64_t height = bmp.height();
    std::int64_t x = 0;
    std::int64_t row = 0; // counted from the bottom
    auto put = [&](unsigned index) {
        if (x < width && row < height)
            bmp.setPixel(int(x), int(height - 1 - row), palette[index]);
        ++x;
    };
    ByteReader in(file.data(), h.dataEnd);
    in.Seek(h.dataOffset);
    std::span<const std::uint8_t> two;
    while (row < height) {
        if (!in.View(2, two))
            return fail(BmpStatus::Truncated, in.Position(), "run-length data ends without an end mark");
        const unsigned count = two[0];
        const unsigned value = two[1];
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(rle4 ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            if (!in.View(2, two))
                return fail(BmpStatus::Truncated, in.Position(), "run-length move runs past the end");
            x += two[0];
            row += two[1];
        } else { // literal pixels, padded to an even byte count
            const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
            std::span<const std::uint8_t> literal;
            if (!in.View(bytes, literal))
                return fail(BmpStatus::Truncated, in.Position(), "run-length literal runs past the end");
            for (unsigned i = 0; i < value; ++i) {
                unsigned byte = literal[rle4 ? i / 2 : i];
                put(rle4 ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte);
            }
            in.Skip(std::min(bytes % 2, in.Remaining()));
        }
    }
    return {};
}

} // namespace

BmpResult ReadBmp(std::span<const std::uint8_t> file, Bitmap& out)
{
    Header h;
    if (auto r = readHeader(file, h); !r)
        return r;
    Bitmap bmp(int(h.width), int(h.height < 0 ? -h.height : h.height),
               h.bitCount == 32 ? PixelFormat::Bits32 : PixelFormat::Bits24);
    const Palette palette = readPalette(file, h);
    if (h.compression == BiRle8 || h.compression == BiRle4) {
        if (BmpResult r = readRunLength(file, h, palette, bmp); !r)
            return r;
    } else {
        readUncompressed(file, h, palette, bmp);
    }
    out = std::move(bmp);
    return {};
}

BmpResult LoadBmpFile(const std::string& path, Bitmap& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(BmpStatus::CannotOpen, 0, "cannot open \"" + path + "\"");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return fail(BmpStatus::CannotOpen, 0, "cannot read \"" + path + "\"");
    return ReadBmp(bytes, out);
}

std::vector<std::uint8_t> EncodeBmp24(const Bitmap& bitmap)
{
    const std::uint32_t stride = std::uint32_t((bitmap.width() * 3 + 3) & ~3);
    const std::uint32_t imageSize = stride * std::uint32_t(bitmap.height());
    const std::uint32_t offset = FileHeaderSize + 40;
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    ByteWriter head(out);
    head.U8('B');
    head.U8('M');
    head.U32(offset + imageSize);
    head.U32(0); // reserved
    head.U32(offset);
    head.U32(40);
    head.U32(std::uint32_t(bitmap.width()));
    head.U32(std::uint32_t(bitmap.height()));
    head.U16(1); // planes
    head.U16(24); // bits per pixel
    head.U32(BiRgb);
    head.U32(imageSize);
    head.U32(0); // horizontal resolution
    head.U32(0); // vertical resolution
    head.U32(0); // colours used
    head.U32(0); // important colours
    for (int y = bitmap.height() - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            Color c = bitmap.pixel(x, y);
            out.push_back(GetBValue(c));
            out.push_back(GetGValue(c));
            out.push_back(GetRValue(c));
        }
        for (int pad = bitmap.width() * 3; pad % 4 != 0; ++pad)
            out.push_back(0);
    }
    return out;
}

BmpResult SaveBmpFile(const std::string& path, const Bitmap& bitmap)
{
    const std::vector<std::uint8_t> bytes = EncodeBmp24(bitmap);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out)
        return fail(BmpStatus::WriteFailed, 0, "cannot write \"" + path + "\"");
    return {};
}

} // namespace kolvarin::gdi
