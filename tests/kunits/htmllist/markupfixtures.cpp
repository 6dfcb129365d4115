#include "markupfixtures.h"

#include <QBuffer>

namespace ktest::markup {

using namespace kolvarin;

Surface::Surface(int width, int height) : bitmap(width, height), canvas(bitmap)
{
    canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, gdi::RGB(255, 255, 255)};
    canvas.fillRect({0, 0, width, height});
    canvas.font = gdi::Font{};
    canvas.font.color = 0;
}

gdi::Rect InkBox(const gdi::Bitmap& bitmap, const gdi::Rect& area, gdi::Color background)
{
    gdi::Rect box{area.right, area.bottom, area.left, area.top};
    bool any = false;
    for (int y = std::max(0, area.top); y < std::min(area.bottom, bitmap.height()); ++y)
        for (int x = std::max(0, area.left); x < std::min(area.right, bitmap.width()); ++x)
            if (bitmap.pixel(x, y) != background) {
                any = true;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return any ? box : gdi::Rect{};
}

int CountColor(const gdi::Bitmap& bitmap, const gdi::Rect& area, gdi::Color color)
{
    int count = 0;
    for (int y = std::max(0, area.top); y < std::min(area.bottom, bitmap.height()); ++y)
        for (int x = std::max(0, area.left); x < std::min(area.right, bitmap.width()); ++x)
            count += bitmap.pixel(x, y) == color;
    return count;
}

int CountReddish(const gdi::Bitmap& bitmap, const gdi::Rect& area)
{
    int count = 0;
    for (int y = std::max(0, area.top); y < std::min(area.bottom, bitmap.height()); ++y)
        for (int x = std::max(0, area.left); x < std::min(area.right, bitmap.width()); ++x) {
            const gdi::Color c = bitmap.pixel(x, y);
            count += gdi::GetRValue(c) > gdi::GetGValue(c) + 60 && gdi::GetRValue(c) > gdi::GetBValue(c) + 60;
        }
    return count;
}

namespace {

void word(std::string& out, int value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

// LZW with a minimum code size of 2: codes stay 3 bits wide because a clear
// code follows every second pixel.
std::string imageData(int pixels, int color)
{
    std::vector<int> codes{4};
    for (int i = 0; i < pixels; ++i) {
        codes.push_back(color);
        if (i % 2 == 1)
            codes.push_back(4);
    }
    codes.push_back(5);
    std::string bytes;
    int bits = 0;
    int filled = 0;
    for (int code : codes) {
        bits |= code << filled;
        filled += 3;
        while (filled >= 8) {
            bytes += char(bits & 0xFF);
            bits >>= 8;
            filled -= 8;
        }
    }
    if (filled > 0)
        bytes += char(bits & 0xFF);
    std::string out(1, char(2));
    for (std::size_t at = 0; at < bytes.size(); at += 255) {
        const std::string block = bytes.substr(at, 255);
        out += char(block.size());
        out += block;
    }
    out += char(0);
    return out;
}

} // namespace

std::string MakeGif(int width, int height, const std::vector<GifFrame>& frames)
{
    std::string out = "GIF89a";
    word(out, width);
    word(out, height);
    out += char(0x81); // global table of 4 colours
    out += char(0);
    out += char(0);
    out += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);
    for (const GifFrame& f : frames) {
        out += std::string("\x21\xF9\x04\x00", 4);
        word(out, f.delay);
        out += char(0);
        out += char(0);
        out += char(0x2C);
        word(out, f.left);
        word(out, f.top);
        word(out, f.width);
        word(out, f.height);
        out += char(0);
        out += imageData(f.width * f.height, f.color);
    }
    out += char(0x3B);
    return out;
}

std::string Encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

QImage SolidImage(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace ktest::markup
