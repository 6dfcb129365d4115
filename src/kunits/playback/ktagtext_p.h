#pragma once

// Text conversions of the tag readers and writers. They mirror the shared
// conversions of core/kstrings.h (same names, same treatment of bad input)
// and are to be replaced by them once that unit is part of the core.

#include <string>
#include <string_view>

namespace kolvarin::tagtext {

// Malformed sequences become U+FFFD; characters above U+FFFF become pairs.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Windows-1252 by table; the five unassigned bytes keep their number.
std::u16string AnsiToUtf16(std::string_view text);
// Characters the code page cannot hold become '?'.
std::string Utf16ToAnsi(std::u16string_view text);
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
