#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/bitmap.h"
#include "gdi/canvas.h"

namespace kolvarin {

// Credits that scroll upwards through a bitmap, one pixel per step, fading
// in at the bottom edge and out at the top. A line starting "<b>" is drawn
// bold, one starting "<u>" underlined (the prefix is not drawn); an empty
// line is as high as "Kolvarin". Main thread only (text goes through Qt).
class TTextScroller {
public:
    // Alignment 0 centres each line, 1 puts it at x = 0; other values draw
    // nothing. Starts with the first line below the bitmap.
    TTextScroller(const gdi::Bitmap& bitmap, std::uint8_t alignment);

    // The first line goes back below the bitmap.
    void Reset(const gdi::Bitmap& bitmap);
    // One step: fills the bitmap black, draws the lines from Y down and
    // moves them up one pixel.
    void TextScrollerPaint(gdi::Bitmap& bitmap);

    std::uint8_t Alignment;
    std::int32_t Y = 0; // top of the first line in bitmap pixels
    std::uint32_t FrameCount = 0; // steps since the last reset
    bool Fade = false;
    std::vector<std::u16string> Lines;
    gdi::Font Font; // the bitmap's font; bold and underline are set per line
};

// The grey level of a line whose top is at y in a bitmap of that height,
// with a fading band of 2 x lineHeight at each edge: 0 at or above the top,
// rising through the top band, 255 in the middle, falling through the
// bottom band, 255 again from the bottom edge on.
int FadeLevel(int y, int height, int lineHeight);

} // namespace kolvarin
