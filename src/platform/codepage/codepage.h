#pragma once

#include <string>
#include <string_view>

namespace kolvarin::codepage {

// Text conversions shared by every unit. The "ANSI code page" of the design
// is Windows-1252, done by table so the result never depends on the locale.
// None of these throw on bad input: malformed sequences become U+FFFD (to
// UTF-16 / UTF-8) or '?' (to Windows-1252).

// True for well-formed UTF-8 (no overlong forms, surrogates or code points
// past U+10FFFF).
bool IsValidUtf8(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
// Appends one code point (at most U+10FFFF), as a surrogate pair above U+FFFF.
void AppendUtf16(std::u16string& out, char32_t codePoint);
std::string Utf16ToUtf8(std::u16string_view text);

// Windows-1252 byte to UTF-16 code unit; the five unassigned bytes (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the code of the same number.
char16_t AnsiCharToWide(unsigned char c);
std::u16string AnsiToUtf16(std::string_view text);
// Characters the code page cannot hold become '?'.
std::string Utf16ToAnsi(std::u16string_view text);

// UTF-16 text as little-endian bytes (the form of the program's text files)
// and back; a trailing odd byte is dropped.
std::string Utf16ToLeBytes(std::u16string_view text);
std::u16string LeBytesToUtf16(std::string_view bytes);

// The DOS OEM code page 437, by table (names in zip archives made on DOS).
std::u16string OemToUtf16(std::string_view text);

// Lower-casing of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// capitals; other characters are kept.
char16_t WideLowerChar(char16_t c);
std::u16string WideLowerCase(std::u16string_view text);
// Lower-casing of Windows-1252 text (ASCII and the accented capitals).
std::string AnsiLowerCase(std::string_view text);

} // namespace kolvarin::codepage
