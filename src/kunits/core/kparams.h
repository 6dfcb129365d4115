#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin {

// Parameters of a UTF-16 command-line text: characters below 33 outside
// double quotes separate parameters; double quotes group text and are
// removed; an empty pair of double quotes before a parameter is skipped; a
// parameter holds at most 8,192 characters (the rest of it is dropped).
// Parameter 0 is the program path.

int32_t WideParamCount(std::u16string_view commandLine);
// Empty for an index outside 0 .. count.
std::u16string WideParamStr(std::u16string_view commandLine, int32_t index);

} // namespace kolvarin
