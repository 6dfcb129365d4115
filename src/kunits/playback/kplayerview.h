#pragma once

// What the play system needs of the main window: its timers, status area,
// progress bar, time digits, analyzer, tray balloon and menus. The program
// implements it on its windows; tests record the calls. Every operation but
// StartTimerFromSync runs on the main thread.

#include <cstdint>
#include <string>

namespace kolvarin {

enum class TKPlayTimer {
    PlayTimer, // 333 ms: TKSystem::Update
    SyncFadeOutProcStartTimer, // 1 ms: TKSystem::SyncFadeOutProcStartTimerTimer
    SyncEndProcStartTimer, // 1 ms: TKSystem::SyncEndProcStartTimerTimer
    FadeOutStopTimer, // the fade time: TKSystem::FadeOutStopTimerTimer
    MoveOnTimer, // 1 ms: TKSystem::MoveOnTimerTimer
};

enum class TKStatusIcon { Stopped, Wait, Play, Paused };

class TKPlayerView {
public:
    virtual ~TKPlayerView() = default;

    // Enables (with the interval, when above 0) or disables a timer.
    virtual void SetTimer(TKPlayTimer, bool /*enabled*/, int /*intervalMs*/ = 0) {}
    // From the audio library's threads: enables a timer through the event
    // loop; never touches the timer from the calling thread.
    virtual void StartTimerFromSync(TKPlayTimer) {}

    virtual std::u16string StatusText() const { return {}; }
    virtual void SetStatusText(const std::u16string&) {}
    virtual TKStatusIcon StatusIcon() const { return TKStatusIcon::Stopped; }
    virtual void SetStatusIcon(TKStatusIcon) {}
    // Restarts the scrolling of the status labels.
    virtual void RestartScrollLabels() {}

    // Tag -1 marks a medium without known length.
    virtual void SetProgressBar(int /*tag*/, bool /*enabled*/, int64_t /*max*/, int64_t /*position*/) {}
    virtual void SetProgressPosition(bool /*enabled*/, int64_t /*position*/) {}
    virtual bool SeekBarDragging() const { return false; }
    virtual void SetVolumeBarState(int64_t /*value*/, bool /*enabled*/) {}
    // Hours, minutes, seconds; -1, -1, -1 shows blank digits.
    virtual void ShowTime(int /*hours*/, int /*minutes*/, int /*seconds*/, bool /*remaining*/) {}
    virtual void ClearAnalyzer() {}

    virtual void ShowBalloon(const std::u16string& /*title*/, const std::u16string& /*text*/, int /*seconds*/,
                             bool /*errorIcon*/)
    {}
    virtual void RefreshPlaylist() {}
    // A medium has started: its stream information and entry are known.
    virtual void MediumStarted() {}
    virtual void HideVideoWindow() {}
    // The main popup menu's audio item and its live-stream submenu.
    virtual void SetAudioMenu(bool /*audioEnabled*/, bool /*liveStreamEnabled*/) {}
    // The record item of the live-stream submenu was switched by the system.
    virtual void SetRecordChecked(bool) {}
    virtual void DisableVideoMenu() {}
    virtual void UpdateVideoMenu() {}
};

// The user-interface texts the play system shows (English defaults until
// the language texts exist).
struct TKPlayTexts {
    std::u16string Loading = u"Loading...";
    std::u16string Connecting = u"Connecting...";
    std::u16string Ready = u"Ready";
    std::u16string Paused = u"Paused";
    std::u16string IsPlaying = u"[ %s is playing ]";
    std::u16string Buffering = u"[ Buffering %3.1f %s ]";
};

} // namespace kolvarin
