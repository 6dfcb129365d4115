#include "forms/mainform.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "core/desktop/kbitmaps.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "core/text/kwideformat.h"
#include "dialogs/configfollow.h"
#include "forms/appstates.h"
#include "forms/useractions.h"
#include "forms/windowevents.h"
#include "keyhook/keyhook.h"
#include "playback/ksystem.h"
#include "post/post.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"

namespace kolvarin {

TfrmMain* frmMain = nullptr;

namespace {

// The guard of the window's handlers: start-up has finished and shutdown
// has not silenced them.
bool MayAct() { return AppInitialized && !AppKilled; }

void SetupTimer(QTimer& timer, const char* name, int interval, bool singleShot)
{
    timer.setObjectName(QString::fromLatin1(name));
    timer.setInterval(interval);
    timer.setSingleShot(singleShot);
}

TKBar BarOf(int64_t max, int64_t position) { return TKBar{max, position}; }

} // namespace

TfrmMain::TfrmMain(TKGUI& skin) : TKSkinnedMain(skin)
{
    frmMain = this;
    // The sync and command-play timers run their work once per start.
    SetupTimer(PlayTimer, "PlayTimer", 333, false);
    SetupTimer(FadeOutStopTimer, "FadeOutStopTimer", 1000, false);
    SetupTimer(OSDResetTimer, "OSDResetTimer", 1000, false);
    SetupTimer(StatusResetTimer, "StatusResetTimer", 1000, false);
    SetupTimer(SyncFadeOutProcStartTimer, "SyncFadeOutProcStartTimer", 1, true);
    SetupTimer(SyncEndProcStartTimer, "SyncEndProcStartTimer", 1, true);
    SetupTimer(timCommandPlay, "timCommandPlay", 10, true);
    SetupTimer(moveOnTimer_, "MoveOnTimer", 1, true);
    const std::pair<QTimer*, void (TfrmMain::*)()> handlers[] = {
        {&PlayTimer, &TfrmMain::PlayTimerTimer},
        {&FadeOutStopTimer, &TfrmMain::FadeOutStopTimerTimer},
        {&OSDResetTimer, &TfrmMain::OSDResetTimerTimer},
        {&StatusResetTimer, &TfrmMain::StatusResetTimerTimer},
        {&SyncFadeOutProcStartTimer, &TfrmMain::SyncFadeOutProcStartTimerTimer},
        {&SyncEndProcStartTimer, &TfrmMain::SyncEndProcStartTimerTimer},
        {&timCommandPlay, &TfrmMain::timCommandPlayTimer},
        {&moveOnTimer_, &TfrmMain::MoveOnTimerTimer},
    };
    for (const auto& [timer, handler] : handlers)
        QObject::connect(timer, &QTimer::timeout, this, handler);
    CreateMenus();
    BindTimeAndAnalyzer();
    setAcceptDrops(true);
}

TfrmMain::~TfrmMain()
{
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::BindTimeAndAnalyzer()
{
    imgTime->OnMouseDown = [](TKControl&, TMouseButton button, TShiftState, int, int) {
        if (button != TMouseButton::mbLeft || !Config)
            return;
        Config->TimeMode = Config->TimeMode == 0 ? 1 : 0;
        if (PlaySystem)
            PlaySystem->RefreshTimeDisplay();
    };
    imgAnalyzer->OnMouseDown = [this](TKControl&, TMouseButton, TShiftState shift, int, int) {
        if (!(shift & ssLeft))
            return;
        SpectrumStyle = SpectrumStyle == 0 ? 1 : 0;
        if (Spectrum)
            Spectrum->Style = SpectrumStyle;
        if (Config)
            Config->Spectrum.Type = static_cast<uint8_t>(SpectrumStyle);
    };
}

// --- timers -------------------------------------------------------------------

QTimer& TfrmMain::Timer(TKPlayTimer timer)
{
    switch (timer) {
    case TKPlayTimer::PlayTimer: return PlayTimer;
    case TKPlayTimer::SyncFadeOutProcStartTimer: return SyncFadeOutProcStartTimer;
    case TKPlayTimer::SyncEndProcStartTimer: return SyncEndProcStartTimer;
    case TKPlayTimer::MoveOnTimer: return moveOnTimer_;
    case TKPlayTimer::FadeOutStopTimer: break;
    }
    return FadeOutStopTimer;
}

void TfrmMain::SetTimer(TKPlayTimer timer, bool enabled, int intervalMs)
{
    QTimer& t = Timer(timer);
    if (intervalMs > 0)
        t.setInterval(intervalMs);
    if (enabled)
        t.start();
    else
        t.stop();
    // The analyzer and the scroll labels rest while nothing plays.
    if (timer == TKPlayTimer::PlayTimer && enabled && !AnalyzerSLTimer.isActive())
        AnalyzerSLTimer.start();
}

void TfrmMain::StartTimerFromSync(TKPlayTimer timer)
{
    QTimer* t = &Timer(timer);
    post::PostCall(this, [t] { t->start(); });
}

void TfrmMain::PlayTimerTimer()
{
    if (MayAct() && SysPlayed && PlaySystem)
        PlaySystem->Update();
}

void TfrmMain::FadeOutStopTimerTimer()
{
    if (MayAct() && PlaySystem)
        PlaySystem->FadeOutStopTimerTimer();
}

void TfrmMain::OSDResetTimerTimer()
{
    if (!MayAct())
        return;
    OSDResetTimer.stop();
    if (!OSDShown || !(SysPlayed || SysPaused))
        return;
    if (UserActionHooks().RepaintVideoBackground)
        UserActionHooks().RepaintVideoBackground();
    OSDShown = false;
    OSDText.clear();
}

void TfrmMain::StatusResetTimerTimer()
{
    if (!MayAct())
        return;
    StatusResetTimer.stop();
    if (StatusResetPending)
        ResetStatus();
}

// The track change a sync asked for waits, like every other handler, for a
// program that may act: at shutdown the play system is going away.
void TfrmMain::SyncFadeOutProcStartTimerTimer()
{
    if (MayAct() && PlaySystem)
        PlaySystem->SyncFadeOutProcStartTimerTimer();
}

void TfrmMain::SyncEndProcStartTimerTimer()
{
    if (MayAct() && PlaySystem)
        PlaySystem->SyncEndProcStartTimerTimer();
}

void TfrmMain::MoveOnTimerTimer()
{
    if (MayAct() && PlaySystem)
        PlaySystem->MoveOnTimerTimer();
}

void TfrmMain::timCommandPlayTimer()
{
    if (!MayAct() || !PlaySystem)
        return;
    const char* proc = "TfrmMain.timCommandPlayTimer";
    Log(proc, "Enter");
    timCommandPlay.stop();
    Log(proc, "Stop system");
    if (SysActive)
        PlaySystem->Stop(false);
    Log(proc, "Start play system");
    PlaySystem->StartPlay();
    Log(proc, "Leave");
}

// --- hook messages --------------------------------------------------------------

bool TfrmMain::event(QEvent* event)
{
    using keyhook::THookEvent;
    const int type = event->type();
    if (type >= THookEvent::TypeOf(keyhook::kHookKeyMessage) &&
        type <= THookEvent::TypeOf(keyhook::kHookMouseMessage)) {
        const auto* hook = static_cast<THookEvent*>(event);
        HookMessage(hook->Message, hook->WParam, hook->LParam, hook->KeyState);
        return true;
    }
    return TKSkinnedMain::event(event);
}

void TfrmMain::HookMessage(int message, uint64_t wParam, int64_t lParam, uint8_t keyState)
{
    switch (message) {
    case keyhook::kHookKeyMessage: {
        if (lParam & keyhook::kKeyUpBit)
            return;
        const uint8_t shift = static_cast<uint8_t>(((lParam & keyhook::kKeyAltBit) ? 2 : 0) | (keyState & 5));
        HandleHotKey(static_cast<uint16_t>(wParam & 0xFFFF), shift);
        return;
    }
    case keyhook::kHookAppCommandMessage:
        if (!Config || !Config->EnableMediaKeys || !PlaySystem)
            return;
        if (lParam == keyhook::kAppCommandNext)
            PlaySystem->PlayNext(true);
        else if (lParam == keyhook::kAppCommandPrevious)
            PlaySystem->PlayPrevious(true);
        else if (lParam == keyhook::kAppCommandStop)
            PlaySystem->Stop(true);
        else if (lParam == keyhook::kAppCommandPlayPause)
            PlayPause();
        return;
    case keyhook::kHookMouseMessage: {
        if (wParam != keyhook::kMouseWheelMessage)
            return;
        const auto delta = static_cast<int8_t>(lParam & 0xFF);
        if (delta > 0)
            MouseWheelUp();
        else if (delta < 0)
            MouseWheelDown();
        return;
    }
    default: return;
    }
}

// --- buttons and check boxes ---------------------------------------------------

void TfrmMain::ButtonClicked(THoverImage& button)
{
    if (&button == imgCloseButton) {
        Close1Click();
    } else if (&button == imgEjectButton) {
        AddFromEjectExecute();
    } else if (&button == imgMinimizeButton) {
        Minimize1Click();
    } else if (&button == imgConfigButton) {
        Configuration1->trigger();
    } else if (!PlaySystem) {
        return;
    } else if (&button == imgRewindButton) {
        PlaySystem->PlayPrevious(true);
    } else if (&button == imgPlayButton) {
        if (SysPaused)
            PlaySystem->Pause();
        else
            PlaySystem->StartPlay();
    } else if (&button == imgPauseButton) {
        PlaySystem->Pause();
    } else if (&button == imgStopButton) {
        PlaySystem->Stop(true);
    } else if (&button == imgForwardButton) {
        PlaySystem->PlayNext(true);
    }
}

void TfrmMain::Close1Click() { RequestTerminate(); }

void TfrmMain::SetCheckbox(TKImage& control, TKSCheckbox& element, bool on)
{
    element.State = on ? 3 : 1;
    control.Tag = on ? 1 : 0;
    SkinSetCheckboxState(Skin(), control, element);
}

void TfrmMain::CheckboxToggled(TKImage& box)
{
    TKSMain& m = Skin().Main;
    const bool on = box.Tag == 1;
    if (&box == imgMuteCheckbox) {
        ToggleMute();
        return;
    }
    if (!Config)
        return;
    if (&box == imgPlaymodeCheckbox) {
        Config->PlayMode.Enabled = m.PlaymodeCheckbox.State == 3;
        ConfigControlFollows("rgPlaymode", Config->PlayMode.Enabled ? Config->PlayMode.Mode : 0);
    } else if (&box == imgAutofullscreenCheckbox) {
        Config->AutoFullscreen = on;
        ConfigControlFollows("cbAutoFS", on);
    } else if (&box == imgAutoVideoResizeCheckbox) {
        Config->AutoVideoResize = on;
        ConfigControlFollows("cbAutoVideoResize", on);
    } else if (&box == imgPlaylistCheckbox) {
        Config->PlaylistVis = on;
        SetPlaylistVisible(on);
        SetCheckbox(box, m.PlaylistCheckbox, on);
    } else if (&box == imgEqualizerCheckbox) {
        Config->MediaConVis = on;
        SetMediaControlsVisible(on);
        SetCheckbox(box, m.EqualizerCheckbox, on);
    }
}

// --- bars ------------------------------------------------------------------------

void TfrmMain::BarChanged(TKImage& bar, TKDragPhase phase)
{
    const TKSMain& m = Skin().Main;
    if (&bar == imgProgressBar)
        ProgressChanged(phase, m.ProgressBar.Max, m.ProgressBar.Value);
    else if (&bar == imgVolume)
        VolumeMoved(Panel(), phase);
}

void TfrmMain::SeekBarChanged(TKImage& thumb, TKDragPhase phase)
{
    const TKSMain& m = Skin().Main;
    if (&thumb == imgProgressSeekbarBar)
        ProgressChanged(phase, m.ProgressSeekBar.Max, m.ProgressSeekBar.Value);
    else if (&thumb == imgVolumeSeekbarBar)
        VolumeMoved(Panel(), phase);
    else if (&thumb == imgBalanceBar)
        BalanceChanged(phase);
}

void TfrmMain::ProgressChanged(TKDragPhase phase, int64_t max, int64_t value)
{
    TKTransportPanel& panel = Panel();
    switch (phase) {
    case TKDragPhase::Down: panel.BeginDrag(statusText_); break;
    case TKDragPhase::Move:
        if (panel.Dragging())
            ShowTimeJump(value);
        break;
    case TKDragPhase::Up: {
        if (!panel.Dragging())
            break;
        const std::u16string saved = panel.EndDrag();
        ShowTimeJump(value);
        SetStatusText(saved);
        if (PlaySystem)
            PlaySystem->SetPosition(BarOf(max, value));
        break;
    }
    case TKDragPhase::Reset: break;
    }
}

void TfrmMain::BalanceChanged(TKDragPhase phase)
{
    TKSSeekBar& bar = Skin().Main.Balance;
    switch (phase) {
    case TKDragPhase::Reset:
        bar.Value = 100;
        SkinPlaceSeekBarThumb(Skin(), *imgBalanceBackground, *imgBalanceBar, bar);
        if (Config)
            Config->Balance = 100;
        ShowStatus(BalanceText(100));
        break;
    case TKDragPhase::Down: break;
    case TKDragPhase::Move: {
        const std::u16string text = BalanceText(bar.Value);
        ShowStatus(text);
        ShowOSD(text);
        StartOSDTimer(2000);
        if (Config)
            Config->Balance = static_cast<int32_t>(bar.Value);
        break;
    }
    case TKDragPhase::Up: return;
    }
    if (PlaySystem)
        PlaySystem->SetBalance(static_cast<int>(bar.Value));
}

// --- the play system's view ---------------------------------------------------------

void TfrmMain::SetStatusText(const std::u16string& text)
{
    statusText_ = text;
    for (TKTransportPanel* panel : Panels())
        panel->ShowStatus(text);
    const std::u16string shown = WideFormat(u"Kolvarin - %s", text);
    KTrayIcon1.SetHint(shown);
    KTrayIcon1.SetShowHint(true);
    setWindowTitle(QString::fromStdU16String(shown));
}

void TfrmMain::SetStatusIcon(TKStatusIcon icon)
{
    statusIcon_ = icon;
    const TKSMain& m = Skin().Main;
    const TKSImage* image = &m.StatusIconStop;
    switch (icon) {
    case TKStatusIcon::Stopped: break;
    case TKStatusIcon::Wait: image = &m.StatusIconWait; break;
    case TKStatusIcon::Play: image = &m.StatusIconPlay; break;
    case TKStatusIcon::Paused: image = &m.StatusIconPause; break;
    }
    imgStatus->SetPicture(image->Bitmap);
}

void TfrmMain::RestartScrollLabels()
{
    for (TKTransportPanel* panel : Panels())
        panel->RestartScroll();
}

void TfrmMain::SetProgressBar(int tag, bool enabled, int64_t max, int64_t position)
{
    for (TKTransportPanel* panel : Panels())
        panel->SetProgressRange(tag, enabled, max);
    SetProgressPosition(enabled, position);
}

void TfrmMain::SetProgressPosition(bool enabled, int64_t position)
{
    for (TKTransportPanel* panel : Panels())
        panel->ShowProgress(enabled, position);
}

bool TfrmMain::SeekBarDragging() const
{
    const TKSkinnedFullscreenControl* bar = FullscreenControl;
    return Panel().Dragging() || (bar && bar->Panel().Dragging());
}

void TfrmMain::SetVolumeBarState(int64_t value, bool enabled)
{
    TKPanelValue volume = Panel().Volume();
    volume.Value = value;
    for (TKTransportPanel* panel : Panels())
        panel->SetVolumeEnabled(enabled);
    ShowVolume(volume);
}

void TfrmMain::ShowVolume(const TKPanelValue& volume)
{
    for (TKTransportPanel* panel : Panels())
        panel->ShowVolume(volume);
}

void TfrmMain::ShowMute(bool on)
{
    for (TKTransportPanel* panel : Panels())
        panel->ShowMute(on);
}

void TfrmMain::ShowTime(int hours, int minutes, int seconds, bool remaining)
{
    ShowTimeDigits(hours, minutes, seconds, remaining);
}

void TfrmMain::ClearAnalyzer()
{
    BlitBitmap(Skin().Main.Analyzer.Bitmap, imgAnalyzer->Surface());
    imgAnalyzer->Invalidate();
}

void TfrmMain::ShowBalloon(const std::u16string& title, const std::u16string& text, int seconds, bool errorIcon)
{
    KTrayIcon1.ShowBalloonHint(title, text, errorIcon ? 3 : 1, seconds);
}

void TfrmMain::RefreshPlaylist() { emit WindowEvents().PlaylistChanged(); }

void TfrmMain::SetPlaylistVisible(bool on)
{
    if (QWidget* w = PlayerWindow("frmPlaylist"))
        w->setVisible(on);
}

void TfrmMain::SetMediaControlsVisible(bool on)
{
    if (QWidget* w = PlayerWindow("frmMediaControls"))
        w->setVisible(on);
}

void TfrmMain::MediumStarted()
{
    if (PlaySystem)
        ShowMediaInfo(PlaySystem->StreamInfos(), PlaySystem->CurrentEntry());
    emit WindowEvents().MediumStarted();
}

void TfrmMain::SetAudioMenu(bool audioEnabled, bool liveStreamEnabled)
{
    Audio1->menuAction()->setEnabled(audioEnabled);
    AudioLiveStream->menuAction()->setEnabled(liveStreamEnabled);
}

void TfrmMain::SetRecordChecked(bool on)
{
    AudioLiveStreamRecord->setChecked(on);
    AudioLiveStreamStop->setChecked(!on);
}

void TfrmMain::DisableVideoMenu() { Video1->menuAction()->setEnabled(false); }

void TfrmMain::UpdateVideoMenu() { Video1->menuAction()->setEnabled(true); }

} // namespace kolvarin
