#include <gtest/gtest.h>

#include "zip/dztext.h"

using namespace kolvarin::dz;

TEST(DzText, Utf8RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
    EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(DzText, BadUtf8BecomesReplacementCharacters) {
    const struct {
        const char* bytes;
        std::u16string text;
    } cases[] = {
        {"a\x80z", u"a\uFFFDz"},          // lone continuation byte
        {"\xC3", u"\uFFFD"},              // cut-off sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},    // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // beyond U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
    }
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(DzText, CodePagesByTable) {
    EXPECT_EQ(FromCp437("\x81\x9C\xE1\xFF"), u"\u00fc\u00a3\u00df\u00a0");
    EXPECT_EQ(FromCp1252("\x80\x81\x9F\xE9"), u"\u20ac\u0081\u0178\u00e9");
    EXPECT_EQ(FromCp437("plain.txt"), u"plain.txt");
}
