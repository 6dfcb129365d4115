#include "gdi/canvas.h"

#include <QFont>

#include <set>
#include <utility>

#include <gtest/gtest.h>

using namespace kolvarin::gdi;

namespace {

const Color White = RGB(255, 255, 255);
const Color Red = RGB(255, 0, 0);
const Color Blue = RGB(0, 0, 255);

using Pixels = std::set<std::pair<int, int>>;

Bitmap filled(int w, int h, Color c)
{
    Bitmap bmp(w, h);
    Canvas canvas(bmp);
    canvas.brush.color = c;
    canvas.fillRect({0, 0, w, h});
    return bmp;
}

// The pixels that differ from the background colour.
Pixels marked(const Bitmap& bmp, Color background)
{
    Pixels out;
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            if (bmp.pixel(x, y) != background)
                out.insert({x, y});
    return out;
}

} // namespace

TEST(Canvas, FillRectIsClippedAndExclusiveAtRightAndBottom)
{
    Bitmap bmp = filled(4, 4, White);
    Canvas canvas(bmp);
    canvas.brush.color = Red;
    canvas.fillRect({-5, 2, 2, 10});
    EXPECT_EQ(marked(bmp, White), (Pixels{{0, 2}, {1, 2}, {0, 3}, {1, 3}}));
    canvas.brush.style = BrushStyle::Clear;
    canvas.fillRect({0, 0, 4, 4});
    EXPECT_EQ(marked(bmp, White).size(), 4u);
    EXPECT_EQ(canvas.pixel(-1, 0), Canvas::InvalidColor);
}

TEST(Canvas, RectangleOutlinesInsideAndFillsTheRest)
{
    Bitmap bmp = filled(6, 5, White);
    Canvas canvas(bmp);
    canvas.pen.color = Blue;
    canvas.brush.color = Red;
    canvas.rectangle({1, 1, 5, 4});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool border = (x == 1 || x == 4 || y == 1 || y == 3) && x >= 1 && x <= 4 && y >= 1 && y <= 3;
            bool inside = x >= 2 && x <= 3 && y == 2;
            EXPECT_EQ(bmp.pixel(x, y), border ? Blue : inside ? Red : White) << x << "," << y;
        }

    // Without a pen the filled area loses its last column and row.
    Bitmap plain = filled(6, 5, White);
    Canvas noPen(plain);
    noPen.pen.style = PenStyle::Clear;
    noPen.brush.color = Red;
    noPen.rectangle({1, 1, 4, 3});
    EXPECT_EQ(marked(plain, White), (Pixels{{1, 1}, {2, 1}}));
}

TEST(Canvas, LinesLeaveOutTheirEndPoint)
{
    Bitmap bmp = filled(8, 8, White);
    Canvas canvas(bmp);
    canvas.moveTo(0, 0);
    canvas.lineTo(6, 2);
    EXPECT_EQ(marked(bmp, White), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
    EXPECT_EQ(canvas.penPos(), (Point{6, 2}));
    canvas.lineTo(6, 5); // continues from the end point, which it now draws
    EXPECT_EQ(marked(bmp, White).size(), 9u);
    EXPECT_EQ(bmp.pixel(6, 2), RGB(0, 0, 0));
    EXPECT_EQ(bmp.pixel(6, 5), White);
}

TEST(Canvas, PenStylesFollowTheirPatterns)
{
    struct Case {
        PenStyle style;
        const char* row; // 30 pixels of a horizontal line
    };
    const Case cases[] = {
        {PenStyle::Solid, "##############################"},      {PenStyle::Dash, "##################......######"},
        {PenStyle::Dot, "###...###...###...###...###..."},        {PenStyle::DashDot, "#########......###......######"},
        {PenStyle::DashDotDot, "#########...###...###...######"}, {PenStyle::Clear, ".............................."},
    };
    for (const Case& c : cases) {
        Bitmap bmp = filled(30, 1, White);
        Canvas canvas(bmp);
        canvas.pen.style = c.style;
        canvas.moveTo(0, 0);
        canvas.lineTo(30, 0);
        std::string got;
        for (int x = 0; x < 30; ++x)
            got += bmp.pixel(x, 0) == White ? '.' : '#';
        EXPECT_EQ(got, c.row) << int(c.style);
    }
}

TEST(Canvas, HatchBrushesDrawOnlyTheirLines)
{
    struct Case {
        BrushStyle style;
        std::size_t count; // lines in an 8 x 8 cell
        std::pair<int, int> onLine;
        std::pair<int, int> offLine;
    };
    const Case cases[] = {
        {BrushStyle::Horizontal, 8, {5, 0}, {5, 1}}, {BrushStyle::Vertical, 8, {0, 5}, {1, 5}},
        {BrushStyle::FDiagonal, 8, {3, 3}, {3, 4}},  {BrushStyle::BDiagonal, 8, {3, 5}, {3, 3}},
        {BrushStyle::Cross, 15, {0, 3}, {3, 3}},     {BrushStyle::DiagCross, 14, {2, 6}, {2, 5}},
    };
    for (const Case& c : cases) {
        Bitmap bmp = filled(8, 8, White);
        Canvas canvas(bmp);
        canvas.brush = {c.style, Red};
        canvas.fillRect({0, 0, 8, 8});
        Pixels got = marked(bmp, White);
        EXPECT_EQ(got.size(), c.count) << int(c.style);
        EXPECT_TRUE(got.count(c.onLine)) << int(c.style);
        EXPECT_FALSE(got.count(c.offLine)) << int(c.style);
    }
    // The pattern is tied to the bitmap, not to the rectangle.
    Bitmap bmp = filled(16, 1, White);
    Canvas canvas(bmp);
    canvas.brush = {BrushStyle::Vertical, Red};
    canvas.fillRect({3, 0, 16, 1});
    EXPECT_EQ(marked(bmp, White), (Pixels{{8, 0}}));
}

TEST(Canvas, BitBltClipsOnBothSidesAndHandlesOverlap)
{
    Bitmap source(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            source.setPixel(x, y, RGB(std::uint8_t(x), std::uint8_t(y), 9));
    Bitmap dest = filled(4, 4, White);
    Canvas canvas(dest);
    canvas.bitBlt(-1, 2, 10, 10, source, 0, -1); // source row -1 and column 0 fall away
    EXPECT_EQ(dest.pixel(0, 3), RGB(1, 0, 9));
    EXPECT_EQ(dest.pixel(1, 3), RGB(2, 0, 9));
    EXPECT_EQ(dest.pixel(0, 2), White);
    EXPECT_EQ(marked(dest, White).size(), 2u);

    Bitmap self = source;
    Canvas(self).bitBlt(1, 0, 2, 3, self, 0, 0);
    EXPECT_EQ(self.pixel(1, 1), RGB(0, 1, 9));
    EXPECT_EQ(self.pixel(2, 1), RGB(1, 1, 9));
}

TEST(Canvas, TransparentBitmapsLeaveTheirKeyColourOut)
{
    Bitmap sprite = filled(2, 2, RGB(0, 255, 0));
    sprite.setPixel(1, 1, Red);
    Bitmap dest = filled(4, 4, White);
    Canvas canvas(dest);
    canvas.draw(1, 1, sprite);
    EXPECT_EQ(marked(dest, White).size(), 4u);
    sprite.setTransparent(true);
    sprite.setTransparentColor(RGB(0, 255, 0));
    dest = filled(4, 4, White);
    canvas.draw(1, 1, sprite);
    EXPECT_EQ(marked(dest, White), (Pixels{{2, 2}}));

    dest = filled(4, 4, White);
    canvas.stretchDraw({0, 0, 4, 4}, sprite);
    EXPECT_EQ(marked(dest, White), (Pixels{{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
}

TEST(Canvas, TextStaysInsideItsExtent)
{
    Bitmap bmp = filled(120, 40, White);
    Canvas canvas(bmp);
    canvas.brush.style = BrushStyle::Clear;
    canvas.font.color = Blue;
    const Size extent = canvas.textExtent(u"Kolvarin");
    ASSERT_GT(extent.cx, 20);
    ASSERT_GT(extent.cy, 8);
    canvas.textOut(10, 5, u"Kolvarin");
    Pixels ink = marked(bmp, White);
    ASSERT_FALSE(ink.empty());
    for (auto [x, y] : ink) {
        EXPECT_GE(x, 9);
        EXPECT_LE(x, 10 + extent.cx);
        EXPECT_GE(y, 5);
        EXPECT_LT(y, 5 + extent.cy);
    }
    // Measuring follows the font: longer text and a larger size are wider.
    EXPECT_GT(canvas.textWidth(u"Kolvarin Kolvarin"), extent.cx);
    canvas.font.size = 16;
    EXPECT_GT(canvas.textHeight(u"K"), extent.cy);
    // Eight points are eleven pixels at 96 pixels per inch.
    EXPECT_EQ(ToQFont(Font{}).pixelSize(), 11);
    EXPECT_EQ(ToQFont(Font{.pixelSize = 19}).pixelSize(), 19);
}

TEST(Canvas, SolidBrushFillsTheTextCell)
{
    Bitmap bmp = filled(60, 30, White);
    Canvas canvas(bmp);
    canvas.brush.color = Red;
    canvas.textOut(2, 3, u"ab");
    const Size extent = canvas.textExtent(u"ab");
    EXPECT_EQ(bmp.pixel(2, 3), Red);
    EXPECT_EQ(bmp.pixel(2 + extent.cx - 1, 3 + extent.cy - 1), Red);
    EXPECT_EQ(bmp.pixel(2 + extent.cx, 3), White);
    EXPECT_EQ(bmp.pixel(1, 3), White);
}

TEST(Canvas, RotatedTextRunsUpwards)
{
    Bitmap bmp = filled(40, 120, White);
    Canvas canvas(bmp);
    canvas.brush.style = BrushStyle::Clear;
    canvas.font.orientation = 900;
    canvas.textOut(5, 110, u"Kolvarin");
    Pixels ink = marked(bmp, White);
    ASSERT_FALSE(ink.empty());
    int top = 120;
    for (auto [x, y] : ink)
        top = std::min(top, y);
    EXPECT_LT(top, 110 - 20); // the text climbs from its origin
}
