#include <gtest/gtest.h>

#include <QWidget>

#include "core/desktop/kwindowicon.h"
#include "gdi/canvas.h"
#include "skin/barpopupmenu.h"
#include "skin/hoverimage.h"
#include "skin/ktrayicon.h"
#include "skin/simpletimer.h"

using namespace kolvarin;

namespace {

// The hover tracker asks what lies under the cursor; the test says it.
class HoverTest : public ::testing::Test {
protected:
    HoverTest()
    {
        THoverImage::ControlAt = [this](QPoint) { return under_; };
        THoverImage::HasActiveWindow = [] { return true; };
    }
    ~HoverTest() override
    {
        THoverImage::ControlAt = [](QPoint) { return nullptr; };
        THoverImage::HasActiveWindow = [] { return false; };
    }

    QWidget window_;
    QWidget* under_ = nullptr;
};

} // namespace

TEST_F(HoverTest, MovingFromOneButtonToAnotherLeavesTheFirstBeforeTheSecondEnters)
{
    THoverImage play(&window_), stop(&window_);
    under_ = &play;
    play.HoverAt({1, 1});
    EXPECT_TRUE(play.Hovered());
    EXPECT_EQ(THoverImage::HoveredImage(), &play);
    under_ = &stop;
    play.HoverAt({1, 1}); // a move the first still receives changes nothing
    EXPECT_TRUE(play.Hovered());
    stop.HoverAt({30, 1});
    EXPECT_FALSE(play.Hovered());
    EXPECT_TRUE(stop.Hovered());
    EXPECT_EQ(THoverImage::HoveredImage(), &stop);
}

TEST_F(HoverTest, ThePeriodicCheckLeavesWhenTheMouseWentElsewhere)
{
    THoverImage play(&window_);
    under_ = &play;
    play.HoverAt({1, 1});
    play.HoverCheck();
    EXPECT_TRUE(play.Hovered());
    under_ = nullptr; // a fast move out of the window: no leave notification
    play.HoverCheck();
    EXPECT_FALSE(play.Hovered());
    EXPECT_EQ(THoverImage::HoveredImage(), nullptr);
}

TEST_F(HoverTest, ADisabledButtonStaysMarkedUntilAnotherIsHoveredOrItGoes)
{
    THoverImage play(&window_), stop(&window_);
    under_ = &play;
    play.HoverAt({1, 1});
    play.setEnabled(false);
    under_ = nullptr;
    play.HoverCheck();
    EXPECT_TRUE(play.Hovered()) << "leaving acts only on an enabled control";
    EXPECT_EQ(THoverImage::HoveredImage(), &play);
    under_ = &stop;
    stop.HoverAt({30, 1});
    EXPECT_EQ(THoverImage::HoveredImage(), &stop);
    EXPECT_TRUE(play.Hovered());
    {
        THoverImage gone(&window_);
        under_ = &gone;
        gone.HoverAt({60, 1});
        gone.setEnabled(false);
    }
    EXPECT_EQ(THoverImage::HoveredImage(), nullptr) << "never a control that is gone";
}

TEST(TrayIconTest, RecordsWhatItWouldShowAndCutsLongTexts)
{
    TKTrayIcon tray;
    tray.SetIcon(ProgramIcon());
    tray.SetIconVisible(true);
    tray.SetHint(u"Kolvarin - Ready");
    EXPECT_EQ(tray.Tip(), u"") << "no tip until ShowHint";
    tray.SetShowHint(true);
    EXPECT_EQ(tray.Tip(), u"Kolvarin - Ready");
    tray.SetHint(std::u16string(300, u'h'));
    EXPECT_EQ(tray.Tip().size(), 127u);
    tray.ShowBalloonHint(std::u16string(100, u't'), std::u16string(400, u'x'), TKTrayIcon::biWarning, 5);
    ASSERT_EQ(tray.Balloons().size(), 1u);
    EXPECT_EQ(tray.Balloons()[0].Title.size(), 63u);
    EXPECT_EQ(tray.Balloons()[0].Text.size(), 255u);
    EXPECT_EQ(tray.Balloons()[0].IconType, TKTrayIcon::biWarning);
    EXPECT_EQ(tray.Balloons()[0].TimeoutMs, 5000);
    EXPECT_FALSE(tray.Shown()) << "no notification area on the offscreen platform";
}

TEST(TrayIconTest, ADoubleClickHoldsTheSingleClickBack)
{
    TKTrayIcon tray;
    int downs = 0, clicks = 0, doubles = 0;
    tray.OnMouseDown = [&](TMouseButton, TShiftState, int, int) { ++downs; };
    tray.OnClick = [&] { ++clicks; };
    tray.OnDblClick = [&] { ++doubles; };
    tray.Clicked(TMouseButton::mbLeft);
    tray.DoubleClicked();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 0);
}

TEST(SimpleTimerTest, RunsOnlyWithIntervalAndHandlerAndStopsAfterOneTickWhenAsked)
{
    int ticks = 0;
    TSimpleTimer timer(0, [&](TSimpleTimer&) { ++ticks; });
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Running()) << "a zero interval never starts";
    timer.SetInterval(20);
    EXPECT_TRUE(timer.Running());
    timer.SetOnTimer({});
    EXPECT_FALSE(timer.Running()) << "no handler, no timer";
    timer.SetOnTimer([&](TSimpleTimer&) { ++ticks; });
    timer.AutoDisable = true;
    timer.Tick();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(timer.Running());
}

TEST(BarPopupMenuTest, TheSideBarHasItsGradientTextAndPicture)
{
    TBarPopupMenu menu;
    menu.SetBarWidth(25);
    menu.GradientStart = gdi::RGB(0, 0, 200);
    menu.GradientEnd = gdi::RGB(0, 0, 0);
    menu.VerticalText.clear();
    gdi::Bitmap picture(10, 6);
    gdi::Canvas c(picture);
    c.brush = {gdi::BrushStyle::Solid, gdi::RGB(255, 0, 255)};
    c.fillRect({0, 0, 10, 6});
    c.brush.color = gdi::RGB(0, 255, 0);
    c.fillRect({2, 2, 8, 4});
    picture.setTransparentColor(gdi::RGB(255, 0, 255));
    picture.setTransparent(true);
    menu.SetBitmap(picture);
    const QImage bar = menu.RenderSideBar(100);
    ASSERT_EQ(bar.size(), QSize(23, 100));
    EXPECT_EQ(qBlue(bar.pixel(5, 0)), 200);
    EXPECT_EQ(qBlue(bar.pixel(5, 50)), 100);
    // The picture sits at the bottom left, its transparent colour left out.
    EXPECT_EQ(bar.pixel(3, 96), qRgb(0, 255, 0));
    EXPECT_EQ(qRed(bar.pixel(0, 99)), 0);
    EXPECT_EQ(menu.contentsMargins().left(), 25) << "items start right of the bar";
}
