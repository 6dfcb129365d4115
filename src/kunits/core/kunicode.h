#pragma once

#include <string>

namespace kolvarin {

// Conversions at the boundary between UTF-16 texts and UTF-8 (file names,
// the operating system). Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

} // namespace kolvarin
