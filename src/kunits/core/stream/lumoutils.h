#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin {

// Small string and file helpers under the Lumo units and the script engine.

std::string LumoIntToStr(int64_t value);
// Upper-case hexadecimal without leading zeros (two's complement for
// negative values); 0 gives an empty text.
std::string LumoIntToHex(int64_t value);
// True when the file can be opened for reading.
bool LumoFileExists(const std::string& fileName);
// Everything up to and including the last '\', '/' or ':'; empty when none.
std::string LumoExtractFilePath(std::string_view path);
// Drops the leading characters below 33.
std::string LumoTrimLeft(std::string_view text);

} // namespace kolvarin
