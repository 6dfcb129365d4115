#include <gtest/gtest.h>

#include "playback/ktagtext_p.h"

using namespace kolvarin::tagtext;

TEST(TagTextTest, Latin1SafeTextsAreThoseEveryReaderDecodesAlike)
{
    EXPECT_TRUE(IsLatin1Safe(u"Café ÿ"));
    EXPECT_TRUE(IsLatin1Safe(u""));
    EXPECT_FALSE(IsLatin1Safe(u"€"));
    EXPECT_FALSE(IsLatin1Safe(u"\u0085"));
    EXPECT_FALSE(IsLatin1Safe(std::u16string(1, u'\0')));
    EXPECT_FALSE(IsLatin1Safe(u"ж"));
}

TEST(TagTextTest, IntegersAreWholeDecimalsInRange)
{
    struct Case {
        const char* text;
        bool ok;
        long long value;
    } cases[] = {
        {"7", true, 7}, {"+07", true, 7}, {"-3", true, -3}, {"65535", true, 65535}, {"65536", false, 0},
        {"", false, 0}, {"-", false, 0},  {"7 ", false, 0}, {"x1", false, 0},       {"99999999999999999999", false, 0}};
    for (const Case& c : cases) {
        long long value = 0;
        EXPECT_EQ(ParseInteger(c.text, -100, 65535, value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}
