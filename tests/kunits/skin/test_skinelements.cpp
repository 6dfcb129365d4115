#include <gtest/gtest.h>

#include <QWidget>

#include "gdi/canvas.h"
#include "skin/kskinelements.h"

using namespace kolvarin;

namespace {

gdi::Bitmap Solid(int w, int h, gdi::Color color)
{
    gdi::Bitmap b(w, h);
    gdi::Canvas c(b);
    c.brush = {gdi::BrushStyle::Solid, color};
    c.fillRect({0, 0, w, h});
    return b;
}

int Count(const gdi::Bitmap& b, gdi::Color color)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            n += b.pixel(x, y) == color;
    return n;
}

constexpr gdi::Color kBack = gdi::RGB(10, 10, 10), kFill = gdi::RGB(200, 100, 0), kKey = gdi::RGB(255, 0, 255);

class SkinElementsTest : public ::testing::Test {
protected:
    SkinElementsTest() { skin_.TransparentColor = kKey; }

    TKGUI skin_;
    QWidget window_;
};

} // namespace

TEST_F(SkinElementsTest, ButtonsShowTheirStateAndReportClicksOnlyOverThemselves)
{
    TKSButton button;
    for (int i = 0; i < 4; ++i)
        button.Bitmaps[i] = Solid(4, 3, gdi::RGB(uint8_t(i), 0, 0));
    TKImage control(&window_);
    SkinShowButton(skin_, control, button);
    const struct {
        std::function<bool()> act;
        bool result;
        uint8_t state;
    } steps[] = {
        {[&] { return SkinButtonMouseDown(skin_, control, button, TMouseButton::mbRight); }, false, 1},
        {[&] { return SkinButtonMouseDown(skin_, control, button, TMouseButton::mbLeft); }, true, 3},
        {[&] { return SkinButtonMouseUp(skin_, control, button, TMouseButton::mbLeft, false); }, false, 1},
        {[&] { return (SkinButtonMouseEnterLeave(skin_, control, button, true), true); }, true, 2},
        {[&] { return SkinButtonMouseUp(skin_, control, button, TMouseButton::mbLeft, true); }, true, 2},
        {[&] { return (SkinButtonMouseEnterLeave(skin_, control, button, false), true); }, true, 1},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.act(), step.result);
        EXPECT_EQ(button.State, step.state);
        EXPECT_EQ(control.Picture().pixel(0, 0), gdi::RGB(button.State, 0, 0));
    }
}

TEST_F(SkinElementsTest, CheckBoxesToggleTheirTagOnEveryRelease)
{
    TKSCheckbox box;
    TKImage control(&window_);
    for (int round = 0; round < 3; ++round) {
        SkinCheckboxMouseDown(skin_, control, box);
        EXPECT_EQ(box.State, 2);
        SkinCheckboxMouseUp(skin_, control, box);
        EXPECT_EQ(control.Tag, round % 2 == 0 ? 1 : 0);
        EXPECT_EQ(box.State, round % 2 == 0 ? 3 : 1);
    }
}

TEST_F(SkinElementsTest, FillBarsFillInProportionInAllFourDirections)
{
    const int w = 10, h = 6;
    const struct {
        uint8_t align;
        int64_t value;
        int filled;
        gdi::Point inFill;
    } cases[] = {
        {baLeftToRight, 5, 30, {4, 0}},  {baRightToLeft, 5, 30, {5, 0}},  {baDownToUp, 5, 30, {0, 3}},
        {baUpToDown, 5, 30, {0, 2}},     {baLeftToRight, 10, 60, {9, 5}}, {baDownToUp, 10, 60, {0, 0}},
        {baLeftToRight, 0, 0, {-1, -1}}, {baRightToLeft, 0, 0, {-1, -1}}, {baUpToDown, 99, 60, {0, 5}},
        {baDownToUp, -7, 0, {-1, -1}},
    };
    for (const auto& c : cases) {
        TKSBar bar;
        bar.Align = c.align;
        bar.Size = {w, h};
        bar.Max = 10;
        bar.Value = c.value;
        bar.Bitmaps[0] = Solid(w, h, kBack);
        bar.Bitmaps[1] = Solid(w, h, kFill);
        TKImage control(&window_);
        SkinPaintBar(skin_, control, bar);
        EXPECT_EQ(Count(control.Picture(), kFill), c.filled) << int(c.align) << " at " << c.value;
        EXPECT_EQ(Count(control.Picture(), kKey), 0);
        if (c.inFill.x >= 0) {
            EXPECT_EQ(control.Picture().pixel(c.inFill.x, c.inFill.y), kFill) << int(c.align);
        }
    }
}

TEST_F(SkinElementsTest, FillBarMouseSetsTheValueAndGuardsAnEmptyBar)
{
    TKSBar bar;
    bar.Align = baDownToUp;
    bar.Size = {8, 20};
    bar.Max = 100;
    TKImage control(&window_);
    SkinBarMouseDown(skin_, control, bar, TMouseButton::mbLeft, 3, -40);
    EXPECT_EQ(bar.Value, 100) << "above the top is the maximum";
    SkinBarMouseMove(skin_, control, bar, ssLeft, 3, 15);
    EXPECT_EQ(bar.Value, 25);
    SkinBarMouseMove(skin_, control, bar, ssLeft | ssShift, 3, 0);
    EXPECT_EQ(bar.Value, 25) << "only the left button alone drags";
    bar.Size = {8, 0};
    SkinBarMouseMove(skin_, control, bar, ssLeft, 3, 10);
    EXPECT_EQ(bar.Value, 25) << "no extent, no division";
    EXPECT_DOUBLE_EQ(SkinBarPercent(bar), 25.0);
    bar.Max = 0;
    EXPECT_EQ(SkinBarPercent(bar), 0.0);
}

TEST_F(SkinElementsTest, SeekBarThumbsSitAtTheEndsForMinAndMax)
{
    TKSSeekBar bar;
    bar.BarAlign = sbaDownToUp;
    bar.BarSize = {12, 12};
    bar.Min = 1;
    bar.Max = 10;
    TKImage background(&window_), thumb(&window_);
    background.setGeometry(20, 30, 12, 70);
    const struct {
        int64_t value;
        int top;
    } cases[] = {{1, 30 + 58}, {10, 30}, {99, 30}, {-5, 88}, {4, 30 + 39}};
    for (const auto& c : cases) {
        bar.Value = c.value;
        SkinPlaceSeekBarThumb(skin_, background, thumb, bar);
        EXPECT_EQ(thumb.y(), c.top) << c.value;
        EXPECT_EQ(thumb.x(), 20);
    }
    EXPECT_EQ(bar.Travel, 58);
}

TEST_F(SkinElementsTest, DraggingAThumbPastTheEndsGivesExactlyMinAndMax)
{
    TKSSeekBar bar;
    bar.BarAlign = sbaLeftToRight;
    bar.BarSize = {10, 8};
    bar.Max = 200;
    bar.Value = 100;
    bar.BarBitmaps[0] = Solid(10, 8, kBack);
    bar.BarBitmaps[1] = Solid(10, 8, kFill);
    TKImage background(&window_), thumb(&window_);
    background.setGeometry(0, 0, 110, 8);
    SkinPlaceSeekBarThumb(skin_, background, thumb, bar);
    ASSERT_EQ(thumb.x(), 50);
    SkinSeekBarMouseDown(skin_, thumb, bar, TMouseButton::mbLeft, 5, 4);
    EXPECT_EQ(thumb.Picture().pixel(0, 0), kFill) << "pressed thumb";
    EXPECT_TRUE(SkinDragState().Dragging);
    SkinSeekBarMouseMove(skin_, background, thumb, bar, ssLeft, 500, 4);
    EXPECT_EQ(bar.Value, 200);
    EXPECT_EQ(thumb.x(), 100);
    SkinSeekBarMouseMove(skin_, background, thumb, bar, ssLeft, -500, 4);
    EXPECT_EQ(bar.Value, 0);
    EXPECT_EQ(thumb.x(), 0);
    SkinSeekBarMouseMove(skin_, background, thumb, bar, ssLeft, 30, 4);
    EXPECT_EQ(bar.Value, 50);
    SkinSeekBarMouseUp(skin_, thumb, bar);
    EXPECT_FALSE(SkinDragState().Dragging);
    EXPECT_EQ(thumb.Picture().pixel(0, 0), kBack);
    EXPECT_DOUBLE_EQ(SkinSeekBarPercent(bar), 25.0);

    // A thumb as wide as its track has no travel: the value stays.
    background.setGeometry(0, 0, 10, 8);
    SkinPlaceSeekBarThumb(skin_, background, thumb, bar);
    EXPECT_EQ(bar.Travel, 0);
    SkinSeekBarMouseDown(skin_, thumb, bar, TMouseButton::mbLeft, 5, 4);
    SkinSeekBarMouseMove(skin_, background, thumb, bar, ssLeft, 50, 4);
    EXPECT_EQ(bar.Value, 50);
    SkinSeekBarMouseUp(skin_, thumb, bar);
}

TEST_F(SkinElementsTest, ScrollLabelsRunRoundOrStandStill)
{
    TKSScrollLabel label;
    label.Size = {20, 12};
    label.Buffer.setSize(20, 12);
    label.Text = u"a text far longer than the label";
    label.Mode = smLeft;
    SkinScrollLabelSetText(skin_, label);
    const int width = label.TextWidth;
    ASSERT_GT(width, 20);
    TKSImage background;
    background.Bitmap = Solid(20, 12, kBack);
    TKImage backControl(&window_);
    TKPaintbox box(&window_);
    for (int i = 1; i <= width + 1; ++i) {
        SkinScrollLabelPaint(skin_, box, backControl, background, label);
        EXPECT_EQ(label.X1, -i);
        EXPECT_EQ(label.X2, width + 1 - i);
    }
    SkinScrollLabelPaint(skin_, box, backControl, background, label);
    EXPECT_EQ(label.X1, width);

    label.Text = u"ok";
    SkinScrollLabelSetText(skin_, label);
    SkinScrollLabelPaint(skin_, box, backControl, background, label);
    EXPECT_EQ(label.X1, 0) << "a text that fits stands still";
}

TEST_F(SkinElementsTest, TimeDigitsAdvanceByTheirGlyphs)
{
    TKSTime time;
    time.FormBorder = 1;
    const int widths[tcCount] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 2, 4, 3};
    for (int i = 0; i < tcCount; ++i) {
        time.Chars[i] = {widths[i], 4, 0, 0};
        time.CharBitmaps[i] = Solid(widths[i], 4, gdi::RGB(uint8_t(100 + i), 0, 0));
    }
    TKImage control(&window_);
    SkinPaintTime(skin_, control, time, {-1, 7, 1, 2, 10, 9}, true);
    const gdi::Bitmap& p = control.Picture();
    EXPECT_EQ(p.width(), 9 * (6 + 1)) << "nine space glyphs wide";
    // "-", blank, "7", ":", "1", "2", ":", nothing for 10, "9".
    const struct {
        int x;
        int glyph;
    } expected[] = {{0, tcMinus}, {5, tcSpace}, {12, 7}, {18, tcColon}, {21, 1}, {27, 2}, {33, tcColon}, {36, 9}};
    for (const auto& e : expected)
        EXPECT_EQ(p.pixel(e.x, 0), gdi::RGB(uint8_t(100 + e.glyph), 0, 0)) << "x " << e.x;
    EXPECT_EQ(p.pixel(41, 0), kKey) << "transparent after the last digit";
}

TEST_F(SkinElementsTest, ResizeFormsComposeCornersEdgesAndCentre)
{
    TKSResizeForm form;
    const gdi::Size sizes[eCount] = {{4, 3}, {2, 3}, {5, 3}, {4, 2}, {2, 2}, {5, 2}, {4, 6}, {2, 6}, {5, 6}};
    for (int k = 0; k < eCount; ++k)
        form.EdgeBitmaps[k] = Solid(sizes[k].cx, sizes[k].cy, gdi::RGB(uint8_t(10 * (k + 1)), 0, 0));
    SkinComposeResizeForm(form, 30, 20);
    const gdi::Bitmap& bg = form.Background;
    auto edge = [](int k) { return gdi::RGB(uint8_t(10 * (k + 1)), 0, 0); };
    EXPECT_EQ(bg.pixel(0, 0), edge(eTopLeft));
    EXPECT_EQ(bg.pixel(10, 1), edge(eTop));
    EXPECT_EQ(bg.pixel(29, 0), edge(eTopRight));
    EXPECT_EQ(bg.pixel(0, 8), edge(eLeft));
    EXPECT_EQ(bg.pixel(15, 10), edge(eCenter));
    EXPECT_EQ(bg.pixel(29, 8), edge(eRight));
    EXPECT_EQ(bg.pixel(0, 19), edge(eBottomLeft));
    EXPECT_EQ(bg.pixel(12, 15), edge(eBottom));
    EXPECT_EQ(bg.pixel(25, 14), edge(eBottomRight));
}

TEST_F(SkinElementsTest, PlaylistLayoutGivesAHiddenStatusBarsRoomToTheEditor)
{
    window_.resize(200, 150);
    QWidget editor(&window_), status(&window_);
    TKSResizeForm form;
    form.EdgeBitmaps[eLeft] = Solid(8, 1, kBack);
    form.EdgeBitmaps[eRight] = Solid(6, 1, kBack);
    form.EdgeBitmaps[eTop] = Solid(1, 20, kBack);
    form.EdgeBitmaps[eBottom] = Solid(1, 10, kBack);
    TKSPlaylistEditor element;
    element.Borders = {1, 2, 3, 4};
    TKSStatusBar bar;
    bar.Size = {8, 16};
    bar.Bitmap = Solid(8, 16, kFill);
    SkinLayoutPlaylist(skin_, editor, status, form, element, bar);
    EXPECT_EQ(editor.geometry(), QRect(9, 22, 200 - 14 - 4, 150 - 30 - 6 - 16));
    EXPECT_EQ(status.geometry(), QRect(9, 22 + 98, 182, 16));
    EXPECT_EQ(bar.Background.width(), 182);
    EXPECT_EQ(Count(bar.Background, kFill), 182 * 16);
    bar.Hidden = true;
    SkinLayoutPlaylist(skin_, editor, status, form, element, bar);
    EXPECT_EQ(editor.height(), 150 - 30 - 6);
    EXPECT_FALSE(status.isVisibleTo(&window_));
    bar.Hidden = false;
    bar.Align = 0;
    SkinLayoutPlaylist(skin_, editor, status, form, element, bar);
    EXPECT_EQ(status.y(), 22);
    EXPECT_EQ(editor.y(), 38);
}

TEST_F(SkinElementsTest, TheScrollThumbRunsAlongTheEditor)
{
    QWidget editor(&window_);
    editor.setGeometry(10, 20, 100, 110);
    TKImage thumb(&window_);
    TKSScrollBar bar;
    bar.Size = {6, 10};
    bar.Max = 50;
    bar.Position = 25;
    bar.Shown = true;
    SkinUpdatePlaylistScrollThumb(skin_, thumb, editor, bar);
    EXPECT_EQ(thumb.geometry(), QRect(110, 20 + 50, 6, 10));
    SkinScrollBarMouseDown(skin_, thumb, bar, TMouseButton::mbLeft, 3, 5);
    SkinScrollBarMouseMove(skin_, thumb, editor, bar, ssLeft, 3, 1000);
    EXPECT_EQ(bar.Position, 50);
    EXPECT_EQ(thumb.y(), 120);
    SkinScrollBarMouseUp(skin_, thumb, bar);
    bar.Max = 0;
    SkinUpdatePlaylistScrollThumb(skin_, thumb, editor, bar);
    EXPECT_EQ(bar.Position, 0);
}

TEST(SkinStylesTest, BrushAndPenNumbersFollowThePlaylistPainter)
{
    EXPECT_EQ(SkinBrushStyle(0), gdi::BrushStyle::Clear);
    EXPECT_EQ(SkinBrushStyle(1), gdi::BrushStyle::Solid);
    EXPECT_EQ(SkinBrushStyle(2), gdi::BrushStyle::BDiagonal);
    EXPECT_EQ(SkinBrushStyle(7), gdi::BrushStyle::Vertical);
    EXPECT_EQ(SkinBrushStyle(8), gdi::BrushStyle::Clear);
    EXPECT_EQ(SkinPenStyle(0), gdi::PenStyle::Clear);
    EXPECT_EQ(SkinPenStyle(1), gdi::PenStyle::Solid);
    EXPECT_EQ(SkinPenStyle(5), gdi::PenStyle::DashDotDot);
}
