#pragma once

#include <cstdint>

namespace kolvarin::gdi {

// A 24-bit colour value laid out as R + G x 256 + B x 65536, the form skin
// descriptions and settings store. The top byte is ignored.
using Color = std::uint32_t;

constexpr Color RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr std::uint8_t GetRValue(Color c) { return std::uint8_t(c & 0xFF); }
constexpr std::uint8_t GetGValue(Color c) { return std::uint8_t((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(Color c) { return std::uint8_t((c >> 16) & 0xFF); }
// The colour without its unused top byte, for comparing.
constexpr Color ColorRGB(Color c) { return c & 0xFFFFFF; }

} // namespace kolvarin::gdi
