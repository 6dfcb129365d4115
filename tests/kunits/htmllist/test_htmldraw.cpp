#include <QIcon>

#include <gtest/gtest.h>

#include "gdi/syscolors.h"
#include "gdi/textdraw.h"
#include "htmllist/htmldraw.h"
#include "htmllist/imagelist.h"
#include "htmllist/picturecontainer.h"
#include "markupfixtures.h"
#include "temphome.h"

using namespace kolvarin;
using namespace ktest::markup;

namespace {

THTMLDrawResult Lay(Surface& s, const std::string& markup, const gdi::Rect& rect,
                    const std::function<void(THTMLDrawArgs&)>& tweak = {})
{
    THTMLDrawArgs args;
    args.Canvas = &s.canvas;
    args.Text = markup;
    args.Rect = rect;
    if (tweak)
        tweak(args);
    THTMLDrawResult result;
    HTMLDraw(args, result);
    return result;
}

THTMLDrawResult Measure(const std::string& markup, int width = 200, bool wordWrap = true)
{
    Surface s;
    return Lay(s, markup, {0, 0, width, 100}, [&](THTMLDrawArgs& a) {
        a.MeasureOnly = true;
        a.WordWrap = wordWrap;
    });
}

int Width(const std::u16string& text, gdi::Font font = {})
{
    Surface s;
    s.canvas.font = font;
    return s.canvas.textWidth(text);
}

int LineHeight(gdi::Font font = {})
{
    Surface s;
    s.canvas.font = font;
    gdi::Rect box;
    return gdi::DrawText(s.canvas, u"gh", box, gdi::DT_CALCRECT | gdi::DT_SINGLELINE | gdi::DT_EXTERNALLEADING);
}

gdi::Font Points(int size, bool bold = false)
{
    gdi::Font f;
    f.size = size;
    f.bold = bold;
    return f;
}

} // namespace

TEST(HTMLDrawMeasure, EntitiesAndPrefixesDrawTheirCharacters)
{
    const std::pair<const char*, const char16_t*> cases[] = {
        {"&lt;B&gt;x", u"<B>x"}, // never opens a tag, and the text is not bold
        {"a&amp;b", u"a&b"},     {"a&&b", u"a&b"}, {"&copy;2024", u"\u00A92024"}, {"tab&nbsp;stop", u"tab stop"},
    };
    for (const auto& [markup, shown] : cases) {
        const THTMLDrawResult r = Measure(markup);
        EXPECT_EQ(r.Width, Width(shown)) << markup;
        EXPECT_EQ(r.Height, LineHeight()) << markup;
    }
    EXPECT_EQ(Measure("<B>bold</B>").Width, Width(u"bold", Points(8, true)));
}

TEST(HTMLDrawMeasure, FontSizesFollowTheSizeTable)
{
    const std::pair<const char*, int> cases[] = {
        {"1", 8}, {"2", 10}, {"3", 12}, {"4", 14}, {"5", 16}, {"20", 20}, {"99999", 400},
    };
    for (const auto& [size, points] : cases) {
        const THTMLDrawResult r = Measure("<FONT size=\"" + std::string(size) + "\">Wg</FONT>");
        EXPECT_EQ(r.Height, LineHeight(Points(points))) << size;
        EXPECT_EQ(r.Width, Width(u"Wg", Points(points))) << size;
    }
    // Closing the tag goes back to the base size.
    EXPECT_EQ(Measure("<FONT size=\"5\">a</FONT>b").Width, Width(u"a", Points(16)) + Width(u"b"));
}

TEST(HTMLDrawMeasure, LinesBreakAtBlanksAndTags)
{
    const int line = LineHeight();
    const int word = Width(u"wwwwwwwwwwwwwwwwwwww");
    struct Case {
        std::string markup;
        int width;
        bool wrap;
        int lines;
    };
    const Case cases[] = {
        {"one two three", 1000, true, 1},
        {"one two three", Width(u"one ") + Width(u"two ") + 1, true, 2}, // a run's trailing blank counts
        {"wwwwwwwwwwwwwwwwwwww x", word / 2, true, 2}, // a word wider than the rectangle stands alone
        {"one two three", Width(u"one") + 2, false, 1}, // no wrapping: one line with an ellipsis
        {"<UL><LI>one<LI>two</UL>", 1000, true, 2},
        {"a<BR>b<BR>c", 1000, true, 3},
        {"a<P>b</P>c", 1000, true, 2},
        {"<B>no</B>blank<I>between</I>words", Width(u"noblank"), true, 1}, // words are never split
    };
    for (const Case& c : cases) {
        const THTMLDrawResult r = Measure(c.markup, c.width, c.wrap);
        EXPECT_EQ(r.Height, c.lines * line) << c.markup << " in " << c.width;
    }
    EXPECT_GE(Measure("wwwwwwwwwwwwwwwwwwww x", word / 2).Width, word);
    // A trailing blank does not count for the line's width.
    EXPECT_EQ(Measure("one two three", Width(u"one ") + Width(u"two ") + 1).Width,
              Width(u"one ") + Width(u"two ") - Width(u" "));
}

TEST(HTMLDrawMeasure, SpacingAndRaisedTextAddRoom)
{
    const int line = LineHeight();
    Surface s;
    const auto spaced = Lay(s, "a<BR>b", {0, 0, 200, 100}, [](THTMLDrawArgs& a) {
        a.MeasureOnly = true;
        a.LineSpacing = 3;
    });
    EXPECT_EQ(spaced.Height, 2 * (line + 3));
    EXPECT_EQ(Measure("x<SUP>2</SUP>").Height, line + line / 4);
    EXPECT_EQ(Measure("x<SUB>2</SUB><SUP>3</SUP>").Height, line + 2 * (line / 4));
    EXPECT_EQ(Measure("").Height, LineHeight());
}

TEST(HTMLDrawPixels, AlignmentPlacesTheLine)
{
    const int width = Width(u"XXXX");
    const gdi::Rect rect{10, 0, 210, 30};
    struct Case {
        const char* markup;
        int left;
    };
    const Case cases[] = {
        {"XXXX", 11},
        {"<P align=\"left\">XXXX</P>", 11},
        {"<P align=\"right\">XXXX</P>", 210 - width},
        {"<P align=\"center\">XXXX</P>", 11 + (210 - 11 - width) / 2},
        {"<P indent=\"20\">XXXX</P>", 31},
        {"<IND x=\"50\">XXXX", 60},
    };
    for (const Case& c : cases) {
        Surface s;
        Lay(s, c.markup, rect);
        const gdi::Rect ink = InkBox(s.bitmap, rect);
        // The glyphs of "X" sit within their advance.
        EXPECT_GE(ink.left, c.left) << c.markup;
        EXPECT_LE(ink.left, c.left + 2) << c.markup;
        EXPECT_LE(ink.right, c.left + width) << c.markup;
    }
}

TEST(HTMLDrawPixels, TagColoursAreIgnoredForSelectedItems)
{
    const gdi::Rect rect{0, 0, 200, 30};
    Surface plain;
    Lay(plain, "<FONT color=\"#FF0000\">XXXX</FONT> plain", rect);
    EXPECT_GT(CountReddish(plain.bitmap, rect), 10);
    Surface selected;
    Lay(selected, "<FONT color=\"#FF0000\">XXXX</FONT> plain", rect, [](THTMLDrawArgs& a) { a.Selected = true; });
    EXPECT_EQ(CountReddish(selected.bitmap, rect), 0);
    EXPECT_FALSE(InkBox(selected.bitmap, rect).isEmpty());

    // A background colour of a FONT tag fills the text's cell.
    Surface filled;
    Lay(filled, "<FONT bgcolor=\"#00FF00\">XX</FONT>", rect);
    EXPECT_GT(CountColor(filled.bitmap, rect, gdi::RGB(0, 255, 0)), Width(u"XX") * LineHeight() / 2);
}

TEST(HTMLDrawPixels, BulletsAtTheirLevels)
{
    const gdi::Rect rect{0, 0, 200, 60};
    Surface s;
    const auto r = Lay(s, "<UL><LI>one<UL><LI>two</UL></UL>", rect);
    const int line = LineHeight();
    ASSERT_EQ(r.Height, 2 * line);
    // Level 1: the bullet at the line's left, the text 12 pixels on.
    const gdi::Rect bullet1 = InkBox(s.bitmap, {0, 0, 13, line});
    EXPECT_FALSE(bullet1.isEmpty());
    EXPECT_GE(InkBox(s.bitmap, {0, 0, 200, line}).right, 13 + Width(u"one") - 2);
    // Level 2: a circle 12 pixels further, nothing left of it.
    EXPECT_TRUE(InkBox(s.bitmap, {0, line, 13, 2 * line}).isEmpty());
    EXPECT_FALSE(InkBox(s.bitmap, {13, line, 25, 2 * line}).isEmpty());
    EXPECT_EQ(r.Width, std::max(12 + Width(u"one"), 24 + Width(u"two")));
}

TEST(HTMLDrawPixels, PicturesLandOnTheirPixels)
{
    TPictureContainer pictures;
    TPictureItem* red = pictures.Add();
    red->Name = "Dot";
    red->Picture.LoadFromBytes(Encode(SolidImage(4, 3, QColor(255, 0, 0)), "PNG"));
    TImageList list(5, 5);
    list.Add(SolidImage(5, 5, QColor(0, 0, 255)));
    const auto withPictures = [&](THTMLDrawArgs& a) {
        a.PictureContainer = &pictures;
        a.Images = &list;
    };
    const gdi::Rect rect{10, 20, 200, 80};
    struct Case {
        const char* markup;
        gdi::Rect box;
        gdi::Color color;
    };
    const Case cases[] = {
        {"<IMG src=\"dot\">", {11, 20, 15, 23}, gdi::RGB(255, 0, 0)}, // names ignore letter case
        {"<IMG src=\"DOT\" width=\"8\" height=\"6\">", {11, 20, 19, 26}, gdi::RGB(255, 0, 0)},
        {"<IMG src=\"IDX:0\">", {11, 20, 16, 25}, gdi::RGB(0, 0, 255)},
    };
    for (const Case& c : cases) {
        Surface s;
        Lay(s, c.markup, rect, withPictures);
        EXPECT_EQ(InkBox(s.bitmap, rect), c.box) << c.markup;
        EXPECT_EQ(CountColor(s.bitmap, rect, c.color), c.box.width() * c.box.height()) << c.markup;
    }
    // Pictures that are missing, or lists without the index, take no room.
    for (const char* missing : {"<IMG src=\"nope\">", "<IMG src=\"IDX:1\">", "<IMG src=\"C:\\x.png\">"}) {
        Surface s;
        EXPECT_EQ(Lay(s, missing, rect, withPictures).Width, 0) << missing;
        EXPECT_TRUE(InkBox(s.bitmap, rect).isEmpty()) << missing;
    }
    // Text next to a picture with ALIGN="MIDDLE" is raised by half the room.
    Surface s;
    const int line = LineHeight();
    pictures.Add()->Picture.LoadFromBytes(Encode(SolidImage(4, 40, QColor(255, 0, 0)), "PNG"));
    pictures.Item(1).Name = "tall";
    Lay(s, "<IMG src=\"tall\" align=\"middle\">XX", rect, withPictures);
    const gdi::Rect text = InkBox(s.bitmap, {15, 20, 200, 80});
    EXPECT_LE(text.bottom, 20 + 40 - (40 - line) / 2);
    EXPECT_GT(text.bottom, 20 + 40 - (40 - line) / 2 - line);
}

TEST(HTMLDrawPixels, ShellIconsByIndexComeFromTheIconTheme)
{
    // A theme of one picture: the folder, green, in both sizes.
    ktest::TempDir dir;
    std::string index = "[Icon Theme]\nName=ktest\nDirectories=16x16/places,32x32/places\n";
    for (const char* size : {"16", "32"}) {
        index += std::string("[") + size + "x" + size + "/places]\nSize=" + size + "\nType=Fixed\n";
        const int side = std::stoi(size);
        dir.write(std::string("icons/ktest/") + size + "x" + size + "/places/folder.png",
                  Encode(SolidImage(side, side, QColor(0, 200, 0)), "PNG"));
    }
    dir.write("icons/ktest/index.theme", index);
    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString((dir.path() / "icons").string())});
    QIcon::setThemeName(QStringLiteral("ktest"));
    const gdi::Rect rect{10, 20, 200, 80};
    const struct {
        const char* markup;
        int side;
        bool drawn;
    } cases[] = {
        {"<IMG src=\"SSYS:3\">", 16, true}, {"<IMG src=\"LSYS:3\">", 32, true}, {"<IMG src=\"SSYS:99\">", 16, false}};
    for (const auto& c : cases) {
        Surface s;
        EXPECT_EQ(Lay(s, c.markup, rect, [](THTMLDrawArgs&) {}).Width, c.side) << c.markup;
        EXPECT_EQ(CountColor(s.bitmap, rect, gdi::RGB(0, 200, 0)), c.drawn ? c.side * c.side : 0) << c.markup;
    }
    QIcon::setThemeName(theme);
    QIcon::setThemeSearchPaths(paths);
}

TEST(HTMLDrawPixels, AnchorsInTheirColourWithFocus)
{
    const gdi::Rect rect{0, 0, 200, 30};
    Surface s;
    const auto r = Lay(s, "go <A href=\"x\">there</A> now", rect, [](THTMLDrawArgs& a) {
        a.AnchorColor = 0x0000FF;
        a.FocusAnchor = 0;
    });
    EXPECT_EQ(r.FocusAnchor, "x");
    EXPECT_EQ(r.AnchorCount, 1);
    const int start = 1 + Width(u"go ");
    const int end = start + Width(u"there");
    EXPECT_GT(CountReddish(s.bitmap, {start, 0, end, 30}), 10);
    EXPECT_EQ(CountReddish(s.bitmap, {0, 0, start, 30}) + CountReddish(s.bitmap, {end + 1, 0, 200, 30}), 0);
    // The dotted focus rectangle: every other pixel of its left edge inverted.
    const int line = LineHeight(); // no leading in the test font
    const int top = line - s.canvas.textHeight(u"gh");
    int inverted = 0;
    for (int y = top; y < line; ++y)
        inverted += s.bitmap.pixel(start - 1, y) == 0;
    EXPECT_GE(inverted, (line - top) / 2 - 1);
}

TEST(HTMLDrawPixels, BackgroundsGradientsAndRules)
{
    // BODY with two colours: 64 bands from left to right.
    Surface s;
    const gdi::Rect rect{0, 0, 128, 20};
    Lay(s, "<BODY bgcolor=\"#000000\" bgcolorto=\"#FC0000\"></BODY>", rect);
    for (int band : {0, 1, 31, 63}) {
        const int red = (band * 0xFC + 32) / 64; // round half to even never arises here
        EXPECT_EQ(s.bitmap.pixel(2 * band, 10), gdi::RGB(std::uint8_t(red), 0, 0)) << band;
    }
    EXPECT_EQ(s.bitmap.pixel(127, 19), gdi::RGB(0xF8, 0, 0));
    // A selected item shows no body background.
    Surface selected;
    Lay(selected, "<BODY bgcolor=\"clRed\">x</BODY>", rect, [](THTMLDrawArgs& a) { a.Selected = true; });
    EXPECT_EQ(CountColor(selected.bitmap, rect, gdi::RGB(255, 0, 0)), 0);
    // A paragraph colour fills its lines across the rectangle; HR draws a black line under its line.
    Surface p;
    const int line = LineHeight();
    Lay(p, "<P bgcolor=\"#00FF00\">x</P><HR>", {0, 0, 100, 60});
    EXPECT_EQ(p.bitmap.pixel(99, 0), gdi::RGB(0, 255, 0));
    EXPECT_EQ(p.bitmap.pixel(50, line - 1), gdi::RGB(0, 255, 0));
    EXPECT_EQ(CountColor(p.bitmap, {0, line + 1, 100, line + 2}, 0), 100);
}

TEST(HTMLDrawPixels, HiddenBlinkingShadedAndMarkedText)
{
    const gdi::Rect rect{0, 0, 200, 30};
    Surface hidden;
    const auto r = Lay(hidden, "<Z>secret</Z>", rect);
    EXPECT_TRUE(InkBox(hidden.bitmap, rect).isEmpty());
    EXPECT_EQ(r.Stripped, "secret");
    EXPECT_EQ(r.Width, 0);

    Surface blinkOff;
    Lay(blinkOff, "<BLINK>XXX</BLINK>", rect, [](THTMLDrawArgs& a) { a.BlinkVisible = false; });
    EXPECT_TRUE(InkBox(blinkOff.bitmap, rect).isEmpty());
    Surface blinkOn;
    Lay(blinkOn, "<BLINK>XXX</BLINK>", rect);
    EXPECT_FALSE(InkBox(blinkOn.bitmap, rect).isEmpty());

    Surface shaded;
    Lay(shaded, "<SHADE>X</SHADE>", rect, [](THTMLDrawArgs& a) {
        a.ShadowColor = 0x0000FF;
        a.ShadowOffset = 3;
    });
    const gdi::Rect shadow = InkBox(shaded.bitmap, rect);
    Surface plain;
    Lay(plain, "X", rect);
    EXPECT_EQ(shadow.right, InkBox(plain.bitmap, rect).right + 3);
    EXPECT_GT(CountReddish(shaded.bitmap, rect), 0);

    Surface marked;
    Lay(marked, "<E>word</E>", rect);
    const int line = LineHeight();
    EXPECT_GT(CountColor(marked.bitmap, {0, line - 1, 200, line + 2}, gdi::RGB(255, 0, 0)), Width(u"word") / 2);
}

TEST(HTMLDrawHitTest, AnchorsUnderThePoint)
{
    const std::string markup = "<A href=\"one\">first</A> plain <B><A href=\"two\">second</A></B>";
    const int line = LineHeight();
    const int firstEnd = 1 + Width(u"first");
    const int secondStart = 1 + Width(u"first plain ");
    struct Case {
        gdi::Point point;
        bool hit;
        const char* anchor;
        int number;
    };
    const Case cases[] = {
        {{3, line / 2}, true, "one", 0},
        {{firstEnd + 3, line / 2}, false, "", -1},
        {{secondStart + 2, line / 2}, true, "two", 1},
        {{3, line + 5}, false, "", -1}, // below the line
        {{3, 0}, false, "", -1}, // above the text
    };
    for (const Case& c : cases) {
        Surface s;
        const auto r = Lay(s, markup, {0, 0, 300, 40}, [&](THTMLDrawArgs& a) {
            a.HitTest = true;
            a.HitPoint = c.point;
        });
        EXPECT_EQ(r.AnchorHit, c.hit) << c.point.x << "," << c.point.y;
        EXPECT_EQ(r.Anchor, c.anchor) << c.point.x;
        EXPECT_EQ(r.HitAnchor, c.number) << c.point.x;
        EXPECT_EQ(r.AnchorCount, 2);
        EXPECT_TRUE(InkBox(s.bitmap, {0, 0, 300, 40}).isEmpty()); // hit testing draws nothing
    }
    Surface s;
    const auto r = Lay(s, markup, {0, 0, 300, 40}, [&](THTMLDrawArgs& a) {
        a.HitTest = true;
        a.HitPoint = {3, line / 2};
    });
    EXPECT_EQ(r.HitAnchorRect, (gdi::Rect{1, 0, firstEnd, line}));

    // A picture inside an anchor is a hit too.
    TPictureContainer pictures;
    pictures.Add()->Picture.LoadFromBytes(Encode(SolidImage(20, 20, Qt::red), "PNG"));
    pictures.Item(0).Name = "p";
    const auto picture = Lay(s, "<A href=\"pic\"><IMG src=\"p\"></A>", {0, 0, 300, 40}, [&](THTMLDrawArgs& a) {
        a.HitTest = true;
        a.HitPoint = {5, 2};
        a.PictureContainer = &pictures;
    });
    EXPECT_EQ(picture.Anchor, "pic");
}

TEST(HTMLDrawBadInput, EndsAndDrawsWithinTheRectangle)
{
    const std::string deep = std::string(20000, '<') + std::string(5000, 'B') + std::string(20000, '>');
    std::string nested;
    for (int i = 0; i < 5000; ++i)
        nested += "<UL><FONT size=\"3\"><A href=\"x\"><B><SUP>";
    const std::string cases[] = {
        "<",
        "<<",
        "<B",
        "</",
        "<>",
        "<IMG",
        "<IMG src=>",
        "<FONT color=\"#\">x",
        "<FONT size=\"-5\">x",
        "<IMG src=\"x://\" width=\"99999\" height=\"99999\">",
        "<P align=>",
        "<R a=\"99999\">x</R>",
        "<IND x=\"99999999\">x",
        "&amp;&amp;&amp;&;&&",
        "<LI><LI><LI>",
        "</UL></UL></A></FONT>",
        deep,
        nested,
        std::string(100000, 'w'),
        std::string("a\0b", 3),
    };
    for (const std::string& markup : cases) {
        Surface s;
        const auto measured = Lay(s, markup, {10, 10, 100, 100}, [](THTMLDrawArgs& a) { a.MeasureOnly = true; });
        EXPECT_GE(measured.Height, 0);
        Lay(s, markup, {10, 10, 100, 100});
        const gdi::Rect ink = InkBox(s.bitmap, {0, 0, 240, 120});
        if (!ink.isEmpty()) {
            EXPECT_GE(ink.top, 10) << markup.substr(0, 60);
        }
    }
}
