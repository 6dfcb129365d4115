#include "video/matchptn.h"

namespace kolvarin {

namespace {

using Byte = unsigned char;

// Matches the set starting at Pattern[0] == '[' against one text byte C.
// Returns the pattern position behind the closing ']' when C matches,
// else nullptr (also for malformed sets, which never match).
const Byte* MatchSet(const Byte* Pattern, Byte C)
{
    const Byte* p = Pattern + 1;
    if (*p == 0 || *p == '[' || *p == ']')
        return nullptr;
    const bool negated = *p == '^';
    if (negated)
        ++p;
    bool member = false;
    while (*p != ']') {
        if (*p == 0)
            return nullptr;
        const Byte first = *p++;
        if (p[0] == '-' && p[1] != 0 && p[1] != ']') {
            const Byte last = p[1];
            p += 2;
            const Byte low = first < last ? first : last;
            const Byte high = first < last ? last : first;
            member = member || (C >= low && C <= high);
        } else {
            member = member || C == first;
        }
    }
    return member != negated ? p + 1 : nullptr;
}

// Matches one single-character element; returns the pattern position behind
// it, or nullptr.
const Byte* MatchOne(const Byte* Pattern, Byte C)
{
    if (C == 0)
        return nullptr;
    if (*Pattern == '?')
        return Pattern + 1;
    if (*Pattern == '[')
        return MatchSet(Pattern, C);
    return *Pattern == C ? Pattern + 1 : nullptr;
}

} // namespace

// Every element other than '*' consumes exactly one character, so when a
// later element fails it is enough to let the most recent '*' swallow one
// more character: earlier stars can never do better. This keeps the search
// from branching at every star.
bool MatchPattern(const char* Text, const char* Pattern)
{
    const Byte* t = reinterpret_cast<const Byte*>(Text ? Text : "");
    const Byte* p = reinterpret_cast<const Byte*>(Pattern ? Pattern : "");
    const Byte* starPattern = nullptr; // behind the most recent '*'
    const Byte* starText = nullptr; // where that star's run would end next
    for (;;) {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            if (*p == 0)
                return true;
            starPattern = p;
            starText = t;
            continue;
        }
        if (*p == 0 && *t == 0)
            return true;
        if (*p != 0) {
            if (const Byte* next = MatchOne(p, *t)) {
                p = next;
                ++t;
                continue;
            }
        }
        if (!starPattern || *starText == 0)
            return false;
        p = starPattern;
        t = ++starText;
    }
}

} // namespace kolvarin
