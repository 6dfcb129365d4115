#include "dialogs/textscroller.h"

#include <cmath>

namespace kolvarin {

TTextScroller::TTextScroller(const gdi::Bitmap& bitmap, std::uint8_t alignment) : Alignment(alignment)
{
    Reset(bitmap);
}

void TTextScroller::Reset(const gdi::Bitmap& bitmap)
{
    Y = bitmap.height();
    FrameCount = 0;
}

int FadeLevel(int y, int height, int lineHeight)
{
    const int band = 2 * lineHeight;
    if (band <= 0)
        return 255;
    if (y >= band) {
        if (y <= height - band || y >= height)
            return 255;
        return 255 - int(std::nearbyint((y % band) * 255.0 / band));
    }
    if (y <= 0)
        return 0;
    return int(std::nearbyint((y % band) * 255.0 / band));
}

void TTextScroller::TextScrollerPaint(gdi::Bitmap& bitmap)
{
    gdi::Canvas canvas(bitmap);
    canvas.font = Font;
    const int lineHeight = canvas.textHeight(u"Kolvarin");
    ++FrameCount;
    canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, 0};
    canvas.fillRect({0, 0, bitmap.width(), bitmap.height()});
    canvas.brush.style = gdi::BrushStyle::Clear;
    int y = Y;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::u16string& line = Lines[i];
        std::u16string text = line;
        canvas.font.bold = false;
        canvas.font.underline = false;
        if (line.starts_with(u"<b>")) {
            text = line.substr(3);
            canvas.font.bold = true;
        }
        if (line.starts_with(u"<u>")) {
            text = line.substr(3);
            canvas.font.underline = true;
        }
        if (Fade) {
            const auto g = std::uint8_t(FadeLevel(y, bitmap.height(), lineHeight));
            canvas.font.color = gdi::RGB(g, g, g);
        }
        if (Alignment == 0)
            canvas.textOut(bitmap.width() / 2 - canvas.textWidth(text) / 2, y, text);
        else if (Alignment == 1)
            canvas.textOut(0, y, text);
        y += text.empty() ? lineHeight : canvas.textHeight(text);
        if (i + 1 == Lines.size() && y < 0)
            Reset(bitmap); // everything has left the top: start again from the bottom
    }
    --Y;
}

} // namespace kolvarin
