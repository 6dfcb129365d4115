#pragma once

#include <string>
#include <string_view>

#include "core/stream/lumostream.h"
#include "skin/kgui.h"

namespace kolvarin {

enum class TKSkinReadStatus {
    Ok,
    NotParsed, // the XML document does not parse: nothing was stored (not an error)
    CannotOpen, // the description file cannot be read
    BadNumber, // a value that must be an integer is not one (or does not fit)
};

// Outcome of reading a skin description. Text names the value that failed.
struct TKSkinReadResult {
    TKSkinReadStatus Status = TKSkinReadStatus::Ok;
    std::string Text;
    // Ok and NotParsed both let the load go on.
    bool Usable() const { return Status == TKSkinReadStatus::Ok || Status == TKSkinReadStatus::NotParsed; }
};

// Descriptions larger than this are refused as unreadable.
inline constexpr size_t kMaxDescriptionBytes = size_t(16) << 20;

// Reads an XML skin description (root KolvarinSkin) from the stream's start
// into the record. A window section that is missing keeps the record's
// values; an element missing inside a present section gets its attributes'
// defaults. On BadNumber the fields read before the bad value keep their new
// values and nothing after it is stored. Main thread only.
TKSkinReadResult ReadSkinXml(TKGUI& skin, TLumoStream& source);
// The same from a file (CannotOpen when it is missing, unreadable or larger
// than kMaxDescriptionBytes).
TKSkinReadResult LoadSkinXmlFromFile(TKGUI& skin, const std::string& fileName);

// Value converters of the description (names compared without letter case).
// "r,g,b", each number taken modulo 256, missing trailing numbers 0; false
// when a part is not an integer.
bool SkinColorFromStr(std::u16string_view text, gdi::Color& color);
uint8_t BarAlignFromStr(std::u16string_view text); // fill bar; anything else LeftToRight
uint8_t SeekBarAlignFromStr(std::u16string_view text); // seek bar; anything else LeftToRight
uint8_t SpectrumAlignFromStr(std::u16string_view text); // "RightToLeft" 1, else 0
uint8_t StatusBarAlignFromStr(std::u16string_view text); // "Bottom" 1, else 0
uint8_t BarPositionFromStr(std::u16string_view text); // "TopLeft" .. "BottomRight", else 0
// A decimal integer with an optional sign and surrounding blanks that fits
// 32 bits; false otherwise.
bool SkinIntFromStr(std::u16string_view text, int32_t& value);

} // namespace kolvarin
