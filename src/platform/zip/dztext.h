#pragma once

#include <string>

namespace kolvarin::dz {

// Text conversions the zip library needs at its two boundaries: member names
// stored as 8-bit text in archives, and file names handed to the operating
// system as UTF-8. Pure functions, any thread.

// Invalid UTF-16 (a lone surrogate) becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);
// Invalid or overlong UTF-8 becomes U+FFFD, one per bad byte.
std::u16string FromUtf8(const std::string& text);

// The DOS OEM code page 437, by table.
std::u16string FromCp437(const std::string& text);
// The ANSI code page Windows-1252, by table; its five unassigned bytes map to
// the C1 controls of the same value, as Windows does.
std::u16string FromCp1252(const std::string& text);

} // namespace kolvarin::dz
