#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/settings/kformatdb.h"

namespace kolvarin {

// Names a format that no database entry names, from what the media stream
// reports of it (the media type); empty when the stream is not known.
using TSubtypeName = std::function<std::string()>;

// The name of a FourCC from VideoFormatDB (when it exists); else the
// subtype's name when one is given, else "Unknown (xxxx)".
std::string VideoCodecName(uint32_t code, const TSubtypeName& subtypeName = {});
// The name of a wave-format tag from AudioFormatDB (when it exists); else
// the subtype's name when one is given, else "Unknown ($hh)".
std::string AudioCodecName(uint32_t code, const TSubtypeName& subtypeName = {});

// Clear the database and append the built-in names: 145 wave-format tags,
// 327 FourCCs (no CharCode, so they match by number only).
void SetDefaultAudioFormats(TKFormatDatabase& db);
void SetDefaultVideoFormats(TKFormatDatabase& db);

// The built-in names looked up directly, for the database generators.
std::string BuiltinVideoCodecName(uint32_t code);
std::string BuiltinAudioCodecName(uint32_t tag);

} // namespace kolvarin
