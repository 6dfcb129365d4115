#include <gtest/gtest.h>

#include "playback/ktagtext_p.h"

using namespace kolvarin::tagtext;

TEST(TagTextTest, Utf8DecodingReplacesWhatIsNotText)
{
    struct Case {
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"plain", u"plain"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5", u"é€\U0001F3B5"},
        {"a\xFF" "b", u"a\uFFFDb"},               // never a lead byte
        {"a\xF8\x88\x80\x80\x80" "b", u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb"}, // five-byte form
        {"\xC0\xAF", u"\uFFFD\uFFFD"},             // overlong slash
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},   // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"ab\xE2\x82", u"ab\uFFFD\uFFFD"},         // cut sequence
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.expected) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(u"é€\U0001F3B5"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TagTextTest, Windows1252BothWays)
{
    EXPECT_EQ(AnsiToUtf16("\x80\x81\x9F\xA0\xFF"), u"€\u0081Ÿ\u00A0ÿ");
    EXPECT_EQ(Utf16ToAnsi(u"€Ÿÿж"), "\x80\x9F\xFF?");
    EXPECT_TRUE(IsLatin1Safe(u"Café ÿ"));
    EXPECT_FALSE(IsLatin1Safe(u"€"));
    EXPECT_FALSE(IsLatin1Safe(u"\u0085"));
}
