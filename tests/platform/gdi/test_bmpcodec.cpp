#include "gdi/bmpcodec.h"

#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "temphome.h"

using namespace kolvarin::gdi;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<Color> palette;
    Bytes data;
};

void put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A file laid out the way Windows writes one, byte by byte.
Bytes makeBmp(const BmpSpec& s)
{
    const std::size_t entry = s.headerSize == 12 ? 3 : 4;
    const std::size_t offset = 14 + s.headerSize + s.palette.size() * entry;
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(offset + s.data.size()));
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, s.headerSize);
    if (s.headerSize == 12) {
        put16(b, 18, std::uint32_t(s.width));
        put16(b, 20, std::uint32_t(s.height));
        put16(b, 22, 1);
        put16(b, 24, s.bitCount);
    } else {
        put32(b, 18, std::uint32_t(s.width));
        put32(b, 22, std::uint32_t(s.height));
        put16(b, 26, 1);
        put16(b, 28, s.bitCount);
        put32(b, 30, s.compression);
        put32(b, 46, s.colorsUsed);
    }
    for (std::size_t i = 0; i < s.palette.size(); ++i) {
        std::size_t at = 14 + s.headerSize + i * entry;
        b[at] = GetBValue(s.palette[i]);
        b[at + 1] = GetGValue(s.palette[i]);
        b[at + 2] = GetRValue(s.palette[i]);
    }
    b.insert(b.end(), s.data.begin(), s.data.end());
    return b;
}

std::vector<Color> row(const Bitmap& bmp, int y)
{
    std::vector<Color> out;
    for (int x = 0; x < bmp.width(); ++x)
        out.push_back(bmp.pixel(x, y));
    return out;
}

const Color A = RGB(1, 2, 3);
const Color B = RGB(200, 100, 50);
const Color C = RGB(7, 8, 9);
const Color K = RGB(0, 0, 0);

Bitmap read(const Bytes& file)
{
    Bitmap bmp;
    BmpResult r = ReadBmp(file, bmp);
    EXPECT_TRUE(r) << r.message;
    return bmp;
}

} // namespace

TEST(BmpCodec, PaletteFormatsAreExpandedBottomUp)
{
    // 1 bit, 10 wide: two data bytes and two of padding per row.
    BmpSpec mono{
        .width = 10, .height = 2, .bitCount = 1, .palette = {A, B}, .data = {0x80, 0x40, 0, 0, 0xFF, 0xC0, 0, 0}};
    Bitmap bmp = read(makeBmp(mono));
    EXPECT_EQ(row(bmp, 0), std::vector<Color>(10, B));
    EXPECT_EQ(row(bmp, 1), (std::vector<Color>{B, A, A, A, A, A, A, A, A, B}));
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Bits24);

    BmpSpec nibbles{
        .width = 3, .height = 1, .bitCount = 4, .colorsUsed = 4, .palette = {K, A, B, C}, .data = {0x12, 0x30, 0, 0}};
    EXPECT_EQ(row(read(makeBmp(nibbles)), 0), (std::vector<Color>{A, B, C}));

    // Index 5 lies past the three stored colours and shows black.
    BmpSpec bytes{.width = 3, .height = 1, .bitCount = 8, .colorsUsed = 3, .palette = {A, B, C}, .data = {2, 0, 5, 0}};
    EXPECT_EQ(row(read(makeBmp(bytes)), 0), (std::vector<Color>{C, A, K}));

    std::vector<Color> full(256, K);
    full[7] = B;
    BmpSpec core{.headerSize = 12, .width = 1, .height = 1, .bitCount = 8, .palette = full, .data = {7, 0, 0, 0}};
    EXPECT_EQ(read(makeBmp(core)).pixel(0, 0), B);
}

TEST(BmpCodec, TrueColourFilesBottomUpAndTopDown)
{
    BmpSpec bottomUp{.width = 1, .height = 2, .palette = {}, .data = {3, 2, 1, 0, 9, 8, 7, 0}};
    Bitmap bmp = read(makeBmp(bottomUp));
    EXPECT_EQ(bmp.pixel(0, 1), A);
    EXPECT_EQ(bmp.pixel(0, 0), C);

    BmpSpec topDown{.width = 1, .height = -2, .bitCount = 32, .palette = {}, .data = {3, 2, 1, 0, 9, 8, 7, 0}};
    bmp = read(makeBmp(topDown));
    EXPECT_EQ(bmp.pixelFormat(), PixelFormat::Bits32);
    EXPECT_EQ(bmp.pixel(0, 0), A);
    EXPECT_EQ(bmp.pixel(0, 1), C);
}

TEST(BmpCodec, RunLengthCodingWithLiteralsMovesAndEndMarks)
{
    BmpSpec rle8{.width = 4,
                 .height = 3,
                 .bitCount = 8,
                 .compression = 1,
                 .colorsUsed = 4,
                 .palette = {K, A, B, C},
                 .data = {2, 1, 0, 3, 2, 3, 1, 0, // run, literal of three (one past the width), padding
                          0, 0, // end of line
                          0, 2, 1, 1, // move one right and one row up
                          1, 2, 0, 1}}; // run of one, end of bitmap
    Bitmap bmp = read(makeBmp(rle8));
    EXPECT_EQ(row(bmp, 2), (std::vector<Color>{A, A, B, C}));
    EXPECT_EQ(row(bmp, 1), (std::vector<Color>{K, K, K, K}));
    EXPECT_EQ(row(bmp, 0), (std::vector<Color>{K, B, K, K}));

    BmpSpec rle4{.width = 5,
                 .height = 2,
                 .bitCount = 4,
                 .compression = 2,
                 .colorsUsed = 6,
                 .palette = {K, A, B, C, A, B},
                 .data = {3, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 1}};
    bmp = read(makeBmp(rle4));
    EXPECT_EQ(row(bmp, 1), (std::vector<Color>{A, B, A, C, A}));
    EXPECT_EQ(row(bmp, 0), std::vector<Color>(5, K));
}

TEST(BmpCodec, EncodedFileReadsBackTheSamePixels)
{
    Bitmap source(5, 3, PixelFormat::Bits32); // odd width: rows need padding
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, RGB(std::uint8_t(x * 40), std::uint8_t(y * 60), std::uint8_t(x + y)));
    Bytes file = EncodeBmp24(source);
    EXPECT_EQ(file.size(), 14u + 40u + 16u * 3u);
    Bitmap back = read(file);
    EXPECT_EQ(back.pixelFormat(), PixelFormat::Bits24);
    EXPECT_TRUE(back == source);
}

TEST(BmpCodec, FilesOnDisk)
{
    ktest::TempDir dir;
    Bitmap source(2, 2);
    source.setPixel(1, 0, B);
    const std::string path = (dir.path() / "pic.bmp").string();
    ASSERT_TRUE(SaveBmpFile(path, source));
    Bitmap back;
    ASSERT_TRUE(LoadBmpFile(path, back));
    EXPECT_TRUE(back == source);
    EXPECT_EQ(LoadBmpFile((dir.path() / "missing.bmp").string(), back).status, BmpStatus::CannotOpen);
    EXPECT_EQ(SaveBmpFile((dir.path() / "no" / "such" / "x.bmp").string(), source).status, BmpStatus::WriteFailed);
}

TEST(BmpCodec, DamagedFilesAreRejectedWithTheOffendingOffset)
{
    const Bytes good = makeBmp(BmpSpec{.palette = {}, .data = Bytes(16, 0x55)});
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        BmpStatus status;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {"signature", [](Bytes& b) { b[1] = 'N'; }, BmpStatus::NotBmp, 0},
        {"short file header", [](Bytes& b) { b.resize(12); }, BmpStatus::Truncated, 2},
        {"info header past the end", [](Bytes& b) { b.resize(40); }, BmpStatus::Truncated, 14},
        {"header size", [](Bytes& b) { put32(b, 14, 64); }, BmpStatus::Unsupported, 14},
        {"planes", [](Bytes& b) { put16(b, 26, 2); }, BmpStatus::BadHeader, 26},
        {"zero width", [](Bytes& b) { put32(b, 18, 0); }, BmpStatus::BadHeader, 18},
        {"huge", [](Bytes& b) { put32(b, 18, 40000); }, BmpStatus::TooLarge, 18},
        {"smallest height", [](Bytes& b) { put32(b, 22, 0x80000000u); }, BmpStatus::TooLarge, 18},
        {"16 bits", [](Bytes& b) { put16(b, 28, 16); }, BmpStatus::Unsupported, 28},
        {"compression", [](Bytes& b) { put32(b, 30, 4); }, BmpStatus::Unsupported, 30},
        {"bit fields on 24 bits", [](Bytes& b) { put32(b, 30, 3); }, BmpStatus::Unsupported, 30},
        {"run-length on 24 bits", [](Bytes& b) { put32(b, 30, 1); }, BmpStatus::BadHeader, 30},
        {"data offset past the end", [](Bytes& b) { put32(b, 10, 1000); }, BmpStatus::BadHeader, 10},
        {"data offset inside the header", [](Bytes& b) { put32(b, 10, 20); }, BmpStatus::BadHeader, 10},
        {"pixel data cut",
         [](Bytes& b) {
             b.pop_back();
             b.pop_back();
             b.pop_back();
         },
         BmpStatus::Truncated, 54},
    };
    for (const Case& c : cases) {
        Bytes file = good;
        c.damage(file);
        Bitmap out(1, 1);
        out.setPixel(0, 0, C);
        BmpResult r = ReadBmp(file, out);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.offset, c.offset) << c.name;
        EXPECT_EQ(out.width(), 1) << c.name;
        EXPECT_EQ(out.pixel(0, 0), C) << c.name;
    }
}

TEST(BmpCodec, DamagedPalettesAndRunLengthData)
{
    Bitmap out;
    BmpSpec tooManyColours{
        .width = 1, .height = 1, .bitCount = 4, .colorsUsed = 17, .palette = {}, .data = {0, 0, 0, 0}};
    EXPECT_EQ(ReadBmp(makeBmp(tooManyColours), out).status, BmpStatus::BadHeader);

    Bytes cutPalette = makeBmp(BmpSpec{.width = 1, .height = 1, .bitCount = 8, .palette = {A, B}, .data = {}});
    put32(cutPalette, 10, std::uint32_t(cutPalette.size()));
    EXPECT_EQ(ReadBmp(cutPalette, out).status, BmpStatus::Truncated); // 256 colours stated, two stored

    BmpSpec noEnd{.width = 2,
                  .height = 2,
                  .bitCount = 8,
                  .compression = 1,
                  .colorsUsed = 2,
                  .palette = {A, B},
                  .data = {2, 1, 0, 0, 0, 5, 1}}; // literal of five with one byte
    BmpResult r = ReadBmp(makeBmp(noEnd), out);
    EXPECT_EQ(r.status, BmpStatus::Truncated);
    EXPECT_EQ(r.offset, 14u + 40u + 8u + 6u);

    Bytes sizedPastTheEnd = makeBmp(noEnd);
    put32(sizedPastTheEnd, 34, 1000); // the stated size of the coded data
    r = ReadBmp(sizedPastTheEnd, out);
    EXPECT_EQ(r.status, BmpStatus::Truncated);
    EXPECT_EQ(r.offset, 34u);

    BmpSpec topDownRle{
        .width = 1, .height = -1, .bitCount = 8, .compression = 1, .colorsUsed = 1, .palette = {A}, .data = {0, 1}};
    EXPECT_EQ(ReadBmp(makeBmp(topDownRle), out).status, BmpStatus::BadHeader);
    EXPECT_TRUE(out.empty());
}
