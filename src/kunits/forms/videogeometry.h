#pragma once

// The sizes and places the video window computes: window zoom, the picture's
// rectangle for an aspect-ratio mode, and the on-screen text's font size and
// point. Pure functions, so the window and its menus share one rule each.

#include <cstdint>
#include <optional>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kolvarin {

// The ratio modes of the setting Ratio/Mode, in stored order.
enum TKRatioMode : uint8_t {
    rmLetterbox,
    rmStretched,
    rmCrop,
    rm43,
    rm54,
    rm169,
    rm1610,
    rm2351,
    rmUserdef,
};
inline constexpr int kRatioModeCount = 9;

// The client size of the window for a zoom percentage of the video size.
QSize WindowZoomSize(QSize video, int percent);

// The x:y of a fixed ratio mode (3..8); the user ratio's values rounded, and
// the video's own ratio when either is 0 or less; nothing for the modes
// without a ratio.
std::optional<QSize> RatioOfMode(uint8_t mode, QSize video, float userX, float userY);

// The picture's rectangle inside display for the mode; nothing without a
// video shape (its display aspect, x:y). Letter box fits the video's own
// shape, stretched and crop take the whole display, the others fit their
// ratio; all centred.
std::optional<QRect> AspectRatioRect(uint8_t mode, QRect display, QSize video, float userX, float userY);

// The font's size in points: height div (50 - size), the divisor at least 1.
int OSDFontSize(int height, int size);

// Where text of size text goes in an area of size area by the OSD position
// 0..8 (top left .. bottom right, row by row); (0, 0) for other values.
QPoint OSDTextPoint(uint8_t position, QSize area, QSize text);

} // namespace kolvarin
