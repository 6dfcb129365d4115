#include "htmllist/checkboxdraw.h"

#include "htmllist/htmlcolors.h"

namespace kolvarin {

namespace {

// The classic check mark, 7 x 7, top row first.
constexpr const char* CheckMark[7] = {
    "......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X....",
};

void line(gdi::Canvas& canvas, TColor color, int x0, int y0, int x1, int y1)
{
    canvas.pen = gdi::Pen{gdi::PenStyle::Solid, ColorToRGB(color)};
    canvas.moveTo(x0, y0);
    canvas.lineTo(x1, y1);
}

} // namespace

void DrawCheckBox(gdi::Canvas& canvas, const gdi::Rect& rect, TCheckBoxState state, bool enabled, bool flat)
{
    const int x = rect.left + (rect.width() - CheckBoxWidth) / 2;
    const int y = rect.top + (rect.height() - CheckBoxHeight) / 2;
    const int right = x + CheckBoxWidth;
    const int bottom = y + CheckBoxHeight;
    const bool plain = enabled && state != cbGrayed;
    canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(plain ? clWindow : clBtnFace)};
    canvas.fillRect({x + 2, y + 2, right - 2, bottom - 2});
    if (state != cbUnchecked) {
        const gdi::Color mark = ColorToRGB(!enabled ? clGrayText : state == cbGrayed ? clBtnShadow : clWindowText);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 7; ++col)
                if (CheckMark[row][col] == 'X')
                    canvas.setPixel(x + 3 + col, y + 3 + row, mark);
    }
    if (flat) {
        canvas.pen = gdi::Pen{gdi::PenStyle::Solid, ColorToRGB(clBtnShadow)};
        canvas.brush.style = gdi::BrushStyle::Clear;
        canvas.rectangle({x + 1, y + 1, right - 1, bottom - 1});
        canvas.brush.style = gdi::BrushStyle::Solid;
        return;
    }
    // Sunken edge: shadow and dark shadow above and left, highlight and
    // light below and right.
    line(canvas, clBtnShadow, x, bottom - 1, x, y);
    line(canvas, clBtnShadow, x, y, right - 1, y);
    line(canvas, cl3DDkShadow, x + 1, bottom - 2, x + 1, y + 1);
    line(canvas, cl3DDkShadow, x + 1, y + 1, right - 2, y + 1);
    line(canvas, clBtnHighlight, x, bottom - 1, right, bottom - 1);
    line(canvas, clBtnHighlight, right - 1, bottom - 1, right - 1, y - 1);
    line(canvas, cl3DLight, x + 1, bottom - 2, right - 1, bottom - 2);
    line(canvas, cl3DLight, right - 2, bottom - 2, right - 2, y);
}

} // namespace kolvarin
