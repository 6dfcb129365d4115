#pragma once

namespace kolvarin {

// True when the whole zero-terminated Text matches the wildcard Pattern:
// '*' any run of characters, '?' one character, "[a-c]" / "[^a-c]" one
// character in (or not in) a set. Bytes compare by value, so matching is
// case-sensitive. Time is at most proportional to the product of the two
// lengths, however many '*' the pattern holds. Null pointers count as empty.
bool MatchPattern(const char* Text, const char* Pattern);

} // namespace kolvarin
