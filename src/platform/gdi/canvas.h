#pragma once

#include <string>

#include "gdi/bitmap.h"
#include "gdi/geometry.h"

class QFont;

namespace kolvarin::gdi {

// Brush styles in the order skin descriptions number them.
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
// Pen styles in the order skin descriptions number them.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

struct Pen {
    PenStyle style = PenStyle::Solid;
    Color color = RGB(0, 0, 0);
};

// Hatched brushes draw only their lines, in the brush colour, on a pattern
// eight pixels square aligned to the bitmap's origin; the pixels between
// the lines are left alone.
struct Brush {
    BrushStyle style = BrushStyle::Solid;
    Color color = RGB(255, 255, 255);
};

struct Font {
    std::u16string name = u"Tahoma"; // a missing face falls back to the system's sans serif
    int size = 8; // points at 96 pixels per inch
    int pixelSize = 0; // when above 0, the size in pixels instead
    Color color = RGB(0, 0, 0);
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int orientation = 0; // tenths of a degree, counter-clockwise
};

// Draws on a bitmap that it does not own; the bitmap must outlive the canvas.
// Everything is clipped to the bitmap. Lines, rectangles, fills and copies are
// our own code and exact to the pixel; text goes through QPainter and needs a
// QGuiApplication, so it is for the main thread only.
class Canvas {
public:
    explicit Canvas(Bitmap& target) : bitmap_(target) {}

    Bitmap& bitmap() const { return bitmap_; }

    Pen pen;
    Brush brush;
    Font font;

    // InvalidColor for a point outside the bitmap.
    static constexpr Color InvalidColor = 0xFFFFFFFF;
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color color);

    // Fills the rectangle with the brush; no outline.
    void fillRect(const Rect& rect);
    // Outline with the pen on the rectangle's own border pixels, inside filled
    // with the brush. With a clear pen the filled area loses its last column
    // and row, as on the platform the skins were drawn for.
    void rectangle(const Rect& rect);
    // Lines in the pen's style; the end point itself is not drawn, so joined
    // lines meet without overlap. A dash pattern carries on across joined
    // lines and restarts at moveTo.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    Point penPos() const { return penPos_; }

    // Copies w x h pixels from (sx, sy) of the source to (dx, dy); the part
    // outside either bitmap is skipped. The source may be this canvas's bitmap.
    void bitBlt(int dx, int dy, int w, int h, const Bitmap& source, int sx, int sy);
    // The whole source at (x, y); a source marked transparent leaves the
    // pixels of its transparent colour out.
    void draw(int x, int y, const Bitmap& source);
    // The whole source scaled to the rectangle by nearest pixel, honouring
    // transparency as draw does.
    void stretchDraw(const Rect& dest, const Bitmap& source);
    // Inverts every other pixel of the rectangle's border (those whose x + y
    // is even), so drawing it twice restores the pixels.
    void drawFocusRect(const Rect& rect);

    // Text with its cell's top-left at (x, y), in the font's colour; with a
    // solid brush the cell is first filled with the brush colour.
    void textOut(int x, int y, const std::u16string& text);
    // Width of the text and height of the font's cell.
    Size textExtent(const std::u16string& text) const;
    int textWidth(const std::u16string& text) const { return textExtent(text).cx; }
    int textHeight(const std::u16string& text) const;

private:
    bool hatchCovers(int x, int y) const;
    void fillSpan(int x0, int x1, int y);
    void plotPenPixel(int x, int y);

    Bitmap& bitmap_;
    Point penPos_;
    int dashPos_ = 0;
};

// The QFont matching a canvas font.
QFont ToQFont(const Font& font);

} // namespace kolvarin::gdi
