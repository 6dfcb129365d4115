#include "forms/fullscreencontrol.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace {

class FullscreenControlTest : public ::testing::Test {
protected:
    FullscreenControlTest()
    {
        InitGUI(skin_);
        TZipHandler zip;
        loaded_ = LoadSkinByName(skin_, kDefaultSkinName, true, zip) == kSkinLoaded;
        bar_ = std::make_unique<TfrmVideoFullscreenControl>(skin_);
        if (loaded_)
            ApplySkinToFullscreenControl(skin_, *bar_);
        Config = &config_;
    }
    ~FullscreenControlTest() override { Config = nullptr; }
    void SetUp() override
    {
        ASSERT_TRUE(loaded_);
        BarIsControlled = false;
        BarHidePending = false;
    }

    static void Enter(QWidget* w)
    {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(w, &enter);
    }
    static void Leave(QWidget* w)
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(w, &leave);
    }
    // Shows the bar through what the display component holds, then asks it
    // to hide.
    void ShowThenAskToHide()
    {
        bar_->ControlForm().SetPosition(QRect(0, 0, 1280, 1024));
        bar_->ControlForm().show();
        ASSERT_TRUE(bar_->isVisible());
        bar_->ControlForm().StartAutoHide();
        EXPECT_TRUE(BarHidePending);
    }

    TKGUI skin_;
    bool loaded_ = false;
    TKConfig config_;
    std::unique_ptr<TfrmVideoFullscreenControl> bar_;
};

} // namespace

TEST(FullscreenBar, PositionsBySkinAlignment)
{
    const QRect monitor(100, 0, 1280, 1024);
    const QSize bar(400, 60);
    const QPoint current(7, 7);
    const QPoint expected[] = {{100, 0},   {540, 0},   {980, 0},   {100, 482}, {980, 482},
                               {540, 482}, {100, 964}, {540, 964}, {980, 964}};
    for (uint8_t align = 0; align < 9; ++align)
        EXPECT_EQ(FullscreenBarPosition(align, monitor, bar, current), expected[align]) << int(align);
    EXPECT_EQ(FullscreenBarPosition(9, monitor, bar, current), current);
}

TEST_F(FullscreenControlTest, HideWaitsWhileAButtonIsHoveredAndFollowsTheLeave)
{
    ShowThenAskToHide();
    Enter(bar_->imgPauseButton);
    EXPECT_TRUE(BarIsControlled);
    bar_->MoveTimerTimer();
    EXPECT_TRUE(bar_->isVisible());
    Leave(bar_->imgPauseButton);
    bar_->MoveTimerTimer();
    EXPECT_FALSE(bar_->isVisible());
    EXPECT_FALSE(BarHidePending);
    EXPECT_FALSE(bar_->MoveTimer.isActive());
}

TEST_F(FullscreenControlTest, LeavingThePlayButtonClearsTheControlledFlag)
{
    ShowThenAskToHide();
    Enter(bar_->imgPlayButton);
    EXPECT_TRUE(BarIsControlled);
    Leave(bar_->imgPlayButton); // the flag used to stay set until the next interaction
    EXPECT_FALSE(BarIsControlled);
    bar_->MoveTimerTimer();
    EXPECT_FALSE(bar_->isVisible());
}

TEST_F(FullscreenControlTest, TimeDisplayTogglesTheTimeModeAndKeepsTheBarUp)
{
    ShowThenAskToHide();
    const QPoint at = bar_->imgTime->rect().center();
    QTest::mousePress(bar_->imgTime, Qt::LeftButton, {}, at);
    EXPECT_EQ(config_.TimeMode, 1);
    EXPECT_TRUE(BarIsControlled);
    QTest::mouseRelease(bar_->imgTime, Qt::LeftButton, {}, at);
    EXPECT_TRUE(bar_->IsControledTimer.isActive());
    bar_->MoveTimerTimer();
    EXPECT_TRUE(bar_->isVisible());
    bar_->IsControledTimerTimer(); // 3000 ms later
    bar_->MoveTimerTimer();
    EXPECT_FALSE(bar_->isVisible());
    QTest::mouseClick(bar_->imgTime, Qt::LeftButton, {}, at);
    EXPECT_EQ(config_.TimeMode, 0);
}

TEST_F(FullscreenControlTest, ProgressBarOfUnknownLengthIgnoresTheMouse)
{
    bar_->show();
    bar_->imgProgressBar->Tag = -1;
    QTest::mousePress(bar_->imgProgressBar, Qt::LeftButton, {}, bar_->imgProgressBar->rect().center());
    EXPECT_FALSE(BarIsControlled);
    bar_->imgProgressBar->Tag = 0;
    QTest::mousePress(bar_->imgProgressBar, Qt::LeftButton, {}, bar_->imgProgressBar->rect().center());
    EXPECT_TRUE(BarIsControlled);
}
