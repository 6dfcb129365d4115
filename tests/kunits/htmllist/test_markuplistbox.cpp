#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include "gdi/syscolors.h"
#include "gdi/textdraw.h"
#include "htmllist/markuplistbox.h"
#include "htmllist/picturecontainer.h"
#include "markupfixtures.h"
#include "shell/launcher.h"

using namespace kolvarin;
using namespace ktest::markup;

namespace {

class RecordingLauncher : public shell::Launcher {
public:
    RecordingLauncher() { shell::Launchers().install(this); }
    ~RecordingLauncher() override { shell::Launchers().install(nullptr); }
    bool open(const QUrl& url) override
    {
        opened.push_back(url.toString());
        return true;
    }
    std::vector<QString> opened;
};

int LineHeight(const gdi::Font& font = {})
{
    Surface s;
    s.canvas.font = font;
    gdi::Rect box;
    return gdi::DrawText(s.canvas, u"gh", box, gdi::DT_CALCRECT | gdi::DT_SINGLELINE | gdi::DT_EXTERNALLEADING);
}

int TextWidth(const std::u16string& text)
{
    Surface s;
    return s.canvas.textWidth(text);
}

struct ListFixture : ::testing::Test {
    ListFixture()
    {
        list.resize(200, 150);
        list.show();
        list.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&list));
    }
    QImage shown() { return list.viewport()->grab().toImage(); }
    QPoint centreOf(int index)
    {
        const gdi::Rect r = list.ItemRect(index);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    TMarkupListBox list;
};

QColor qcolor(gdi::Color c) { return QColor(gdi::GetRValue(c), gdi::GetGValue(c), gdi::GetBValue(c)); }

} // namespace

TEST_F(ListFixture, ItemsAreAsTallAsTheirMarkup)
{
    const int line = LineHeight();
    TPictureContainer pictures;
    pictures.Add()->Picture.LoadFromBytes(Encode(SolidImage(10, 400, Qt::red), "PNG"));
    pictures.Item(0).Name = "tall";
    list.SetPictureContainer(&pictures);
    list.Add("one line");
    list.Add("two<BR>lines");
    list.Add("<IMG src=\"tall\">");
    list.Add("");
    EXPECT_EQ(list.ItemHeightAt(0), line + 4);
    EXPECT_EQ(list.ItemHeightAt(1), 2 * line + 4);
    EXPECT_EQ(list.ItemHeightAt(2), std::min(list.ClientHeight(), 251) + 4); // cut to the client and 251
    EXPECT_EQ(list.ItemHeightAt(3), line + 4);
    list.SetAutoItemHeight(false);
    list.SetItemHeight(30);
    EXPECT_EQ(list.ItemHeightAt(1), 30);
    list.SetAutoItemHeight(true);
    EXPECT_EQ(list.ItemHeightAt(1), 2 * line + 4);
    list.SetLineSpacing(2);
    EXPECT_EQ(list.ItemHeightAt(1), 2 * (line + 2) + 4);
    list.SetPictureContainer(nullptr);
}

TEST_F(ListFixture, LongItemsWrapOrEndInAnEllipsis)
{
    const std::string text = "a text much too long for one line of the list, so it wraps at its blanks";
    list.Add(text);
    const int line = LineHeight();
    EXPECT_GT(list.ItemHeightAt(0), 2 * line);
    list.SetEllipsis(true);
    list.UpdateItemSizes();
    EXPECT_EQ(list.ItemHeightAt(0), line + 4);
    // The ellipsis keeps the text inside the item.
    const QImage image = shown();
    for (int y = 0; y < line + 4; ++y)
        EXPECT_EQ(image.pixelColor(list.ClientWidth() - 1, y), qcolor(gdi::GetSysColor(gdi::COLOR_WINDOW)));
}

TEST_F(ListFixture, HorizontalExtentFollowsTheWidestItem)
{
    list.SetScrollHorizontal(true);
    list.Add("short");
    EXPECT_EQ(list.HorizontalExtent(), 0); // fits: no scroll bar
    const std::string wide(120, 'w');
    list.Add(wide);
    EXPECT_EQ(list.HorizontalExtent(), TextWidth(std::u16string(120, u'w')) + 6);
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), list.HorizontalExtent() - list.ClientWidth());
    list.Delete(1);
    EXPECT_EQ(list.HorizontalExtent(), 0);
    list.Clear();
    EXPECT_EQ(list.HorizontalExtent(), 0);
}

TEST_F(ListFixture, SelectionFocusAndTheRestOfTheClient)
{
    list.Add("first");
    list.Add("second");
    list.SelectionColors().SetColorFrom(0x00FF00); // green
    list.setFocus();
    list.SetItemIndex(1);
    QImage image = shown();
    const gdi::Rect selected = list.ItemRect(1);
    EXPECT_EQ(image.pixelColor(selected.right - 3, selected.top + 2), QColor(0, 255, 0));
    // The focus rectangle inverts every other pixel of the item's border.
    const int x = selected.top % 2;
    EXPECT_EQ(image.pixelColor(x, selected.top), QColor(255, 0, 255));
    EXPECT_EQ(image.pixelColor(x + 1, selected.top), QColor(0, 255, 0));
    // Below the last item the control's colour.
    EXPECT_EQ(image.pixelColor(5, list.ClientHeight() - 2), qcolor(gdi::GetSysColor(gdi::COLOR_WINDOW)));

    list.SelectionColors().SetColorTo(0xFF0000); // green to blue, left to right
    image = shown();
    EXPECT_EQ(image.pixelColor(selected.left + 1, selected.top + 3), QColor(0, 255, 0));
    EXPECT_GT(image.pixelColor(selected.right - 2, selected.top + 3).blue(), 240);

    list.SetShowSelection(false);
    image = shown();
    EXPECT_EQ(image.pixelColor(selected.right - 3, selected.top + 2), qcolor(gdi::GetSysColor(gdi::COLOR_WINDOW)));
}

TEST_F(ListFixture, AnchorsOpenOnlyWebAndMailLinks)
{
    RecordingLauncher launcher;
    std::vector<std::pair<int, std::string>> clicks;
    list.OnAnchorClick = [&](TMarkupListControl*, int index, const std::string& anchor) {
        clicks.emplace_back(index, anchor);
    };
    const char* anchors[] = {
        "http://example.org/a", "HTTPS://example.org/b", "mailto:news@example.org", "page1",
        "file:///etc/passwd",   "javascript://alert(1)", "smb://host/share",
    };
    for (const char* anchor : anchors)
        list.Add(std::string("<A href=\"") + anchor + "\">link</A>");
    for (int i = 0; i < list.Count(); ++i)
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, list.ItemRect(i).top + 3));
    EXPECT_EQ(launcher.opened,
              (std::vector<QString>{"http://example.org/a", "https://example.org/b", "mailto:news@example.org"}));
    EXPECT_EQ(clicks, (std::vector<std::pair<int, std::string>>{{3, "page1"}}));
    EXPECT_EQ(list.ItemIndex(), -1); // a click on an anchor does not select
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(150, list.ItemRect(2).top + 3));
    EXPECT_EQ(list.ItemIndex(), 2);
}

TEST_F(ListFixture, HoverShowsTheHandAndFiresEnterAndExit)
{
    std::vector<std::string> events;
    list.OnAnchorEnter = [&](TMarkupListControl*, int, const std::string& a) { events.push_back("enter " + a); };
    list.OnAnchorExit = [&](TMarkupListControl*, int, const std::string& a) { events.push_back("exit " + a); };
    list.Add("<A href=\"one\">one</A> <A href=\"two\">two</A>");
    const int y = list.ItemRect(0).top + 4;
    const int two = 3 + TextWidth(u"one ") + 2;
    QTest::mouseMove(list.viewport(), QPoint(4, y));
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(list.viewport(), QPoint(two, y));
    QTest::mouseMove(list.viewport(), QPoint(190, y));
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(events, (std::vector<std::string>{"enter one", "exit one", "enter two", "exit two"}));
}

TEST_F(ListFixture, HintsShowTheAnchorOrTheItem)
{
    list.Add("<A href=\"target\">link</A> <B>plain</B>");
    const QPoint onLink(5, list.ItemRect(0).top + 4);
    const QPoint onItem(180, onLink.y());
    const QPoint below(5, list.ClientHeight() - 2);
    using Hint = std::optional<std::string>;
    EXPECT_EQ(list.HintText(onLink.x(), onLink.y()), std::nullopt);
    list.SetAnchorHint(true);
    list.OnAnchorHint = [](TMarkupListControl*, int, std::string& anchor) { anchor += "!"; };
    EXPECT_EQ(list.HintText(onLink.x(), onLink.y()), Hint("target!"));
    EXPECT_EQ(list.HintText(onItem.x(), onItem.y()), std::nullopt);
    list.SetItemHint(true);
    EXPECT_EQ(list.HintText(onItem.x(), onItem.y()), Hint("link plain"));
    list.SetHTMLHint(true);
    EXPECT_EQ(list.HintText(onItem.x(), onItem.y()), Hint("<A href=\"target\">link</A> <B>plain</B>"));
    EXPECT_EQ(list.HintText(below.x(), below.y()), std::nullopt);

    // The window system's hint request shows it.
    QHelpEvent help(QEvent::ToolTip, onLink, list.viewport()->mapToGlobal(onLink));
    QApplication::sendEvent(list.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "target!");
    QToolTip::hideText();
}

TEST_F(ListFixture, BlinkingTextAndAnimatedPictures)
{
    TPictureContainer pictures;
    pictures.Add()->Picture.LoadFromBytes(MakeGif(4, 4, {{0, 0, 4, 4, 0, 0}, {0, 0, 4, 4, 1, 0}}));
    pictures.Item(0).Name = "anim";
    list.SetPictureContainer(&pictures);
    list.Add("<IMG src=\"anim\"> <BLINK>WWWW</BLINK>");
    const gdi::Rect item = list.ItemRect(0);
    const QRect text(8, item.top, 60, item.height());
    auto inked = [&] {
        const QImage image = shown();
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x)
                if (image.pixelColor(x, y) != qcolor(gdi::GetSysColor(gdi::COLOR_WINDOW)))
                    return true;
        return false;
    };
    EXPECT_TRUE(inked());
    EXPECT_EQ(shown().pixelColor(3, item.top + 2), QColor(255, 0, 0));
    list.SetEnableBlink(true);
    list.BlinkTimerTick();
    list.BlinkTimerTick();
    EXPECT_EQ(shown().pixelColor(3, item.top + 2), QColor(0, 255, 0)); // the picture moved on
    EXPECT_FALSE(list.BlinkPhase());
    for (int tick = 0; tick < 3; ++tick)
        list.BlinkTimerTick();
    EXPECT_TRUE(list.BlinkPhase()); // every fifth tick
    EXPECT_FALSE(inked());
    list.SetEnableBlink(false);
    EXPECT_TRUE(inked());
    list.SetPictureContainer(nullptr);
}

TEST_F(ListFixture, SortingAndIncrementalSearch)
{
    const std::vector<std::string> items = {"<B>cherry</B>", "banana", "<I>apple</I>", "<Z>z</Z>avocado", "blue"};
    for (const std::string& item : items)
        list.Add(item);
    list.SetSortWithHTML(true);
    list.SetSorted(true);
    EXPECT_EQ(list.Items(),
              (std::vector<std::string>{"<B>cherry</B>", "<I>apple</I>", "<Z>z</Z>avocado", "banana", "blue"}));
    list.SetSortWithHTML(false);
    list.SetSorted(true);
    EXPECT_EQ(list.Items(),
              (std::vector<std::string>{"<I>apple</I>", "<Z>z</Z>avocado", "banana", "blue", "<B>cherry</B>"}));
    list.Add("aardvark"); // later additions are not placed
    EXPECT_EQ(list.Item(5), "aardvark");

    list.setFocus();
    QTest::keyClicks(&list, "b");
    EXPECT_EQ(list.ItemIndex(), 2);
    QTest::keyClicks(&list, "l"); // without IncrLookup only the last character counts: no item starts with "l"
    EXPECT_EQ(list.ItemIndex(), 2);
    list.SetIncrLookup(true);
    QTest::keyClick(&list, Qt::Key_Escape);
    QTest::keyClicks(&list, "bl");
    EXPECT_EQ(list.LookupText(), "bl");
    EXPECT_EQ(list.ItemIndex(), 3);
    QTest::keyClick(&list, Qt::Key_Backspace);
    EXPECT_EQ(list.LookupText(), "b");
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.LookupText(), "");
    EXPECT_EQ(list.ItemIndex(), 0);
    QTest::keyClicks(&list, "AV");
    EXPECT_EQ(list.ItemIndex(), 1); // by the plain text: hidden text does not count
    QTest::keyClick(&list, Qt::Key_Escape);
    QTest::keyClicks(&list, "aa"); // from the current item on, then from the top
    EXPECT_EQ(list.ItemIndex(), 5);
}

TEST_F(ListFixture, PlainTextAndComponentStyles)
{
    list.Add("<B>bold</B><BR>next");
    EXPECT_EQ(list.PlainText(0), "bold\r\nnext");
    EXPECT_THROW(list.PlainText(1), EMarkupListBoxError);
    EXPECT_THROW(list.PlainText(-1), EMarkupListBoxError);

    int changes = 0;
    TGradientStyle& colors = list.SelectionColors();
    colors.OnChange = [&] { ++changes; };
    list.SetComponentStyle(4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(colors.ColorFrom(), 0xEBFDFFu);
    EXPECT_EQ(colors.ColorMirrorTo(), 0x96E4FFu);
    EXPECT_EQ(list.SelectionFontColor(), clBlack);
    list.SetComponentStyle(7);
    EXPECT_EQ(colors.ColorFrom(), clHighlight);
    EXPECT_EQ(colors.ColorTo(), clNone);
    EXPECT_EQ(list.SelectionFontColor(), clHighlightText);
    colors.SetDirection(1);
    TGradientStyle other;
    other.SetColorTo(0x123456);
    colors.Assign(other);
    EXPECT_EQ(colors.ColorTo(), 0x123456u);
    EXPECT_EQ(colors.Direction(), 1); // not copied
    EXPECT_EQ(std::string(TMarkupListBox::Version()), "1.9.0.0");
}

TEST_F(ListFixture, AnEmptyListDrawsAndMeasuresNothing)
{
    list.SetScrollHorizontal(true);
    list.UpdateItemSizes();
    EXPECT_EQ(list.HorizontalExtent(), 0);
    EXPECT_EQ(shown().pixelColor(10, 10), qcolor(gdi::GetSysColor(gdi::COLOR_WINDOW)));
    list.SetSorted(true);
    QTest::keyClicks(&list, "x");
    EXPECT_EQ(list.ItemIndex(), -1);
}
