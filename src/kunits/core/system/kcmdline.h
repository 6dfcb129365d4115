#pragma once

#include <string>
#include <vector>

namespace kolvarin {

// Splits a command line into words the way the platform's programs always
// split theirs: blanks and control characters outside double quotes separate
// words, quotes group and are removed, and backslashes escape a quote
// (2n backslashes before a quote give n and the quote groups; 2n+1 give n and
// a literal quote; other backslashes are literal). Word 0 is the program.
std::vector<std::u16string> SplitCommandLine(const std::u16string& text);

// The inverse of SplitCommandLine for one word: quoted when it is empty or
// holds blanks, control characters or quotes, so every word arrives unchanged.
std::u16string QuoteCommandLineWord(const std::u16string& word);

// Joins words into one command line, each quoted as needed.
std::u16string JoinCommandLine(const std::vector<std::u16string>& words);

} // namespace kolvarin
