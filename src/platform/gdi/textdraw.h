#pragma once

#include <string_view>

#include "gdi/canvas.h"

class QFont;
class QFontMetrics;

namespace kolvarin::gdi {

// Format flags of DrawText, with the platform's values. Text is laid out on
// one line: DT_SINGLELINE is always assumed.
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x200;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// The QFont of a canvas font with its metrics, from a small cache of the
// fonts used last (building them is the costly part of measuring text).
// Valid until the next call on the same thread; main thread in practice.
struct FontEntry;
struct CachedFont {
    const QFont& font;
    const QFontMetrics& metrics;
    FontEntry* entry; // what else the cache keeps for the font
};
CachedFont GetCachedFont(const Font& font);

// The width of one line of text in the font as DrawText lays it out with
// the format's DT_EXPANDTABS and DT_NOPREFIX; widths are remembered per font.
// Main thread only.
int TextWidth(const Font& font, std::u16string_view text, unsigned format);

// One line of text in the canvas's font and colour inside rect, as DrawText
// does: unless DT_NOPREFIX, "&&" draws one "&" and "&x" draws an underlined
// x; DT_EXPANDTABS moves tabs to stops every eight average character widths;
// DT_END_ELLIPSIS ends a text too wide for the rectangle in "..."; the text
// is clipped to the rectangle unless DT_NOCLIP. With a solid brush the
// text's cell is filled with the brush colour first. DT_CALCRECT draws
// nothing and sets rect's right and bottom to the text's full extent.
// Returns the text's height: the font's cell, plus its external leading with
// DT_EXTERNALLEADING. Main thread only (text goes through QPainter).
int DrawText(Canvas& canvas, std::u16string_view text, Rect& rect, unsigned format);

} // namespace kolvarin::gdi
