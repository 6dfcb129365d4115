#include <QTest>

#include <gtest/gtest.h>

#include "gdi/syscolors.h"
#include "gdi/textdraw.h"
#include "htmllist/markupchecklist.h"
#include "markupfixtures.h"

using namespace kolvarin;
using namespace ktest::markup;

namespace {

struct CheckListFixture : ::testing::Test {
    CheckListFixture()
    {
        list.resize(220, 160);
        list.OnCheckClick = [this](TMarkupCheckList*) { ++checkClicks; };
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    void clickBox(int index)
    {
        const gdi::Rect r = list.ItemRect(index);
        const int left = list.GetLevel(index) * TMarkupCheckList::CheckColumn;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(left + 7, (r.top + r.bottom) / 2));
    }
    QImage shown() { return list.viewport()->grab().toImage(); }
    TMarkupCheckList list;
    int checkClicks = 0;
};

QColor qcolor(TColor c)
{
    const gdi::Color rgb = ColorToRGB(c);
    return QColor(gdi::GetRValue(rgb), gdi::GetGValue(rgb), gdi::GetBValue(rgb));
}

} // namespace

TEST_F(CheckListFixture, ClicksRunThroughTheStates)
{
    list.Add("plain");
    std::vector<TCheckBoxState> seen;
    for (int click = 0; click < 3; ++click) {
        clickBox(0);
        seen.push_back(list.GetState(0));
    }
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbChecked}));
    list.SetAllowGrayed(true);
    list.SetState(0, cbUnchecked);
    seen.clear();
    for (int click = 0; click < 3; ++click) {
        clickBox(0);
        seen.push_back(list.GetState(0));
    }
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(checkClicks, 6);
    EXPECT_FALSE(list.GetChecked(0));
    // A click on the text selects without toggling.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(100, 4));
    EXPECT_EQ(list.GetState(0), cbUnchecked);
    EXPECT_EQ(list.ItemIndex(), 0);
}

TEST_F(CheckListFixture, HeadingsAndDisabledItemsKeepTheirState)
{
    list.Add("<B>Audio</B>");
    list.Add("mp3");
    list.Add("ogg");
    list.SetHeader(0, true);
    list.SetState(0, cbChecked);
    list.SetItemEnabled(2, false);
    list.SetChecked(2, true);
    for (int index : {0, 2})
        clickBox(index);
    list.Toggle(7); // outside the list
    EXPECT_FALSE(list.GetChecked(0)); // a heading never reads as checked
    EXPECT_EQ(list.GetState(0), cbChecked);
    EXPECT_TRUE(list.GetChecked(2));
    EXPECT_EQ(checkClicks, 0);
    // Items without written state read as the defaults.
    EXPECT_EQ(list.GetState(1), cbUnchecked);
    EXPECT_TRUE(list.GetItemEnabled(1));
    EXPECT_EQ(list.GetLevel(1), 0);
    EXPECT_FALSE(list.GetHeader(1));
    EXPECT_EQ(list.GetData(1), 0u);
    EXPECT_EQ(list.GetState(-1), cbUnchecked);
}

TEST_F(CheckListFixture, BoxesStandAtTheirLevels)
{
    list.Add("<B>Heading</B>");
    list.Add("level 0");
    list.Add("level 1");
    list.Add("disabled");
    list.SetHeader(0, true);
    list.SetLevel(2, 1);
    list.SetChecked(1, true);
    list.SetItemEnabled(3, false);
    const QImage image = shown();
    const int column = TMarkupCheckList::CheckColumn;
    auto boxAt = [&](int index, int left) {
        const gdi::Rect r = list.ItemRect(index);
        const int x = left + (column - CheckBoxWidth) / 2;
        const int y = r.top + (r.height() - CheckBoxHeight) / 2;
        return std::pair{x, y};
    };
    // Flat: a one-pixel outline in the button shadow colour 1 pixel inside the box.
    for (auto [index, left] : {std::pair{1, 0}, std::pair{2, column}}) {
        const auto [x, y] = boxAt(index, left);
        EXPECT_EQ(image.pixelColor(x + 1, y + 6), qcolor(clBtnShadow)) << index;
        EXPECT_EQ(image.pixelColor(x + 11, y + 6), qcolor(clBtnShadow)) << index;
        EXPECT_EQ(image.pixelColor(x + 2, y + 2), qcolor(clWindow)) << index;
    }
    // The check mark of a checked box; nothing left of a level-1 box.
    const auto [x1, y1] = boxAt(1, 0);
    EXPECT_EQ(image.pixelColor(x1 + 3 + 6, y1 + 3), qcolor(clWindowText));
    EXPECT_EQ(image.pixelColor(2, list.ItemRect(2).top + 6), qcolor(clWindow));
    // A disabled box is filled with the button face.
    const auto [x3, y3] = boxAt(3, 0);
    EXPECT_EQ(image.pixelColor(x3 + 2, y3 + 2), qcolor(clBtnFace));
    // The heading's text starts at the left; an item's text after its box.
    auto inkLeft = [&](int index, int from) {
        const gdi::Rect r = list.ItemRect(index);
        for (int x = from; x < list.ClientWidth(); ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (image.pixelColor(x, y) != qcolor(clWindow))
                    return x;
        return -1;
    };
    EXPECT_LE(inkLeft(0, 0), 4);
    EXPECT_GE(inkLeft(1, column), column + 2);
    EXPECT_GE(inkLeft(2, 2 * column), 2 * column + 2);
}

TEST_F(CheckListFixture, ARightToLeftListHasItsCheckColumnAtTheRight)
{
    list.setLayoutDirection(Qt::RightToLeft);
    list.Add("level 0");
    list.Add("level 1");
    list.SetLevel(1, 1);
    list.SetChecked(0, true);
    const int column = TMarkupCheckList::CheckColumn;
    const int right = list.ClientWidth();
    const QImage image = shown();
    for (auto [index, edge] : {std::pair{0, right}, std::pair{1, right - column}}) {
        const gdi::Rect r = list.ItemRect(index);
        const int x = edge - column + (column - CheckBoxWidth) / 2;
        const int y = r.top + (r.height() - CheckBoxHeight) / 2;
        EXPECT_EQ(image.pixelColor(x + 1, y + 6), qcolor(clBtnShadow)) << index;
        EXPECT_EQ(image.pixelColor(x + 11, y + 6), qcolor(clBtnShadow)) << index;
        EXPECT_EQ(image.pixelColor(1, y + 6), qcolor(clWindow)) << "no box at the left";
    }
    // A click on the mirrored box toggles it; one on the left edge does not.
    const gdi::Rect r = list.ItemRect(1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(right - column - 7, (r.top + r.bottom) / 2));
    EXPECT_TRUE(list.GetChecked(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(7, (r.top + r.bottom) / 2));
    EXPECT_TRUE(list.GetChecked(1));
    EXPECT_EQ(checkClicks, 1);
}

TEST_F(CheckListFixture, DuplicatesWaitAsideWithTheirLevelAndData)
{
    for (const char* item : {"mp3", "ogg", "mp3", "OGG", "wav", "ogg"})
        list.Add(item);
    for (int i = 0; i < list.Count(); ++i) {
        list.SetLevel(i, i % 2);
        list.SetData(i, 100 + i);
    }
    list.SetDuplicates(false);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"mp3", "ogg", "wav"}));
    list.SetDuplicates(false); // the same value again does nothing
    EXPECT_EQ(list.Count(), 3);
    list.SetDuplicates(true);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"mp3", "ogg", "wav", "mp3", "OGG", "ogg"}));
    EXPECT_EQ(list.GetData(3), 102u);
    EXPECT_EQ(list.GetLevel(3), 0);
    EXPECT_EQ(list.GetData(4), 103u);
    EXPECT_EQ(list.GetLevel(4), 1);
}

TEST_F(CheckListFixture, ItemsAreOneLineOfTheFontHigh)
{
    list.Add("one<BR>two");
    Surface s;
    EXPECT_EQ(list.ItemHeightAt(0), s.canvas.textHeight(u"Wg"));
    gdi::Font big;
    big.size = 20;
    list.SetItemFont(big);
    s.canvas.font = big;
    EXPECT_EQ(list.ItemHeight(), s.canvas.textHeight(u"Wg"));
    EXPECT_EQ(list.ItemHeightAt(0), s.canvas.textHeight(u"Wg"));
    list.OnMeasureItem = [](TMarkupCheckList*, int, int& height) { height = 40; };
    list.Add("measured");
    EXPECT_EQ(list.ItemHeightAt(1), 40);
}

TEST_F(CheckListFixture, StatesOutliveTheWindow)
{
    list.Add("a");
    list.Add("b");
    list.SetState(0, cbGrayed);
    list.SetItemEnabled(1, false);
    list.hide();
    QWidget parent;
    list.setParent(&parent);
    parent.show();
    list.show();
    EXPECT_EQ(list.GetState(0), cbGrayed);
    EXPECT_FALSE(list.GetItemEnabled(1));
    list.setParent(nullptr);
    EXPECT_THROW(list.PlainText(2), EMarkupListBoxError);
}
