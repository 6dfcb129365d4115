// The user actions: volume, balance, seek texts, speed, brightness, mute and
// the hot-key action table.
#include <filesystem>

#include "core/playlist/kplaylistprocs.h"
#include "forms/useractions.h"
#include "mainformfixture.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace ktest {
namespace {

TEST(UserActionTextsTest, BalanceNamesTheSideAndItsDistanceFromTheCentre)
{
    const struct {
        int64_t value;
        std::u16string text;
    } cases[] = {
        {100, u"[ Balance Center ]"},
        {130, u"[ Balance Right 30 % ]"},
        {40, u"[ Balance Left 60 % ]"},
        {0, u"[ Balance Left 100 % ]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BalanceText(c.value), c.text) << c.value;
}

TEST_F(MainFormTest, VolumeStepsStopAtTheEndsAndShowThePercentage)
{
    TKSBar& bar = GUI.Main.Volume;
    GUI.Main.VolumeSeekBar.Visible = false;
    bar.Min = 0;
    bar.Max = 10000;
    bar.Value = 9950;
    VolumeUp();
    EXPECT_EQ(bar.Value, 10000);
    VolumeUp();
    EXPECT_EQ(bar.Value, 10000);
    EXPECT_EQ(main->StatusText(), u"[ Volume 100.0 % ]");
    EXPECT_EQ(system->VolumeBar().Position, 10000) << "applied to the play system";
    VolumeDown();
    EXPECT_EQ(bar.Value, 9900);

    bar.Max = 99; // a step of 0
    bar.Value = 50;
    VolumeUp();
    EXPECT_EQ(bar.Value, 50);
}

TEST_F(MainFormTest, SpeedStepsAndTheirTexts)
{
    SetSpeedStep(0);
    EXPECT_EQ(main->StatusText(), u"[ Speed 0 % ]");
    RunHotKeyAction(37);
    EXPECT_EQ(GUI.MediaControls.SpeedSeekBar.Value, 6);
    EXPECT_EQ(main->StatusText(), u"[ Speed 150 % ]");
}

TEST_F(MainFormTest, BrightnessStaysInItsRange)
{
    std::vector<int> applied;
    UserActionHooks().SetBrightness = [&](int b) { applied.push_back(b); };
    Config->VideoColorControls.Brightness = 10000;
    BrightnessUp();
    Config->VideoColorControls.Brightness = 20;
    BrightnessDown();
    EXPECT_EQ(applied, (std::vector<int>{10000, 0}));
}

TEST_F(MainFormTest, MuteShowsOnBothCheckBoxes)
{
    Config->Mute = false;
    ToggleMute();
    EXPECT_TRUE(Config->Mute);
    EXPECT_EQ(GUI.Main.MuteCheckbox.State, 3);
    EXPECT_EQ(GUI.VideoFullscreenControl.MuteCheckbox.State, 3);
    ToggleMute();
    EXPECT_EQ(GUI.Main.MuteCheckbox.State, 1);
    EXPECT_EQ(main->imgMuteCheckbox->Tag, 0);
}

TEST_F(MainFormTest, HotKeyActionsReachTheirWindows)
{
    std::vector<int> sorted, zoomed;
    int searches = 0;
    TKUserActionHooks& hooks = UserActionHooks();
    hooks.SortPlaylist = [&](int mode) { sorted.push_back(mode); };
    hooks.SetDigitalZoom = [&](int zoom) { zoomed.push_back(zoom); };
    hooks.FindItem = [&] { ++searches; };
    for (int action : {20, 24, 25, 27, 42, 46, 16, 0, 55})
        RunHotKeyAction(action);
    EXPECT_EQ(sorted, (std::vector<int>{0, 5, 4, 7})) << "audio and video sort swap places";
    EXPECT_EQ(zoomed, (std::vector<int>{0, 80}));
    EXPECT_EQ(searches, 1);
}

TEST_F(MainFormTest, TimeJumpsMoveByTheIntervalAndNeverBelowTheStart)
{
    const fs::path file = home() / "silence.wav";
    WriteSilence(file, 20);
    PlaylistAdd(u"silence", file.u16string(), "00:00:20", false, "00");
    system->Play(0);
    ASSERT_TRUE(SysActive);
    ASSERT_TRUE(system->Seekable());
    TKSSeekBar& bar = GUI.Main.ProgressSeekBar;
    ASSERT_TRUE(bar.Visible) << "the built-in skin has a seek bar";
    const int64_t second = 44100 * 4;
    SeekForward();
    EXPECT_EQ(bar.Value, 5 * second);
    EXPECT_EQ(main->StatusText(), u"Timejump 00:00:05");
    bar.Min = 3 * second; // the minimum is not consulted going back
    bar.Value = 2 * second;
    SeekBackward();
    EXPECT_EQ(bar.Value, 0);
    EXPECT_EQ(main->StatusText(), u"Timejump 00:00:00");
    bar.Value = bar.Max - second;
    SeekForward();
    EXPECT_EQ(bar.Value, bar.Max);
    system->Stop(true);
}

} // namespace
} // namespace ktest
