#include <gtest/gtest.h>

#include "core/text/kfunctions.h"
#include "core/text/kwideformat.h"

namespace kolvarin {
namespace {

TEST(KUtilsText, NumberTests)
{
    const struct {
        const char* text;
        bool number;
        bool hex;
    } cases[] = {
        {"0123", true, true},    {"", true, false},     {"$1F", false, true}, {"1$F", false, false},
        {"abcDEF", false, true}, {"12g", false, false}, {"-1", false, false}, {"$", false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNumber(std::string_view(c.text)), c.number) << c.text;
        EXPECT_EQ(IsHexNumber(c.text), c.hex) << c.text;
    }
    EXPECT_TRUE(IsNumber(u"42"));
    EXPECT_FALSE(IsNumber(u"4 2"));
}

TEST(KUtilsText, PositionsAndCopies)
{
    EXPECT_EQ(CopyChars("abcdef", 2, 4), "bcd");
    EXPECT_EQ(CopyChars("abcdef", 0, 2), "ab");
    EXPECT_EQ(CopyChars("abcdef", 5, 99), "ef");
    EXPECT_EQ(CopyChars("abcdef", 4, 3), "");
    EXPECT_EQ(CopyWideChars(u"\u00E9t\u00E9", 2, 3), u"t\u00E9");

    EXPECT_EQ(PosText("PLAYLIST", "x [playlist]"), 4);
    EXPECT_EQ(PosText("\xC9t\xC9", "l'\xE9t\xE9"), 3);
    EXPECT_EQ(PosText(u"\u00C9T", u"l'\u00E9t\u00E9"), 3);
    EXPECT_EQ(PosText("", "abc"), 0);
    EXPECT_EQ(PosText("zz", "abc"), 0);
    EXPECT_EQ(LastPos("ab", "abcab"), 4);
    EXPECT_EQ(LastPos("AB", "abcab"), 0);
    EXPECT_EQ(LastPos(u"/", u"/a/b"), 3);

    EXPECT_EQ(ReplaceChar("a.b.c", '.', '_'), "a_b_c");
    EXPECT_EQ(ReplaceInvalidFileNameChars(u"a\"*/:<>?\\|b\u013F"), u"a_________b_"); // U+013F has low byte '?'
}

TEST(KUtilsText, Splitting)
{
    std::vector<std::string> list{"old"};
    EXPECT_FALSE(SplitString("a", ",", nullptr, false));
    ASSERT_TRUE(SplitString("a,,b,", ",", &list, false));
    EXPECT_EQ(list, (std::vector<std::string>{"a", "", "b", ""}));
    ASSERT_TRUE(SplitString("c::d", "::", &list, true));
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(list[5], "d");
    SplitDelimited(';', "x;y z", list);
    EXPECT_EQ(list, (std::vector<std::string>{"x", "y z"}));
    SplitDelimited(';', "", list);
    EXPECT_TRUE(list.empty());
}

TEST(KUtilsText, WideTests)
{
    EXPECT_EQ(TrimWide(u"\t  x y \r\n"), u"x y");
    EXPECT_EQ(TrimWide(u" \x01 "), u"");
    EXPECT_TRUE(WideStartsWith(u"Hello", u"HE", true));
    EXPECT_FALSE(WideStartsWith(u"Hello", u"HE", false));
    EXPECT_FALSE(WideStartsWith(u"", u"", false));
    EXPECT_FALSE(WideStartsWith(u"He", u"Hello", true));
    const struct {
        const char16_t* text;
        bool url;
    } urls[] = {
        {u"HTTP://radio", true}, {u"https://x", true}, {u"mms://x", true},
        {u"ftp://x", false},     {u"http:/x", false},  {u"/music/http://", false},
    };
    for (const auto& u : urls)
        EXPECT_EQ(IsURL(u.text), u.url);
}

TEST(KUtilsText, ValuesAndTimes)
{
    EXPECT_EQ(BoolToStr(true), "true");
    EXPECT_EQ(BoolToStr(false), "false");
    for (const char* t : {"true", "TRUE", "True", "1"})
        EXPECT_TRUE(StrToBool(std::string_view(t))) << t;
    for (const char* t : {"yes", "", "0", "11", "truee"})
        EXPECT_FALSE(StrToBool(std::string_view(t))) << t;
    EXPECT_TRUE(StrToBool(u"tRUE"));

    EXPECT_EQ(ValueToPercent(50, 0, 200), 25);
    EXPECT_EQ(ValueToPercent(-5, -10, 10), 25);
    EXPECT_EQ(ValueToPercent(3, 7, 7), 0);
    const TRGBBytes rgb = ColorToRGBBytes(0x00336699);
    EXPECT_EQ(rgb.Red, 0x99);
    EXPECT_EQ(rgb.Green, 0x66);
    EXPECT_EQ(rgb.Blue, 0x33);
    struct R {
        int Left, Top, Right, Bottom;
    } r{10, 20, 15, 50};
    EXPECT_EQ(RectWidth(r), 5);
    EXPECT_EQ(RectHeight(r), 30);

    EXPECT_EQ(GetRevisionText(u"[$Rev: 411 $]"), u" - Revision 411");
    EXPECT_EQ(GetRevisionText(u"x [$Rev:  7  $] y"), u" - Revision 7");
    EXPECT_EQ(GetRevisionText(u"[$Rev: 411"), u"");

    const TKTimeParts t = MillisecondsToTime(90061000);
    EXPECT_EQ(t.Days, 1);
    EXPECT_EQ(t.Hours, 1);
    EXPECT_EQ(t.Minutes, 1);
    EXPECT_EQ(t.Seconds, 1);
    EXPECT_EQ(MillisecondsToTime(-5).Seconds, 0);
    EXPECT_EQ(TimeToMilliseconds(255, 59, 59), 255 * 3600000LL + 59 * 60000 + 59000);
}

TEST(KUtilsText, WideFormatConversions)
{
    const std::u16string name = u"Caf\u00E9";
    EXPECT_EQ(WideFormat(u"[ DVD: %s ]", name), u"[ DVD: Caf\u00E9 ]");
    EXPECT_EQ(WideFormat(u"%d items, %u%%", -3, 7u), u"-3 items, 7%");
    EXPECT_EQ(WideFormat(u"%.2d:%.2d:%.2d", 1, 2, 30), u"01:02:30");
    EXPECT_EQ(WideFormat(u"%5d|%-5d|%05d|%05d", 42, 42, 42, -42), u"   42|42   |00042|-0042");
    EXPECT_EQ(WideFormat(u"%x %X %#x %08X", 255, 255, 255, 0xBEEF), u"ff FF 0xff 0000BEEF");
    EXPECT_EQ(WideFormat(u"%u %x", -1, -1), u"4294967295 ffffffff");
    EXPECT_EQ(WideFormat(u"%d", int64_t(1) << 40), u"1099511627776");
    EXPECT_EQ(WideFormat(u"%ld %I64d %lu", 5, int64_t(-6), 7u), u"5 -6 7");
    EXPECT_EQ(WideFormat(u"%3.1f|%.2f|%f", 2.25, -0.5, 1.0), u"2.2|-0.50|1.000000");
    EXPECT_EQ(WideFormat(u"%5.1f%%", 99.96), u"100.0%");
    EXPECT_EQ(WideFormat(u"%c%c", 65, u"Bx"), u"AB");
    EXPECT_EQ(WideFormat(u"%-6s|%6s|%.2s", u"ab", u"ab", u"abcdef"), u"ab    |    ab|ab");
    // Wrong or missing arguments print by their own type or not at all.
    EXPECT_EQ(WideFormat(u"%d-%s-%s", u"text", 12), u"text-12-");
    EXPECT_EQ(WideFormat(u"%q %"), u"q %");
    // The result is capped.
    EXPECT_EQ(WideFormat(u"%2000s", u"x").size(), 1024u);
    EXPECT_EQ(WideFormat(std::u16string(3000, u'a')).size(), 1024u);
}

} // namespace
} // namespace kolvarin
