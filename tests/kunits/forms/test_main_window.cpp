// The main window's buttons, check boxes, hook messages, timers and status.
#include <fstream>

#include <QEvent>
#include <QTest>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/khotkeys.h"
#include "forms/appstates.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "keyhook/keyhook.h"
#include "mainformfixture.h"
#include "skin/kskinelements.h"
#include "skin/spectrum_vis.h"

using namespace kolvarin;

namespace ktest {
namespace {

// A play system view that records which timers its handlers switch.
class TimerLog : public TKPlayerView {
public:
    void SetTimer(TKPlayTimer timer, bool, int) override { Switched.push_back(timer); }
    std::vector<TKPlayTimer> Switched;
};

TEST_F(MainFormTest, ThePlayButtonStartsTheFirstEntryOnlyWhenReleasedOverIt)
{
    Config->OFACheckIsValidFile = true;
    Config->Notifications.ShowBalloonOnProblems = true;
    PlaylistAdd(u"gone", (home() / "gone.mp3").u16string(), "00:00:00", false, "00");
    PressAndLeave(Centre(GUI.Main.PlayButton));
    EXPECT_EQ(PlaylistItemIndex, -1);
    EXPECT_TRUE(main->KTrayIcon1.Balloons().empty());

    ClickAt(Centre(GUI.Main.PlayButton));
    EXPECT_EQ(PlaylistItemIndex, 0) << "no entry focused: the first";
    ASSERT_EQ(main->KTrayIcon1.Balloons().size(), 1u) << "the missing file was reported once";
}

TEST_F(MainFormTest, AReleaseWhereAnotherControlCoversTheButtonIsNoClick)
{
    PlaylistAdd(u"gone", (home() / "gone.mp3").u16string(), "00:00:00", false, "00");
    const TKSButton& play = GUI.Main.PlayButton;
    // A control over the button's right half, in the main window.
    QWidget cover(main.get());
    cover.setGeometry(play.FormPos.X + play.Size.Width / 2, play.FormPos.Y, play.Size.Width, play.Size.Height);
    cover.show();
    QWidget* button = main->imgPlayButton;
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(1, play.Size.Height / 2));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(play.Size.Width - 2, play.Size.Height / 2));
    EXPECT_EQ(PlaylistItemIndex, -1) << "released inside its rectangle, but not over it";
    EXPECT_EQ(play.State, 1);
}

TEST_F(MainFormTest, CheckBoxesSwitchTheirSettingAndShowIt)
{
    TfrmPlaylist playlist;
    Config->PlaylistVis = false;
    ClickAt(Centre(GUI.Main.PlaylistCheckbox));
    EXPECT_TRUE(Config->PlaylistVis);
    EXPECT_EQ(GUI.Main.PlaylistCheckbox.State, 3);
    EXPECT_TRUE(playlist.isVisible());
    ClickAt(Centre(GUI.Main.PlaylistCheckbox));
    EXPECT_FALSE(Config->PlaylistVis);
    EXPECT_EQ(GUI.Main.PlaylistCheckbox.State, 1);
    EXPECT_FALSE(playlist.isVisible());

    Config->Mute = false;
    ClickAt(Centre(GUI.Main.MuteCheckbox));
    EXPECT_TRUE(Config->Mute);
    EXPECT_EQ(main->imgMuteCheckbox->Tag, 1);
    Config->PlayMode.Enabled = false;
    ClickAt(Centre(GUI.Main.PlaymodeCheckbox));
    EXPECT_TRUE(Config->PlayMode.Enabled);
}

TEST_F(MainFormTest, TheBalanceThumbDragsToASideAndARightClickCentresIt)
{
    TKSSeekBar& balance = GUI.Main.Balance;
    balance.Min = 0;
    balance.Max = 200;
    balance.Value = 100;
    SkinPlaceSeekBarThumb(GUI, *main->imgBalanceBackground, *main->imgBalanceBar, balance);
    TKImage& thumb = *main->imgBalanceBar;
    const QPoint centre = thumb.rect().center();
    QTest::mousePress(&thumb, Qt::LeftButton, {}, centre);
    QTest::mouseMove(&thumb, centre + QPoint(main->imgBalanceBackground->width(), 0));
    QTest::mouseRelease(&thumb, Qt::LeftButton, {}, centre + QPoint(main->imgBalanceBackground->width(), 0));
    EXPECT_EQ(balance.Value, 200);
    EXPECT_EQ(Config->Balance, 200);
    EXPECT_EQ(main->StatusText(), u"[ Balance Right 100 % ]");

    QTest::mouseClick(main->imgBalanceBar, Qt::RightButton, {}, main->imgBalanceBar->rect().center());
    EXPECT_EQ(balance.Value, 100);
    EXPECT_EQ(Config->Balance, 100);
    EXPECT_EQ(main->StatusText(), u"[ Balance Center ]");
}

TEST_F(MainFormTest, HookKeysReachTheHotKeyTableOnceAndOnlyGoingDown)
{
    HotKeys = new TKHotKeys();
    std::vector<int> actions;
    HotKeys->OnAction = [&](int action) { actions.push_back(action); };
    HotKeys->KeyFocus = [] { return TKKeyFocus{false, true}; };
    main->HookMessage(keyhook::kHookKeyMessage, 0x58, keyhook::kKeyUpBit, 0); // X going up
    EXPECT_TRUE(actions.empty());
    main->HookMessage(keyhook::kHookKeyMessage, 0x58, 0, 0);
    EXPECT_EQ(actions, std::vector<int>{5});
    actions.clear();
    // Alt comes from the message, Ctrl and Shift from the keyboard state.
    main->HookMessage(keyhook::kHookKeyMessage, 0x73, keyhook::kKeyAltBit, 0);
    main->HookMessage(keyhook::kHookKeyMessage, 0x50, 0, hkShift | hkCtrl);
    EXPECT_EQ(actions, (std::vector<int>{50, 5}));
    // Posted like the hook library does, through the event loop.
    actions.clear();
    keyhook::KSetKolvHandler(main.get());
    ASSERT_TRUE(keyhook::KPostHookMessage(keyhook::kHookKeyMessage, 0x43, 0));
    QCoreApplication::processEvents();
    keyhook::KSetKolvHandler(nullptr);
    EXPECT_EQ(actions, std::vector<int>{4});
    delete HotKeys;
    HotKeys = nullptr;
}

TEST_F(MainFormTest, MediaKeysActOnlyWhenEnabledAndOnTheExactCommand)
{
    Config->OFACheckIsValidFile = true;
    PlaylistAdd(u"gone", (home() / "gone.mp3").u16string(), "00:00:00", false, "00");
    const struct {
        bool enabled;
        int64_t command;
        int index; // PlaylistItemIndex afterwards: play/pause starts the first entry
    } cases[] = {
        {false, keyhook::kAppCommandPlayPause, -1},
        {true, keyhook::kAppCommandPlayPause + 1, -1},
        {true, keyhook::kAppCommandPlayPause, 0},
    };
    for (const auto& c : cases) {
        PlaylistItemIndex = -1;
        Config->EnableMediaKeys = c.enabled;
        main->HookMessage(keyhook::kHookAppCommandMessage, 0, c.command, 0);
        EXPECT_EQ(PlaylistItemIndex, c.index) << c.enabled << " " << std::hex << c.command;
    }
}

TEST_F(MainFormTest, TheWheelByteIsSigned)
{
    std::vector<int> scrolled;
    UserActionHooks().PlaylistActive = [] { return true; };
    UserActionHooks().ScrollPlaylist = [&](int rows) { scrolled.push_back(rows); };
    for (int64_t low : {0x80, 0x00, 0x01, 0x1FF})
        main->HookMessage(keyhook::kHookMouseMessage, keyhook::kMouseWheelMessage, low, 0);
    main->HookMessage(keyhook::kHookMouseMessage, 0x200, 0x01, 0); // not a wheel message
    EXPECT_EQ(scrolled, (std::vector<int>{10, -10, 10}));
}

// The sync timers and the command-play timer wait, like every other handler,
// for a program that has started and is not being shut down.
TEST_F(MainFormTest, SyncAndCommandPlayTimersActOnlyWhileTheProgramMayAct)
{
    TimerLog log;
    system->SetView(&log);
    PlaylistAdd(u"gone", (home() / "gone.mp3").u16string(), "00:00:00", false, "00");
    Config->OFACheckIsValidFile = true;
    const struct {
        bool initialized, killed, acts;
    } cases[] = {{false, false, false}, {true, true, false}, {true, false, true}};
    for (const auto& c : cases) {
        AppInitialized = c.initialized;
        AppKilled = c.killed;
        log.Switched.clear();
        PlaylistItemIndex = -1;
        main->SyncFadeOutProcStartTimerTimer();
        main->SyncEndProcStartTimerTimer();
        main->timCommandPlayTimer();
        const std::vector<TKPlayTimer> expected = {TKPlayTimer::SyncFadeOutProcStartTimer,
                                                   TKPlayTimer::SyncEndProcStartTimer};
        EXPECT_EQ(log.Switched, c.acts ? expected : std::vector<TKPlayTimer>{}) << c.initialized << c.killed;
        EXPECT_EQ(PlaylistItemIndex, c.acts ? 0 : -1) << "the command-play timer started the first entry";
    }
}

// Counts the paints a control receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* control) { control->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        Paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The timers repaint only what changed, and the 45 ms one rests while
// nothing of it can be seen.
TEST_F(MainFormTest, TheTimersRepaintWhatChangedAndTheAnalyzerRestsUnseen)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    int labelPaints = 0, analyzerPaints = 0, probePaints = 0;
    main->imgScrolllabel->OnPaint = [&](TKPaintbox&) { ++labelPaints; };
    main->imgAnalyzer->OnPaint = [&](TKPaintbox&) { ++analyzerPaints; };
    // The window paints every marked control in one go: once the probe has
    // painted, so has every control the tick marked. (The window's corners
    // may lie outside its shape.)
    TKPaintbox probe(main.get());
    probe.SetBounds(main->width() / 2, main->height() / 2, 1, 1);
    probe.show();
    probe.OnPaint = [&](TKPaintbox&) { ++probePaints; };
    auto tick = [&] {
        main->AnalyzerSLTimerTimer();
        const int before = probePaints;
        probe.Invalidate();
        ASSERT_TRUE(QTest::qWaitFor([&] { return probePaints > before; }, 10000));
    };

    main->SetStatusText(u"Ready");
    tick();
    const int label = labelPaints, analyzer = analyzerPaints;
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(labelPaints, label) << "a label that fits stands still";
    EXPECT_EQ(analyzerPaints, analyzer) << "the idle analyzer keeps its background";

    PaintCounter time(main->imgTime);
    ShowTimeDigits(0, 1, 5, false);
    tick();
    const int timePaints = time.Paints;
    ShowTimeDigits(0, 1, 5, false);
    tick();
    EXPECT_EQ(time.Paints, timePaints) << "the same time is not drawn again";
    ShowTimeDigits(0, 1, 6, false);
    tick();
    EXPECT_GT(time.Paints, timePaints);

    GUI.Main.Scrolllabel.Mode = smLeft;
    main->SetStatusText(u"[ A title far too long for the label of the main window is playing ]");
    tick();
    const int scrolled = labelPaints;
    tick();
    EXPECT_GT(labelPaints, scrolled) << "a moving label paints every step";

    TSpectrum spectrum(main->imgAnalyzer->width(), main->imgAnalyzer->height());
    main->Spectrum = &spectrum;
    float level = 0.2f;
    main->SpectrumData = [&](std::span<float> values) {
        level = level > 0.1f ? 0.05f : 0.2f;
        std::fill(values.begin(), values.end(), level);
        return true;
    };
    tick();
    const int frames = analyzerPaints;
    tick();
    EXPECT_GT(analyzerPaints, frames) << "a new frame shows";
    main->Spectrum = nullptr;
    main->SpectrumData = nullptr;

    main->hide();
    main->AnalyzerSLTimerTimer();
    EXPECT_FALSE(main->AnalyzerSLTimer.isActive());
    main->show();
    EXPECT_TRUE(main->AnalyzerSLTimer.isActive());
    main->setWindowState(Qt::WindowMinimized);
    main->AnalyzerSLTimerTimer();
    EXPECT_FALSE(main->AnalyzerSLTimer.isActive());
    main->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(main->AnalyzerSLTimer.isActive());
}

// Nothing animates while nothing plays: the 45 ms timer rests once the
// analyzer stands still, a play starts it, and it runs on through a steady
// frame while playing; stopping and pausing let it rest again.
TEST_F(MainFormTest, TheAnalyzerTimerRestsWhileNothingPlays)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    const auto rests = [&] { return QTest::qWaitFor([&] { return !main->AnalyzerSLTimer.isActive(); }, 3000); };
    EXPECT_TRUE(rests()) << "idle since the start";

    const std::filesystem::path file = home() / "silence.wav";
    WriteSilence(file, 20);
    PlaylistAdd(u"silence", file.u16string(), "00:00:20", false, "00");
    system->Play(0);
    ASSERT_TRUE(SysPlayed);
    EXPECT_TRUE(main->AnalyzerSLTimer.isActive()) << "the play started it";
    QTest::qWait(300); // silence: every frame the same
    EXPECT_TRUE(main->AnalyzerSLTimer.isActive()) << "a steady frame while playing";

    system->Pause();
    EXPECT_TRUE(rests()) << "paused";
    system->Pause();
    EXPECT_TRUE(main->AnalyzerSLTimer.isActive()) << "resumed";

    system->Stop(true);
    EXPECT_TRUE(rests()) << "stopped";
}

TEST_F(MainFormTest, TheStatusTextGoesToTheLabelTheTrayHintAndTheCaption)
{
    main->SetStatusText(u"Ready");
    EXPECT_EQ(GUI.Main.Scrolllabel.Text, u"Ready");
    EXPECT_EQ(main->KTrayIcon1.Hint(), u"Kolvarin - Ready");
    EXPECT_TRUE(main->KTrayIcon1.ShowHint());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Kolvarin - Ready"));
}

TEST_F(MainFormTest, ATemporaryStatusReturnsToTheIdleText)
{
    main->SetStatusText(u"Ready");
    ShowStatus(u"[ Volume 50.0 % ]");
    EXPECT_TRUE(main->StatusResetTimer.isActive());
    EXPECT_EQ(main->StatusText(), u"[ Volume 50.0 % ]");
    main->StatusResetTimerTimer();
    EXPECT_EQ(main->StatusText(), u"Ready");
    EXPECT_FALSE(StatusResetPending);
    EXPECT_FALSE(main->StatusResetTimer.isActive());
}

// A medium that cannot start leaves the next start to the window's event
// loop: Play returns at once, and the main window's timer moves on.
TEST_F(MainFormTest, AFailedStartMovesOnThroughTheEventLoop)
{
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3;
    Config->Fader.Enabled = false;
    const auto junk = home() / "junk.mp3";
    std::ofstream(junk, std::ios::binary) << std::string(4096, '\x5a');
    const auto silence = home() / "silence.wav";
    WriteSilence(silence, 5);
    PlaylistAdd(u"junk", junk.u16string(), "00:00:00", false, "00");
    PlaylistAdd(u"silence", silence.u16string(), "00:00:00", false, "00");
    system->Play(0);
    EXPECT_FALSE(SysActive) << "the next entry waits for the event loop";
    ASSERT_TRUE(QTest::qWaitFor([] { return SysActive; }, 5000));
    EXPECT_EQ(PlaylistPlayingIndex(), 1);
    system->Stop(true);
}

} // namespace
} // namespace ktest
