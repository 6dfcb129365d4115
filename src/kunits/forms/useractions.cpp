#include "forms/useractions.h"

#include <algorithm>

#include <QApplication>

#include "core/desktop/kshellutils.h"
#include "core/settings/kconfig.h"
#include "core/settings/khotkeys.h"
#include "core/system/kglobals.h"
#include "core/text/kfunctions.h"
#include "core/text/klanguage.h"
#include "core/text/kwideformat.h"
#include "forms/mainform.h"
#include "forms/videoform.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

std::u16string OSDText;
bool OSDShown = false;
bool StatusResetPending = false;

const std::u16string& StatusLanguageText(TKStatusTextId id) { return Language.Text(TLanguageSection::Status, id); }

TKUserActionHooks& UserActionHooks()
{
    static TKUserActionHooks hooks;
    return hooks;
}

namespace {

TSystemType CurrentType() { return PlaySystem ? PlaySystem->SystemType() : TSystemType::None; }

bool OSDApplies()
{
    const TSystemType type = CurrentType();
    return Config && Config->OSD.Enabled &&
           (type == TSystemType::DirectXVideo || type == TSystemType::DirectXStream || type == TSystemType::DVD);
}

// A value stepped within the range; the step of a range below 100 is 0.
int64_t Stepped(int64_t value, int64_t min, int64_t max, int sign)
{
    value += sign * (max / 100);
    if (value > max)
        value = max;
    if (value < min)
        value = min;
    return value;
}

void ShowWithOSD(const std::u16string& text, bool status)
{
    if (status)
        ShowStatus(text);
    ShowOSD(text);
    StartOSDTimer(2000);
}

// The play system keeps the volume it plays: the next medium starts with it.
void PlayVolume(const TKPanelValue& volume)
{
    if (!PlaySystem)
        return;
    TKBar& bar = PlaySystem->VolumeBar();
    bar = TKBar{volume.Max, volume.Value};
    PlaySystem->SetVolume(false, bar);
}

// The main window's volume stepped, shown on every panel and played.
void StepVolume(int sign)
{
    if (!frmMain)
        return;
    TKTransportPanel& main = frmMain->Panel();
    TKPanelValue volume = main.Volume();
    volume.Value = Stepped(volume.Value, volume.Min, volume.Max, sign);
    frmMain->ShowVolume(volume);
    PlayVolume(volume);
    ShowWithOSD(VolumeText(main.VolumePercent()), true);
}

void StepPosition(int sign)
{
    if (!PlaySystem || !PlaySystem->Seekable() || !SysActive)
        return;
    // The control the user sees: the full-screen bar's while the video is full screen.
    const bool full = UserActionHooks().VideoFullscreen && UserActionHooks().VideoFullscreen();
    TKSBar& bar = full ? GUI.VideoFullscreenControl.ProgressBar : GUI.Main.ProgressBar;
    TKSSeekBar& seek = full ? GUI.VideoFullscreenControl.ProgressSeekBar : GUI.Main.ProgressSeekBar;
    const bool seekBar = seek.Visible;
    int64_t& value = seekBar ? seek.Value : bar.Value;
    const int64_t max = seekBar ? seek.Max : bar.Max;
    value = PlaySystem->JumpedPosition(value, max, sign);
    // Every panel shows the new place at once.
    PlaySystem->View().SetProgressPosition(seekBar ? seek.Enabled : bar.Enabled, value);
    PlaySystem->SetPosition(TKBar{max, value});
    ShowTimeJump(value);
}

bool VideoType()
{
    const TSystemType type = CurrentType();
    return type != TSystemType::BassFile && type != TSystemType::BassStream && type != TSystemType::CDTrack;
}

void StepBrightness(int delta)
{
    if (!Config)
        return;
    int32_t& brightness = Config->VideoColorControls.Brightness;
    brightness = std::clamp(brightness + delta, 0, 10000);
    TKUserActionHooks& hooks = UserActionHooks();
    if (hooks.SetBrightness)
        hooks.SetBrightness(brightness);
    if (hooks.BrightnessChanged)
        hooks.BrightnessChanged(brightness);
    ShowWithOSD(WideFormat(StatusLanguageText(txtBrightness), ValueToPercent(brightness, 0, 10000), u"%"), false);
}

void Call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

void ShowTimeJump(int64_t value)
{
    const std::u16string time = PlaySystem ? PlaySystem->PositionText(value) : std::u16string();
    if (time.empty())
        return;
    const std::u16string text = WideFormat(StatusLanguageText(txtTimejump), time);
    ShowWithOSD(text, true);
}

// --- texts ------------------------------------------------------------------------

std::u16string VolumeText(double percent) { return WideFormat(StatusLanguageText(txtVolume), percent, u"%"); }

std::u16string BalanceText(int64_t value)
{
    if (value < 100)
        return WideFormat(StatusLanguageText(txtBalanceLeft), 100 - value, u"%");
    if (value > 100)
        return WideFormat(StatusLanguageText(txtBalanceRight), value - 100, u"%");
    return StatusLanguageText(txtBalanceCenter);
}

// --- status and on-screen text ---------------------------------------------------

void ShowStatus(const std::u16string& text)
{
    if (!frmMain)
        return;
    frmMain->SetStatusText(text);
    StatusResetPending = true;
    frmMain->StatusResetTimer.stop();
    frmMain->StatusResetTimer.start();
}

void ResetStatus()
{
    if (!frmMain)
        return;
    std::u16string text = StatusLanguageText(txtReady);
    if (SysPlayed && PlaySystem)
        text = PlaySystem->PlayingTitle();
    if (SysPaused)
        text = StatusLanguageText(txtPaused);
    frmMain->SetStatusText(text);
    frmMain->StatusResetTimer.stop();
    StatusResetPending = false;
}

void ShowOSD(const std::u16string& text)
{
    if (!OSDApplies())
        return;
    if (frmMain)
        frmMain->OSDResetTimer.stop();
    // A shorter text would leave the end of the old one on the video.
    if (OSDText.size() > text.size())
        Call(UserActionHooks().RepaintVideoBackground);
    OSDText = text;
    OSDShown = true;
}

void StartOSDTimer(int ms)
{
    if (!OSDApplies() || !frmMain)
        return;
    frmMain->OSDResetTimer.start(ms);
}

// --- the actions -------------------------------------------------------------------

void VolumeUp() { StepVolume(1); }
void VolumeDown() { StepVolume(-1); }
void SeekForward() { StepPosition(1); }
void SeekBackward() { StepPosition(-1); }

void SetSpeedStep(int step)
{
    TKSSeekBar& bar = GUI.MediaControls.SpeedSeekBar;
    bar.Value = step;
    auto* controls = PlayerWindowAs<TKSkinnedMediaControls>("frmMediaControls");
    if (controls && GUI.Loaded)
        SkinPlaceSeekBarThumb(GUI, *controls->imgSpeedBackground, *controls->imgSpeedBar, bar);
    const int percent = step >= 1 && step <= 10 ? 25 * step : 0;
    if (PlaySystem)
        PlaySystem->SetSpeed(step);
    ShowWithOSD(WideFormat(StatusLanguageText(txtSpeed), percent, u"%"), true);
}

void BrightnessUp() { StepBrightness(50); }
void BrightnessDown() { StepBrightness(-50); }

void ToggleMute()
{
    if (!Config)
        return;
    Config->Mute = !Config->Mute;
    const bool on = Config->Mute;
    GUI.Main.MuteCheckbox.State = on ? 3 : 1;
    GUI.VideoFullscreenControl.MuteCheckbox.State = on ? 3 : 1;
    if (!frmMain)
        return;
    frmMain->ShowMute(on);
    PlayVolume(frmMain->Panel().Volume());
}

void VolumeMoved(const TKTransportPanel& panel, TKDragPhase phase)
{
    switch (phase) {
    case TKDragPhase::Reset: return;
    case TKDragPhase::Up:
        if (frmMain)
            frmMain->ShowVolume(panel.Volume());
        return;
    case TKDragPhase::Down: PlayVolume(panel.Volume()); return;
    case TKDragPhase::Move:
        PlayVolume(panel.Volume());
        ShowWithOSD(VolumeText(panel.VolumePercent()), true);
        return;
    }
}

void PlayPause()
{
    if (!PlaySystem)
        return;
    if (SysPlayed || SysPaused)
        PlaySystem->Pause();
    else
        PlaySystem->StartPlay();
}

void ToggleFullscreen()
{
    TKUserActionHooks& hooks = UserActionHooks();
    if (!VideoType() || !hooks.SetVideoWindowMode)
        return;
    const bool full = hooks.VideoFullscreen && hooks.VideoFullscreen();
    hooks.SetVideoWindowMode(full ? 1 : 2);
}

void SetVideoMode(int mode)
{
    TKUserActionHooks& hooks = UserActionHooks();
    if (VideoType() && mode >= 1 && mode <= 3 && hooks.SetVideoWindowMode)
        hooks.SetVideoWindowMode(mode);
}

void SetTrayMode()
{
    if (!Config || !frmMain)
        return;
    const int mode = Config->ShowKolvarinIn;
    if (mode < 0 || mode > 2)
        return;
    frmMain->KTrayIcon1.SetIconVisible(mode != 0);
    ShowTaskbarButton(frmMain, mode != 1);
}

namespace {

void Wheel(int sign)
{
    TKUserActionHooks& hooks = UserActionHooks();
    if (hooks.PlaylistActive && hooks.PlaylistActive()) {
        if (hooks.ScrollPlaylist)
            hooks.ScrollPlaylist(-sign * 10);
        return;
    }
    const int mode = Config ? Config->MouseWheelControlOnFocus : 0;
    if (mode == 0 || !IsPlayerForeground(2 | 4 | 16))
        return;
    if (mode == 1)
        StepVolume(sign);
    else if (mode == 2)
        StepPosition(sign);
}

} // namespace

void MouseWheelUp() { Wheel(1); }
void MouseWheelDown() { Wheel(-1); }

void HandleHotKey(uint16_t key, uint8_t shift)
{
    if (HotKeys)
        HotKeys->HandleKey(key, shift);
}

namespace {

// The windows by name, with their bit of IsPlayerForeground's mask.
struct TKPlayerWindow {
    const char* Name;
    int Bit;
};
constexpr TKPlayerWindow kPlayerWindows[] = {
    {"frmMain", 1},  {"frmMediaControls", 2},          {"frmPlaylist", 4},
    {"frmVideo", 8}, {"frmVideoFullscreenControl", 8}, {"frmConfig", 16},
};

int PlayerWindowBit(const QWidget* window)
{
    if (!window)
        return 0;
    // The display's full-screen window is the video window's while it shows.
    if (frmVideo && window == frmVideo->DSVideoWindowEx->FullscreenControlHandle())
        return 8;
    for (const TKPlayerWindow& w : kPlayerWindows)
        if (window->objectName() == QLatin1String(w.Name))
            return w.Bit;
    return 0;
}

} // namespace

void ShowCaptionsActive(TKGUI& skin, const QWidget* active)
{
    if (auto* main = PlayerWindowAs<TKSkinnedMain>("frmMain"))
        SkinSetCaptionActive(skin, *main->imgCaptionbar, skin.Main.CaptionBar, main == active);
    if (auto* playlist = PlayerWindowAs<TKSkinnedPlaylist>("frmPlaylist"))
        SkinSetCaptionActive(skin, *playlist->imgCaptionBar, skin.Playlist.CaptionBar, playlist == active);
    if (auto* controls = PlayerWindowAs<TKSkinnedMediaControls>("frmMediaControls"))
        SkinSetCaptionActive(skin, *controls->imgCaptionbar, skin.MediaControls.CaptionBar, controls == active);
    if (auto* video = PlayerWindowAs<TKSkinnedVideo>("frmVideo"))
        SkinSetCaptionActive(skin, *video->imgCaptionBar, skin.Video.CaptionBar, video == active);
}

QWidget* PlayerWindow(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}

bool IsPlayerForeground(int exclude)
{
    const QWidget* active = QApplication::activeWindow();
    const int bit = PlayerWindowBit(active);
    if (bit & exclude)
        return false;
    // The configuration dialog is no player window for the front test.
    return bit != 0 && bit != 16 && frmMain && !frmMain->isMinimized();
}

bool PlaylistFocused()
{
    const QWidget* active = QApplication::activeWindow();
    return active && active->objectName() == QLatin1String("frmPlaylist");
}

void BringApplicationToFront()
{
    for (const TKPlayerWindow& w : kPlayerWindows)
        if (QWidget* window = PlayerWindow(w.Name);
            window && window != frmMain && window->isVisible() && window->isMinimized())
            window->showNormal();
    if (!frmMain)
        return;
    frmMain->showNormal();
    frmMain->raise();
    frmMain->activateWindow();
}

void MinimizeApplication()
{
    for (const TKPlayerWindow& w : kPlayerWindows)
        if (QWidget* window = PlayerWindow(w.Name); window && window->isVisible())
            window->showMinimized();
}

void RunHotKeyAction(int action)
{
    TKUserActionHooks& hooks = UserActionHooks();
    if (action >= 32 && action <= 41) {
        SetSpeedStep(action - 31);
        return;
    }
    if (action >= 20 && action <= 27) {
        // Audio and video sort swap their places in the table.
        static constexpr int kSortModes[] = {0, 1, 2, 3, 5, 4, 6, 7};
        if (hooks.SortPlaylist)
            hooks.SortPlaylist(kSortModes[action - 20]);
        return;
    }
    if (action >= 42 && action <= 46) {
        static constexpr int kZoom[] = {0, 25, 50, 75, 80};
        if (hooks.SetDigitalZoom)
            hooks.SetDigitalZoom(kZoom[action - 42]);
        return;
    }
    switch (action) {
    case 1:
        if (PlaySystem)
            PlaySystem->PlayNext(true);
        break;
    case 2:
        if (PlaySystem)
            PlaySystem->PlayPrevious(true);
        break;
    case 3:
        if (PlaySystem)
            PlaySystem->Stop(true);
        break;
    case 4:
        if (PlaySystem)
            PlaySystem->Pause();
        break;
    case 5:
        if (PlaySystem)
            PlaySystem->StartPlay();
        break;
    case 6: VolumeUp(); break;
    case 7: VolumeDown(); break;
    case 8: BrightnessUp(); break;
    case 9: BrightnessDown(); break;
    case 10: SeekForward(); break;
    case 11: SeekBackward(); break;
    case 12: ToggleFullscreen(); break;
    case 13: SetVideoMode(1); break;
    case 14: SetVideoMode(3); break;
    case 15: SetVideoMode(2); break;
    case 16: Call(hooks.FindItem); break;
    case 17: ToggleMute(); break;
    case 18:
    case 19:
        if (hooks.Screenshot)
            hooks.Screenshot(action == 18);
        break;
    case 28:
        if (frmMain)
            frmMain->AddFromPlaylistExecute();
        break;
    case 29:
        if (frmMain)
            frmMain->AddDirExecute();
        break;
    case 30: Call(hooks.AddDisc); break;
    case 31: Call(hooks.AddURL); break;
    case 47:
        if (frmMain)
            frmMain->AudioLiveStreamRecordClick();
        break;
    case 48:
        if (frmMain)
            frmMain->AudioLiveStreamStopClick();
        break;
    case 49: BringApplicationToFront(); break;
    case 50:
        if (frmMain)
            frmMain->Close1Click();
        break;
    case 51: Call(hooks.NextAspectRatio); break;
    case 52: Call(hooks.NextAudioStream); break;
    case 53: Call(hooks.NextSubtitleStream); break;
    case 54: Call(hooks.NextMonitorOutput); break;
    default: break;
    }
}

} // namespace kolvarin
