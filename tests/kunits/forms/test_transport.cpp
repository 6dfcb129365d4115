// The main window and the full-screen bar show one transport: the volume
// moved on either shows on both, and a progress drag on either holds the
// play system's updates and gives back the status text it found.
#include <QTest>

#include "core/text/kstrings.h"
#include "forms/fullscreencontrol.h"
#include "forms/useractions.h"
#include "mainformfixture.h"
#include "skin/kskinapply.h"

using namespace kolvarin;

namespace ktest {
namespace {

class TransportTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        bar = std::make_unique<TfrmVideoFullscreenControl>();
        ApplySkinToFullscreenControl(GUI, *bar);
        main->SetFullscreenControl(bar.get());
        bar->show();
        SetRange(0, 10000, 5000);
    }
    void TearDown() override
    {
        main->SetFullscreenControl(nullptr);
        bar.reset();
        MainFormTest::TearDown();
    }
    void SetRange(int64_t min, int64_t max, int64_t value) { main->ShowVolume({min, max, value}); }
    // Drags the volume control a window shows (its seek bar's thumb or its
    // bar) from its centre by dx pixels.
    template <class Window>
    static void DragVolume(Window& window, bool seekBar, int dx)
    {
        TKImage& control = seekBar ? *window.imgVolumeSeekbarBar : *window.imgVolume;
        ASSERT_TRUE(control.isVisible());
        const QPoint from = control.rect().center();
        QTest::mousePress(&control, Qt::LeftButton, {}, from);
        QTest::mouseMove(&control, from + QPoint(dx, 0));
        QTest::mouseRelease(&control, Qt::LeftButton, {}, from + QPoint(dx, 0));
    }
    // Both windows show one volume, and it is the one that plays (which the
    // play system takes in steps of 100).
    void ExpectOneVolume(const char* after)
    {
        const TKPanelValue shownMain = main->Panel().Volume(), shownBar = bar->Panel().Volume();
        EXPECT_EQ(shownMain.Value, shownBar.Value) << after;
        EXPECT_EQ(shownMain.Max, shownBar.Max) << after;
        EXPECT_EQ(system->VolumeBar().Position, shownMain.Value - shownMain.Value % 100) << after;
    }

    std::unique_ptr<TfrmVideoFullscreenControl> bar;
};

TEST_F(TransportTest, AWheelStepShowsOnBothWindowsWhicheverControlEachShows)
{
    for (const bool mainSeek : {true, false})
        for (const bool barSeek : {true, false}) {
            SCOPED_TRACE(std::string("main seek bar ") + (mainSeek ? "yes" : "no") + ", bar seek bar " +
                         (barSeek ? "yes" : "no"));
            GUI.Main.VolumeSeekBar.Visible = mainSeek;
            GUI.VideoFullscreenControl.VolumeSeekBar.Visible = barSeek;
            SetRange(0, 10000, 5000);
            VolumeUp();
            EXPECT_EQ(main->Panel().Volume().Value, 5100);
            ExpectOneVolume("a step up");
            VolumeDown();
            VolumeDown();
            EXPECT_EQ(bar->Panel().Volume().Value, 4900);
            ExpectOneVolume("two steps down");
        }
}

TEST_F(TransportTest, AVolumeDraggedOnEitherWindowShowsOnBothAndStaysForTheNextMedium)
{
    DragVolume(*bar, GUI.VideoFullscreenControl.VolumeSeekBar.Visible, -30);
    EXPECT_LT(main->Panel().Volume().Value, 5000);
    // The bar once played its volume without keeping it, and the next
    // medium started at the volume from before the drag.
    ExpectOneVolume("a drag on the full-screen bar");

    const int64_t before = main->Panel().Volume().Value;
    DragVolume(*main, GUI.Main.VolumeSeekBar.Visible, 30);
    EXPECT_GT(bar->Panel().Volume().Value, before);
    ExpectOneVolume("a drag on the main window");
}

TEST_F(TransportTest, MuteShowsOnBothWindows)
{
    Config->Mute = false;
    QTest::mouseClick(bar->imgMuteCheckbox, Qt::LeftButton, {}, bar->imgMuteCheckbox->rect().center());
    EXPECT_TRUE(Config->Mute);
    EXPECT_EQ(main->imgMuteCheckbox->Tag, 1);
    EXPECT_EQ(bar->imgMuteCheckbox->Tag, 1);
    QTest::mouseClick(main->imgMuteCheckbox, Qt::LeftButton, {}, main->imgMuteCheckbox->rect().center());
    EXPECT_FALSE(Config->Mute);
    EXPECT_EQ(bar->imgMuteCheckbox->Tag, 0);
    EXPECT_EQ(GUI.VideoFullscreenControl.MuteCheckbox.State, 1);
}

TEST_F(TransportTest, AProgressDragOnTheBarHoldsTheUpdatesAndGivesBackTheStatus)
{
    main->SetProgressBar(0, true, 1000, 0);
    main->SetStatusText(u"Playing");
    TKImage& thumb = *bar->imgProgressSeekbarBar;
    ASSERT_TRUE(GUI.VideoFullscreenControl.ProgressSeekBar.Visible) << "the built-in skin has a seek bar";
    const QPoint from = thumb.rect().center();
    QTest::mousePress(&thumb, Qt::LeftButton, {}, from);
    EXPECT_TRUE(main->SeekBarDragging()) << "the play system leaves the bars alone";
    main->SetStatusText(u"Timejump 00:00:01");
    QTest::mouseRelease(&thumb, Qt::LeftButton, {}, from);
    EXPECT_FALSE(main->SeekBarDragging());
    EXPECT_EQ(main->StatusText(), u"Playing");
    EXPECT_EQ(GUI.VideoFullscreenControl.Scrolllabel.Text, u"Playing");
}

TEST_F(TransportTest, AProgressDragWhileAddingLeavesTheStatusTheAdderFound)
{
    main->SetStatusText(u"Ready");
    std::vector<std::u16string> names;
    for (int i = 0; i < 20000; ++i)
        names.push_back(u"/nowhere/" + Utf8ToUtf16(std::to_string(i)) + u".mp3");
    main->AddFiles(names, false);
    ASSERT_TRUE(main->Adder.Busy());
    main->SetProgressBar(0, true, 1000, 0);
    TKImage& thumb = *main->imgProgressSeekbarBar;
    const QPoint from = thumb.rect().center();
    QTest::mousePress(&thumb, Qt::LeftButton, {}, from);
    QTest::mouseRelease(&thumb, Qt::LeftButton, {}, from);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->Adder.Busy(); }, 10000));
    // The drag once saved its text where the adder kept its own, and the
    // adding text stayed after the adding.
    EXPECT_EQ(main->StatusText(), u"Ready");
}

} // namespace
} // namespace ktest
