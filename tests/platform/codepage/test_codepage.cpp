#include <gtest/gtest.h>

#include "codepage/codepage.h"

namespace kolvarin {
namespace {

TEST(KStrings, Utf8RoundTripsAndRepairs)
{
    const std::u16string all = u"A\u00E9\u20AC\uFFFF\U0001F600\U0010FFFF";
    EXPECT_EQ(codepage::Utf16ToUtf8(all), "A\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBF\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(codepage::Utf8ToUtf16(codepage::Utf16ToUtf8(all)), all);
    struct Case {
        std::string utf8;
        std::u16string utf16;
    } bad[] = {
        {"a\x80z", u"a\uFFFDz"}, // stray continuation
        {"\xC3", u"\uFFFD"}, // cut short
        {"\xC0\xAFx", u"\uFFFDx"}, // overlong
        {"\xED\xA0\x80x", u"\uFFFDx"}, // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"}, // beyond U+10FFFF
        {"\xE2\x82z", u"\uFFFDz"},
        {"\xFF", u"\uFFFD"},
    };
    for (const auto& c : bad)
        EXPECT_EQ(codepage::Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(codepage::Utf16ToUtf8(u"\xD800x\xDC00"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(KStrings, Windows1252)
{
    EXPECT_EQ(codepage::AnsiToUtf16("a\x80\x81\x9F\xA0\xFF"), u"a\u20AC\u0081\u0178\u00A0\u00FF");
    EXPECT_EQ(codepage::Utf16ToAnsi(u"a\u20AC\u0081\u0178\u00FF\u0100\u4E2D"), "a\x80\x81\x9F\xFF??");
    std::string every;
    for (int c = 0; c < 256; ++c)
        every += static_cast<char>(c);
    EXPECT_EQ(codepage::Utf16ToAnsi(codepage::AnsiToUtf16(every)), every);
}

TEST(KStrings, OemCodePage)
{
    EXPECT_EQ(codepage::OemToUtf16("\x81\x9C\xE1\xFF"), u"\u00fc\u00a3\u00df\u00a0");
    EXPECT_EQ(codepage::OemToUtf16("plain.txt"), u"plain.txt");
}

TEST(KStrings, LowerCase)
{
    EXPECT_EQ(
        codepage::WideLowerCase(u"ABC xyz \u00C9\u00D7\u00DE\u0100\u0139\u0178\u017D\u0130\u0138\u0391\u0410\u0401"),
        u"abc xyz \u00E9\u00D7\u00FE\u0101\u013A\u00FF\u017Ei\u0138\u03B1\u0430\u0451");
    EXPECT_EQ(codepage::AnsiLowerCase("ABC\xC9\xD7\x8A\x9F"), "abc\xE9\xD7\x9A\xFF");
}

} // namespace
} // namespace kolvarin
