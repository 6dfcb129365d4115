#pragma once

// The one rule for sizes, positions and font sizes that a skin description
// or the settings give: each is bounded where it is read, so nothing worked
// out from them later (a window, a composed bitmap, x + width, a font's pixel
// height) can go beyond what the program can make or what an int holds.

#include <algorithm>
#include <cstdint>

namespace kolvarin {

// A window or image side: a square of it is the largest bitmap the drawing
// stand-in allows (2^26 pixels).
inline constexpr int32_t kMaxExtent = 8192;
// A position on a window, in a skin bitmap or on the desktop; a position plus
// a few extents stays far inside int.
inline constexpr int32_t kMaxPosition = 1 << 20;
// Points: glyphs of any larger size only cost memory.
inline constexpr int32_t kMaxFontSize = 400;

// Sizes are never negative.
constexpr int32_t BoundedExtent(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, kMaxExtent));
}

constexpr int32_t BoundedPosition(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, -kMaxPosition, kMaxPosition));
}

// Negative sizes keep their meaning (character height instead of cell height).
constexpr int32_t BoundedFontSize(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, -kMaxFontSize, kMaxFontSize));
}

} // namespace kolvarin
