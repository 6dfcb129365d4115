#pragma once

// Text helpers of the tag readers and writers, beside the shared
// conversions of core/kstrings.h.

#include <string>
#include <string_view>

namespace kolvarin::tagtext {

// True when every character has the same code in ISO-8859-1 and in
// Windows-1252, so one byte per character says it for every reader.
bool IsLatin1Safe(std::u16string_view text);

// Characters of code 32 or less removed from both ends (or the end only).
std::u16string TrimWide(std::u16string_view text);
std::string TrimAnsi(std::string_view text);
std::string TrimRightAnsi(std::string_view text);

// The text up to its first NUL byte.
std::string_view UpToNul(std::string_view text);

// A decimal integer with an optional sign and nothing else; false when the
// text is not one or does not fit into [min, max].
bool ParseInteger(std::string_view text, long long min, long long max, long long& value);

} // namespace kolvarin::tagtext
