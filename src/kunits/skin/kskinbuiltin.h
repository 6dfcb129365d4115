#pragma once

#include <string_view>

namespace kolvarin {

// The built-in skin "base[default]", made at build time by the skin
// generator (src/kunits/skin/builtin): its XML description and its bitmap
// as the bytes of a BMP file.
std::string_view BuiltinSkinDescription();
std::string_view BuiltinSkinBitmap();

} // namespace kolvarin
