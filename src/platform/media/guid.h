#pragma once

// Class and interface identifiers: 128-bit values laid out as the platform's
// GUID structure (one 32-bit, two 16-bit fields and eight bytes).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvarin {
class ByteReader;
}

namespace kolvarin::media {

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    std::array<uint8_t, 8> Data4{};

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
    friend constexpr auto operator<=>(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;

inline constexpr GUID GUID_NULL{};

// The standard text form with braces and upper-case digits:
// "{01234567-89AB-CDEF-0123-456789ABCDEF}".
std::string GuidToString(const GUID& id);
// Reads exactly that form (38 characters, either letter case); anything else
// gives nothing.
std::optional<GUID> GuidFromString(std::string_view text);

// The 16 bytes as the platform stores them: Data1..Data3 little-endian.
std::array<uint8_t, 16> GuidBytes(const GUID& id);
// Reads those 16 bytes; false, with nothing moved or set, when fewer remain.
bool GetGuid(ByteReader& reader, GUID& id);

// The media subtype of a FourCC or wave-format tag:
// {XXXXXXXX-0000-0010-8000-00AA00389B71}.
constexpr GUID FourCCGuid(uint32_t code)
{
    return {code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}
constexpr uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return static_cast<uint8_t>(a) | (static_cast<uint8_t>(b) << 8) | (static_cast<uint8_t>(c) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

} // namespace kolvarin::media
