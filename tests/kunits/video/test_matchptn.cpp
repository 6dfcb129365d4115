#include "video/matchptn.h"

#include <algorithm>
#include <random>
#include <string>

#include <gtest/gtest.h>

using kolvarin::MatchPattern;

TEST(MatchPattern, Table)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"movie.avi", "*.avi", true},
        {"movie.avi", "*.AVI", false},
        {"a", "a*", true},
        {"a", "a**", true},
        {"ab", "*x", false},
        {"b", "[a-c]", true},
        {"b", "[^a-c]", false},
        {"d", "[^a-c]", true},
        {"", "[^a]", false},
        {"x", "[]x]", false},
        {"x", "[[x]", false},
        {"x", "[x", false},
        {"x", "[", false},
        {"", "", true},
        {"", "?", false},
        {"", "*", true},
        {"abc", "abc", true},
        {"abc", "ab", false},
        {"ab", "abc", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"b", "[c-a]", true}, // a range counts between its ends either way
        {"-", "[a-]", true}, // '-' before ']' stands for itself
        {"e", "[a-ce]", true},
        {"\xE9t\xE9", "[\xE0-\xEF]t?", true}, // bytes above 127 compare by value
        // Backtracking: a star must give back what a later element needs.
        {"abcbcd", "a*bcd", true},
        {"abcbce", "a*bcd", false},
        {"aaab", "*a*b", true},
        {"mississippi", "m*iss*ppi", true},
        {"mississippi", "m*iss*ppx", false},
        {"x.tar.gz", "*.gz", true},
        {"x.gz.tar", "*.gz", false},
        {"abc", "*?*?*?*", true},
        {"ab", "*?*?*?*", false},
        {"video_1080p.mkv", "*[0-9][0-9]p.[a-z]??", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchPattern(c.text, c.pattern), c.match) << '"' << c.text << "\" vs \"" << c.pattern << '"';
    EXPECT_TRUE(MatchPattern(nullptr, nullptr));
    EXPECT_TRUE(MatchPattern(nullptr, "*"));
}

// Forty stars against a text that almost matches: with one recursive try per
// star and position this would not finish within the test's time-out.
TEST(MatchPattern, ManyStarsStayFast)
{
    const std::string text(2000, 'a');
    std::string pattern;
    for (int i = 0; i < 40; ++i)
        pattern += "*a";
    pattern += "b";
    EXPECT_FALSE(MatchPattern(text.c_str(), pattern.c_str()));
    EXPECT_TRUE(MatchPattern((text + "b").c_str(), pattern.c_str()));
}

namespace {

// The matcher as first written: every star tries every split recursively.
// Exponential on bad patterns, but obviously right on short ones.
bool ReferenceMatch(const unsigned char* t, const unsigned char* p)
{
    for (;; ++p, ++t) {
        if (*p == 0)
            return *t == 0;
        if (*p == '*') {
            if (p[1] == 0)
                return true;
            for (const unsigned char* s = t; *s; ++s)
                if (ReferenceMatch(s, p + 1))
                    return true;
            return ReferenceMatch(t + std::char_traits<char>::length(reinterpret_cast<const char*>(t)), p + 1);
        }
        if (*t == 0)
            return false;
        if (*p == '?')
            continue;
        if (*p == '[') {
            const unsigned char* q = p + 1;
            if (*q == 0 || *q == '[' || *q == ']')
                return false;
            const bool negated = *q == '^';
            q += negated;
            bool member = false;
            for (; *q != ']'; ++q) {
                if (*q == 0)
                    return false;
                if (q[1] == '-' && q[2] != 0 && q[2] != ']') {
                    const unsigned char lo = std::min(q[0], q[2]), hi = std::max(q[0], q[2]);
                    member |= *t >= lo && *t <= hi;
                    q += 2;
                } else {
                    member |= *t == *q;
                }
            }
            if (member == negated)
                return false;
            p = q;
            continue;
        }
        if (*p != *t)
            return false;
    }
}

} // namespace

TEST(MatchPattern, AgreesWithTheRecursiveDefinition)
{
    std::mt19937 rng(42);
    const char textChars[] = "ab-]";
    const char patternChars[] = "ab*?[]^-";
    for (int round = 0; round < 20000; ++round) {
        std::string text, pattern;
        for (int i = rng() % 7; i > 0; --i)
            text += textChars[rng() % 4];
        for (int i = rng() % 8; i > 0; --i)
            pattern += patternChars[rng() % 8];
        ASSERT_EQ(MatchPattern(text.c_str(), pattern.c_str()),
                  ReferenceMatch(reinterpret_cast<const unsigned char*>(text.c_str()),
                                 reinterpret_cast<const unsigned char*>(pattern.c_str())))
            << '"' << text << "\" vs \"" << pattern << '"';
    }
}
