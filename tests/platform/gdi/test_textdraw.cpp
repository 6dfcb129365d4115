#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include "gdi/canvas.h"
#include "gdi/syscolors.h"
#include "gdi/textdraw.h"

using namespace kolvarin::gdi;

namespace {

// DrawText into a rectangle given by value.
void Draw(Canvas& canvas, std::u16string_view text, Rect rect, unsigned format)
{
    DrawText(canvas, text, rect, format);
}

constexpr Color White = RGB(255, 255, 255);

struct Page {
    Page() : bitmap(200, 40), canvas(bitmap)
    {
        canvas.brush = Brush{BrushStyle::Solid, White};
        canvas.fillRect({0, 0, 200, 40});
        canvas.brush.style = BrushStyle::Clear;
        canvas.font.color = 0;
    }
    // The columns and rows with any pixel that is not white, inside area.
    Rect ink(const Rect& area) const
    {
        Rect box{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (bitmap.pixel(x, y) != White) {
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1)};
                }
        return box.isEmpty() ? Rect{} : box;
    }
    Bitmap bitmap;
    Canvas canvas;
};

} // namespace

TEST(DrawText, MeasuresPrefixesAndTabsAsTheyAreDrawn)
{
    Page p;
    const QFontMetrics& metrics = GetCachedFont(p.canvas.font).metrics;
    auto width = [&](std::u16string_view text, unsigned format) {
        Rect box{5, 5, 5, 5};
        const int height = DrawText(p.canvas, text, box, format | DT_CALCRECT);
        EXPECT_EQ(box.height(), height);
        return box.width();
    };
    EXPECT_EQ(width(u"a&&b", 0), p.canvas.textWidth(u"a&b"));
    EXPECT_EQ(width(u"&File", 0), p.canvas.textWidth(u"File"));
    EXPECT_EQ(width(u"a&&b", DT_NOPREFIX), p.canvas.textWidth(u"a&&b"));
    const int stop = metrics.averageCharWidth() * 8;
    EXPECT_EQ(width(u"a\tb", DT_EXPANDTABS), stop + p.canvas.textWidth(u"b"));
    EXPECT_EQ(width(u"a\tb\tc", DT_EXPANDTABS), 2 * stop + p.canvas.textWidth(u"c"));
    EXPECT_EQ(width(u"a\tb", DT_NOPREFIX), metrics.horizontalAdvance(QStringLiteral("a\tb")));
    // The same text again comes from what was remembered, and agrees.
    EXPECT_EQ(width(u"a&&b", 0), p.canvas.textWidth(u"a&b"));
    Rect box;
    EXPECT_EQ(DrawText(p.canvas, u"x", box, DT_CALCRECT | DT_EXTERNALLEADING),
              metrics.ascent() + metrics.descent() + metrics.leading());
}

TEST(DrawText, DrawsInsideItsRectangle)
{
    const std::u16string wide = u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    Page clipped;
    Draw(clipped.canvas, wide, Rect{10, 5, 60, 25}, 0);
    EXPECT_EQ(clipped.ink({0, 0, 200, 40}).right, 60);
    Page free;
    Draw(free.canvas, wide, Rect{10, 5, 60, 25}, DT_NOCLIP);
    EXPECT_GT(free.ink({0, 0, 200, 40}).right, 100);
    // An ellipsis ends the text inside the rectangle: three dots, not Ws.
    Page dots;
    Draw(dots.canvas, wide, Rect{10, 5, 60, 25}, DT_END_ELLIPSIS);
    const Rect ink = dots.ink({0, 0, 200, 40});
    EXPECT_LT(ink.right, 60);
    const Rect last = dots.ink({ink.right - 3, 0, ink.right, 40});
    EXPECT_LT(last.height(), 4); // a dot, not the height of a W

    // Bottom alignment puts the cell's bottom on the rectangle's bottom.
    Page bottom;
    const QFontMetrics& metrics = GetCachedFont(bottom.canvas.font).metrics;
    Draw(bottom.canvas, u"H", Rect{10, 0, 60, 30}, DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(bottom.ink({0, 0, 200, 40}).bottom, 30 - metrics.descent());
}

TEST(DrawText, SolidBrushFillsTheCellAndPrefixesUnderline)
{
    Page p;
    p.canvas.brush = Brush{BrushStyle::Solid, RGB(0, 255, 0)};
    Draw(p.canvas, u"&ab", Rect{10, 5, 150, 35}, 0);
    const QFontMetrics& metrics = GetCachedFont(p.canvas.font).metrics;
    const int cell = metrics.ascent() + metrics.descent();
    const int width = p.canvas.textWidth(u"ab");
    EXPECT_EQ(p.bitmap.pixel(10, 5), RGB(0, 255, 0));
    EXPECT_EQ(p.bitmap.pixel(10 + width - 1, 5 + cell - 1), RGB(0, 255, 0));
    EXPECT_EQ(p.bitmap.pixel(10 + width, 5), White);
    // The "a" is underlined one pixel under the baseline: a full black row.
    const int row = 5 + metrics.ascent() + 1;
    const int a = p.canvas.textWidth(u"a");
    int black = 0;
    for (int x = 10; x < 10 + a; ++x)
        black += p.bitmap.pixel(x, row) == 0;
    EXPECT_EQ(black, a);
}

TEST(Canvas, FocusRectangleInvertsEveryOtherBorderPixel)
{
    Page p;
    const Bitmap before = p.bitmap;
    p.canvas.drawFocusRect({3, 4, 13, 10});
    EXPECT_EQ(p.bitmap.pixel(4, 4), 0u); // x + y even
    EXPECT_EQ(p.bitmap.pixel(3, 4), White);
    EXPECT_EQ(p.bitmap.pixel(12, 6), 0u); // right edge
    EXPECT_EQ(p.bitmap.pixel(6, 6), White); // inside untouched
    p.canvas.drawFocusRect({3, 4, 13, 10});
    EXPECT_TRUE(p.bitmap == before);
}

TEST(SysColors, FollowTheApplicationPalette)
{
    const QColor highlight = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT),
              RGB(std::uint8_t(highlight.red()), std::uint8_t(highlight.green()), std::uint8_t(highlight.blue())));
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW),
              RGB(std::uint8_t(base.red()), std::uint8_t(base.green()), std::uint8_t(base.blue())));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);
}
