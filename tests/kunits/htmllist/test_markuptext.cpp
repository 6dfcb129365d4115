#include <gtest/gtest.h>

#include "htmllist/htmlcolors.h"
#include "htmllist/htmldraw.h"
#include "htmllist/markuptext_p.h"

using namespace kolvarin;
using namespace kolvarin::markup;

TEST(MarkupText, FrontEndRewritesEntitiesUntilNoneIsLeft)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a &amp; b", "a && b"},
        {"&AMP;amp;", "&&&"}, // the second "&" of "&&" starts the next entity
        {"&amp;quot;", "&\""},
        {"&quot;&sect;&permil;&reg;&copy;&para;&trade;&euro;", "\"\xA7\x89\xAE\xA9\xB6\x99\x80"},
        {"&lt;b&gt; &nbsp;", "&lt;b&gt; &nbsp;"}, // left for the text runs
        {"&unknown; &", "&unknown; &"},
        {"x<#FF0000>y<z>", "x#FF0000y<z>"}, // only the first "<#" loses its brackets
        {"one\r\ntwo\nthree", "one<BR>twothree"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(PrepareMarkup(in), out) << in;
    EXPECT_EQ(RunText("&lt;B&gt;&nbsp;&amp;"), "<B> &amp;");
}

TEST(MarkupText, AttributesAreFoundInTheUpperCasedTag)
{
    const std::string tag = R"(<FONT face="Deja Vu" size=12 color="#aaBBcc" bgcolorto="x">)";
    const std::string upper = UpperCase(tag);
    EXPECT_EQ(TagAttribute(tag, upper, "FACE"), "Deja Vu");
    EXPECT_EQ(TagAttribute(tag, upper, "SIZE"), "12");
    EXPECT_EQ(TagAttribute(tag, upper, " COLOR"), "#aaBBcc");
    // The first occurrence counts, so BGCOLOR finds BGCOLORTO and no "=".
    EXPECT_EQ(TagAttribute(tag, upper, "BGCOLOR"), "");
    EXPECT_EQ(TagAttribute(tag, upper, "ALIGN"), std::nullopt);
    EXPECT_EQ(FirstQuoted(R"(<A href="page1" x="y">)"), "page1");
    EXPECT_EQ(FirstQuoted(R"(<A href="open)"), "");

    const std::pair<const char*, int> numbers[] = {
        {"12px", 12}, {"-7", -7}, {"x3", 0}, {"", 0}, {"999999999999", 32767}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(LeadingNumber(text), value) << text;
    EXPECT_EQ(WholeNumber("120"), 120);
    EXPECT_EQ(WholeNumber("12a"), std::nullopt);
    EXPECT_EQ(WholeNumber("-"), std::nullopt);
}

TEST(MarkupColors, NamesAndHexValues)
{
    const std::pair<const char*, TColor> cases[] = {
        {"#FF0000", 0x0000FF}, {"#ff0000", 0x0000FF}, {"#00ff80", 0x80FF00},  {"clRed", 0x0000FF},
        {"CLRED", 0x0000FF},   {"clnavy", 0x800000},  {"clUnknown", clBlack}, {"clHighlight", 0xFF00000D},
        {"clBlack", clBlack},  {"", clNone},          {"#12", clBlack},       {"#GG0000", clBlack},
        {"#", clBlack},
    };
    for (const auto& [text, color] : cases)
        EXPECT_EQ(ColorFromAttribute(text), color) << text;
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(0xFF0000FF), 0u); // no such system colour
}

TEST(HTMLStrip, TakesTagsAndHiddenTextOut)
{
    const std::pair<const char*, const char*> cases[] = {
        {"one<BR>two<hr>three", "one\r\ntwo\r\nthree"},
        {"a<Z>hidden</Z>b<z>gone</z>c", "abc"},
        {"<B>bold</B> <FONT color=\"clRed\">red</FONT>", "bold red"},
        {"&amp; stays", "&amp; stays"},
        {"open <Z>end", "open end"}, // without "</Z>" only the tag goes
        {"cut <B", "cut "},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(HTMLStrip(in), out) << in;
}
