#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/kgui.h"
#include "skin/kskinxml.h"

namespace kolvarin {

// Reads a line-oriented ".kskn" skin description into the record: 385
// content lines in a fixed order (empty lines and lines starting with "/"
// are skipped), each matched against the pattern of its position. A line
// that does not match, or that holds a number that does not fit 32 bits,
// changes none of its fields. CannotOpen when the file is missing,
// unreadable or larger than kMaxDescriptionBytes. Main thread only.
TKSkinReadResult ReadSkinKskn(TKGUI& skin, const std::string& fileName);
// The same from the file's bytes.
TKSkinReadResult ReadSkinKsknText(TKGUI& skin, std::string_view text);

// One value of a matched line.
struct TKsknValue {
    int32_t Int = 0;
    std::string Word;
};

// Matches a line against a pattern: a blank matches any run of blanks (also
// none), "%d" reads a decimal integer, "%s" a word up to the next blank,
// every other character must match exactly. The whole line must be used.
bool MatchKsknLine(std::string_view line, std::string_view pattern, std::vector<TKsknValue>& values);

} // namespace kolvarin
