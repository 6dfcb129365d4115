#pragma once

#include <functional>

#include "gdi/canvas.h"
#include "htmllist/htmlcolors.h"

namespace kolvarin {

// Fills the rectangle with steps bands (0 counts as 1) running from one
// colour to the other, left to right or top to bottom; a border colour other
// than clNone then outlines the rectangle. The canvas's pen and brush are
// left with the last band's colour.
void DrawGradient(gdi::Canvas& canvas, TColor from, TColor to, TColor border, int steps, const gdi::Rect& rect,
                  bool horizontal);

// The colours of a selection background. Every setter stores a changed value
// and fires OnChange.
class TGradientStyle {
public:
    TColor ColorTo() const { return colorTo_; }
    TColor ColorFrom() const { return colorFrom_; }
    TColor BorderColor() const { return borderColor_; }
    int Direction() const { return direction_; } // 0 or 1
    TColor ColorMirrorFrom() const { return mirrorFrom_; }
    TColor ColorMirrorTo() const { return mirrorTo_; }
    void SetColorTo(TColor color) { set(colorTo_, color); }
    void SetColorFrom(TColor color) { set(colorFrom_, color); }
    void SetBorderColor(TColor color) { set(borderColor_, color); }
    void SetDirection(int direction) { set(direction_, direction); }
    void SetColorMirrorFrom(TColor color) { set(mirrorFrom_, color); }
    void SetColorMirrorTo(TColor color) { set(mirrorTo_, color); }

    // Copies the colours (not the direction) and fires OnChange once.
    void Assign(const TGradientStyle& other);

    std::function<void()> OnChange;

private:
    template <typename T>
    void set(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        if (OnChange)
            OnChange();
    }

    TColor colorTo_ = clNone;
    TColor colorFrom_ = clHighlight;
    TColor borderColor_ = clHighlight;
    int direction_ = 0;
    TColor mirrorFrom_ = clNone;
    TColor mirrorTo_ = clNone;
};

// The selection background of an item: a 128-step gradient from ColorFrom to
// ColorTo (left to right for Direction 0, top to bottom for 1), or with a
// mirror start colour two top-to-bottom halves (top and bottom for Direction
// 0, left and right for 1), then the border. Nothing when ColorFrom is clNone.
void DrawSelectionBackground(gdi::Canvas& canvas, const TGradientStyle& style, const gdi::Rect& rect);

} // namespace kolvarin
