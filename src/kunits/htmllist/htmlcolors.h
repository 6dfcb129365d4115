#pragma once

#include <cstdint>
#include <string_view>

#include "gdi/color.h"

namespace kolvarin {

// A colour value of the markup controls: 0x00BBGGRR for a plain colour,
// 0xFF0000nn for system colour nn, clNone for "no colour".
using TColor = std::uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clGrayText = 0xFF000011;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor cl3DDkShadow = 0xFF000015;
inline constexpr TColor cl3DLight = 0xFF000016;

// The colour to draw with: plain colours as they are, system colours from
// the system colour table. clNone gives black; callers test for it first.
// Main thread only (the system colours come from the application palette).
gdi::Color ColorToRGB(TColor color);

// A colour name as the markup writes it ("clRed", any letter case): the
// plain colours first, then the system colours; 0 (black) when unknown.
TColor ColorFromName(std::string_view name);

// A colour attribute's value: empty gives clNone; "#RRGGBB" (hexadecimal,
// either case) gives R + G * 256 + B * 65536, and a "#" value without six
// hexadecimal digits gives black; anything else is a name.
TColor ColorFromAttribute(std::string_view value);

} // namespace kolvarin
