#include "htmllist/gradient.h"

#include <cmath>

namespace kolvarin {

namespace {

int roundHalfEven(double value) { return int(std::nearbyint(value)); }

int channel(int start, int end, int step, int steps)
{
    return start + roundHalfEven(double(step) * (end - start) / steps);
}

} // namespace

void DrawGradient(gdi::Canvas& canvas, TColor from, TColor to, TColor border, int steps, const gdi::Rect& rect,
                  bool horizontal)
{
    if (steps <= 0)
        steps = 1;
    const gdi::Color a = ColorToRGB(from);
    const gdi::Color b = ColorToRGB(to);
    const int extent = horizontal ? rect.width() : rect.height();
    const int band = extent / steps + 1;
    canvas.brush.style = gdi::BrushStyle::Solid;
    for (int i = 0; i < steps; ++i) {
        const gdi::Color color = gdi::RGB(std::uint8_t(channel(gdi::GetRValue(a), gdi::GetRValue(b), i, steps)),
                                          std::uint8_t(channel(gdi::GetGValue(a), gdi::GetGValue(b), i, steps)),
                                          std::uint8_t(channel(gdi::GetBValue(a), gdi::GetBValue(b), i, steps)));
        canvas.pen.color = color;
        canvas.brush.color = color;
        const int start = roundHalfEven(double(i) * extent / steps);
        if (horizontal)
            canvas.fillRect({rect.left + start, rect.top, std::min(rect.right, rect.left + start + band), rect.bottom});
        else
            canvas.fillRect({rect.left, rect.top + start, rect.right, std::min(rect.bottom, rect.top + start + band)});
    }
    if (border != clNone) {
        canvas.pen.color = ColorToRGB(border);
        canvas.brush.style = gdi::BrushStyle::Clear;
        canvas.rectangle(rect);
        canvas.brush.style = gdi::BrushStyle::Solid;
    }
}

void TGradientStyle::Assign(const TGradientStyle& other)
{
    borderColor_ = other.borderColor_;
    colorTo_ = other.colorTo_;
    colorFrom_ = other.colorFrom_;
    mirrorTo_ = other.mirrorTo_;
    mirrorFrom_ = other.mirrorFrom_;
    if (OnChange)
        OnChange();
}

void DrawSelectionBackground(gdi::Canvas& canvas, const TGradientStyle& style, const gdi::Rect& rect)
{
    if (style.ColorFrom() == clNone)
        return;
    constexpr int Steps = 128;
    if (style.ColorMirrorFrom() == clNone) {
        DrawGradient(canvas, style.ColorFrom(), style.ColorTo(), clNone, Steps, rect, style.Direction() == 0);
    } else {
        gdi::Rect first = rect;
        gdi::Rect second = rect;
        if (style.Direction() == 0)
            first.bottom = second.top = rect.top + rect.height() / 2;
        else
            first.right = second.left = rect.left + rect.width() / 2;
        DrawGradient(canvas, style.ColorFrom(), style.ColorTo(), clNone, Steps, first, false);
        DrawGradient(canvas, style.ColorMirrorFrom(), style.ColorMirrorTo(), clNone, Steps, second, false);
    }
    if (style.BorderColor() != clNone) {
        canvas.pen.color = ColorToRGB(style.BorderColor());
        canvas.brush.style = gdi::BrushStyle::Clear;
        canvas.rectangle(rect);
        canvas.brush.style = gdi::BrushStyle::Solid;
    }
}

} // namespace kolvarin
