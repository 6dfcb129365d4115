#include "video/dskitvideowindow.h"

#include <chrono>
#include <thread>

#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include "media/controlif.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"

using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

void ExpectColour(const QImage& image, QPoint at, unsigned rgb, int tolerance = 14)
{
    const QColor c = image.pixelColor(at);
    EXPECT_NEAR(c.red(), int(rgb >> 16 & 0xFF), tolerance);
    EXPECT_NEAR(c.green(), int(rgb >> 8 & 0xFF), tolerance);
    EXPECT_NEAR(c.blue(), int(rgb & 0xFF), tolerance);
}

class VideoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_.resize(400, 300);
        window_ = new TDSVideoWindowEx2(&form_);
        window_->setObjectName("DSVideoWindowEx");
        window_->setGeometry(0, 0, fx::kWidth * 2, fx::kHeight * 2);
        window_->SetFilterGraph(&graph_);
        graph_.SetActive(true);
    }
    void TearDown() override
    {
        graph_.SetActive(false);
        window_->SetFilterGraph(nullptr);
    }
    // Renders and pauses on the first picture.
    void Open(const std::filesystem::path& file)
    {
        ASSERT_TRUE(Succeeded(graph_.RenderFile(fx::FileName(file))));
        ASSERT_TRUE(graph_.Pause());
        OAFilterState state;
        graph_.Query<IMediaControl>()->GetState(3000, &state);
        QCoreApplication::processEvents();
    }
    QImage Shown() { return GrabVideoWindow(window_->GetFilter().get()); }

    QWidget form_;
    TFilterGraph graph_;
    TDSVideoWindowEx2* window_;
};

} // namespace

TEST_F(VideoWindowTest, EveryFixtureShowsItsColoursThroughTheMixer)
{
    for (const auto& file : {fx::MkvFixture(), fx::AviFixture(), fx::Mp4Fixture()}) {
        Open(file);
        EXPECT_TRUE(window_->OverlayInUse()) << file;
        EXPECT_TRUE(window_->Caps().CanOverlayGraphic());
        EXPECT_TRUE(window_->Caps().CanControlBrigtness());
        const QImage shown = Shown();
        ASSERT_EQ(shown.size(), QSize(fx::kWidth * 2, fx::kHeight * 2)) << file;
        ExpectColour(shown, {40, 120}, fx::kLeftColour);
        ExpectColour(shown, {280, 120}, fx::kRightColour);
        graph_.Stop();
        graph_.ClearGraph();
    }
}

TEST_F(VideoWindowTest, ColourControlChecksRangesAndReachesThePicture)
{
    Open(fx::Mp4Fixture());
    TColorControl& c = window_->ColorControl();
    EXPECT_EQ(c.Brightness(), 750);
    struct Case {
        void (TColorControl::*set)(int32_t);
        int32_t bad;
        const char* message;
    } bad[] = {
        {&TColorControl::SetBrightness, 10001, "Value 10001 out of range. Value must bee between 0 -> 10.000"},
        {&TColorControl::SetGamma, 0, "Value 0 out of range. Value must bee between 1 -> 500"},
        {&TColorControl::SetHue, 181, "Value 181 out of range. Value must bee between -180 -> 180"},
        {&TColorControl::SetSharpness, -1, "Value -1 out of range. Value must bee between 0 -> 10"},
    };
    for (const auto& b : bad) {
        try {
            (c.*b.set)(b.bad);
            ADD_FAILURE() << b.message;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), b.message);
        }
    }
    EXPECT_EQ(c.Brightness(), 750);
    c.SetHue(-180);
    c.SetHue(180);
    c.SetHue(0);
    c.SetBrightness(10000);
    graph_.Stop();
    Open(fx::Mp4Fixture());
    ExpectColour(Shown(), {40, 120}, 0xFFFFFF, 20);
    c.SetBrightness(750);
}

// The renderer's set-up reads the mixer's defaults and writes the user's
// values, which it used to overwrite with those defaults.
TEST_F(VideoWindowTest, TheRendererSetUpKeepsTheUsersColourValues)
{
    TColorControl& c = window_->ColorControl();
    c.SetBrightness(10000);
    Open(fx::Mp4Fixture());
    ASSERT_TRUE(window_->OverlayInUse());
    EXPECT_EQ(c.Brightness(), 10000);
    ExpectColour(Shown(), {40, 120}, 0xFFFFFF, 20);
    EXPECT_EQ(c.Defaults().lBrightness, 750) << "the mixer's own value stays the default";
}

TEST_F(VideoWindowTest, DigitalZoomShowsTheCentreOfTheSource)
{
    EXPECT_THROW(window_->SetDigitalZoom(100), std::runtime_error);
    Open(fx::Mp4Fixture());
    window_->SetDigitalZoom(50);
    auto video = window_->GetFilter().as<IBasicVideo>();
    int32_t left, top, width, height;
    video->GetSourcePosition(&left, &top, &width, &height);
    EXPECT_EQ(width, fx::kWidth / 2);
    EXPECT_EQ(left, fx::kWidth / 4);
    EXPECT_EQ(height, fx::kHeight / 2);
    window_->SetDigitalZoom(0);
    video->GetSourcePosition(&left, &top, &width, &height);
    EXPECT_EQ(width, fx::kWidth);
}

TEST_F(VideoWindowTest, DisplayModesKeepTheChosenMonitor)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    window_->StartFullScreenOn(screen);
    EXPECT_TRUE(window_->FullScreen());
    EXPECT_EQ(window_->parentWidget(), window_->FullscreenControlHandle());
    window_->StartDesktopPlaybackOn(screen);
    EXPECT_TRUE(window_->DesktopPlayback());
    EXPECT_FALSE(window_->FullScreen());
    EXPECT_EQ(window_->Monitor(), screen);
    window_->StartDesktopPlaybackOn(screen); // twice changes nothing
    EXPECT_TRUE(window_->DesktopPlayback());
    window_->LeaveFullScreen();
    EXPECT_FALSE(window_->DesktopPlayback());
    EXPECT_EQ(window_->parentWidget(), &form_);
    EXPECT_EQ(window_->Monitor(), nullptr);
}

TEST_F(VideoWindowTest, CursorHidesAfterAQuietTimeAndReturnsOnARealMove)
{
    Open(fx::Mp4Fixture());
    std::vector<bool> shown;
    window_->OnCursorShowHide = [&](bool show) { shown.push_back(show); };
    auto move = [&](QPoint global) {
        QMouseEvent e(QEvent::MouseMove, window_->mapFromGlobal(global), global, Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(window_, &e);
    };
    constexpr auto kQuiet = std::chrono::milliseconds(500);
    window_->SetAutoHideCursor(static_cast<int>(kQuiet.count()));
    const QPoint at(30, 40);
    move(at);
    bool done = false;
    window_->IdleAutoHideCursor(done);
    EXPECT_TRUE(done);
    EXPECT_FALSE(window_->CursorHidden()) << "the mouse moved just now";
    std::this_thread::sleep_for(kQuiet + std::chrono::milliseconds(50));
    window_->IdleAutoHideCursor(done);
    EXPECT_TRUE(window_->CursorHidden());
    move(at);
    EXPECT_TRUE(window_->CursorHidden()) << "a move to the same place is no move";
    move(at + QPoint(5, 0));
    EXPECT_FALSE(window_->CursorHidden());
    window_->IdleAutoHideCursor(done);
    EXPECT_FALSE(window_->CursorHidden()) << "the move began a new quiet time";
    EXPECT_EQ(shown, (std::vector<bool>{false, true}));
    TVideoFullscreenControlForm bare;
    EXPECT_THROW(bare.SetPosition({}), std::runtime_error);
}
