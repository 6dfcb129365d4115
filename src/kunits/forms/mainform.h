#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QTimer>

#include "playback/kplayerview.h"
#include "skin/kskinnedmain.h"

namespace kolvarin {

// The player's main window: the skinned main window with the play system's
// actions behind its buttons, check boxes and bars, its timers, its status
// text, the hook library's messages and dropped files. It is the play
// system's view (TKPlayerView). Created first among the windows; the guarded
// handlers wait for AppInitialized and stop at AppKilled. Main thread only.
class TfrmMain : public TKSkinnedMain, public TKPlayerView {
public:
    explicit TfrmMain(TKGUI& skin = GUI);
    ~TfrmMain() override;

    // The play system's timers (TKPlayTimer) and the window's own; each
    // handler below is what its timer runs.
    QTimer PlayTimer;
    QTimer FadeOutStopTimer;
    QTimer OSDResetTimer;
    QTimer StatusResetTimer;
    QTimer SyncFadeOutProcStartTimer;
    QTimer SyncEndProcStartTimer;
    // 10 ms, single shot: stops what plays and starts the focused or first
    // entry (the command line asked to play).
    QTimer timCommandPlay;

    void PlayTimerTimer();
    void FadeOutStopTimerTimer();
    void OSDResetTimerTimer();
    void StatusResetTimerTimer();
    void SyncFadeOutProcStartTimerTimer();
    void SyncEndProcStartTimerTimer();
    void timCommandPlayTimer();

    // A progress bar or seek bar drag is under way: the play system's update
    // leaves the bars alone.
    bool BarDragging = false;
    // The status text saved before a temporary text or a drag.
    std::u16string SavedStatusText;

    // What the window does not do itself: the configuration dialog, the
    // other windows' visibility. Empty does nothing.
    std::function<void()> ShowConfiguration;
    std::function<void(bool)> SetPlaylistVisible;
    std::function<void(bool)> SetMediaControlsVisible;
    // Repaints the playlist after the play system or a drop changed it.
    std::function<void()> OnRefreshPlaylist;

    // The hook library's messages (2025 key, 2026 application command, 2027
    // mouse); keyState stands in for the keyboard state (1 Shift, 2 Alt, 4 Ctrl).
    void HookMessage(int message, uint64_t wParam, int64_t lParam, uint8_t keyState);

    // Closes the main window, which ends the program.
    void Close1Click();

    // The check boxes show the value: state 3 and Tag 1 on, state 1 and Tag 0 off.
    void SetCheckbox(TKImage& control, TKSCheckbox& element, bool on);

    // TKPlayerView
    void SetTimer(TKPlayTimer timer, bool enabled, int intervalMs) override;
    void StartTimerFromSync(TKPlayTimer timer) override;
    std::u16string StatusText() const override { return statusText_; }
    void SetStatusText(const std::u16string& text) override;
    TKStatusIcon StatusIcon() const override { return statusIcon_; }
    void SetStatusIcon(TKStatusIcon icon) override;
    void RestartScrollLabels() override;
    void SetProgressBar(int tag, bool enabled, int64_t max, int64_t position) override;
    void SetProgressPosition(bool enabled, int64_t position) override;
    bool SeekBarDragging() const override { return BarDragging; }
    void SetVolumeBarState(int64_t value, bool enabled) override;
    void ShowTime(int hours, int minutes, int seconds, bool remaining) override;
    void ClearAnalyzer() override;
    void ShowBalloon(const std::u16string& title, const std::u16string& text, int seconds, bool errorIcon) override;
    void RefreshPlaylist() override;

protected:
    void ButtonClicked(THoverImage& button) override;
    void CheckboxToggled(TKImage& box) override;
    void BarChanged(TKImage& bar, TKDragPhase phase) override;
    void SeekBarChanged(TKImage& thumb, TKDragPhase phase) override;
    bool event(QEvent* event) override;

private:
    QTimer& Timer(TKPlayTimer timer);
    void ProgressBarChanged(TKDragPhase phase);
    void ProgressSeekBarChanged(TKDragPhase phase);
    void VolumeBarChanged(TKDragPhase phase);
    void VolumeSeekBarChanged(TKDragPhase phase);
    void BalanceChanged(TKDragPhase phase);
    void MirrorVolumeToFullscreen();
    void BindTimeAndAnalyzer();

    std::u16string statusText_;
    TKStatusIcon statusIcon_ = TKStatusIcon::Stopped;
};

// The main window while it exists; else null.
extern TfrmMain* frmMain;

// Shows time digits (hours, minutes, seconds; any -1 blanks all six) in the
// time element of the main window and of the full-screen bar.
void ShowTimeDigits(int hours, int minutes, int seconds, bool negative);

} // namespace kolvarin
