#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QIcon>
#include <QTimer>

class QAction;
class QMenu;

#include "forms/mainformadder.h"
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

    // The volume and the mute state, shown on every panel (this window's
    // and the full-screen bar's), whichever the user moved.
    void ShowVolume(const TKPanelValue& volume);
    void ShowMute(bool on);

    // Shows or hides the playlist or media-controls window.
    static void SetPlaylistVisible(bool on);
    static void SetMediaControlsVisible(bool on);

    // Adding to the playlist (see TKFileAdder: the window stays responsive,
    // the status shows the progress, Esc cancels). Dropped files and the
    // eject button replace the playlist and play the first new entry; the
    // add-files action appends. A folder adds every file below it.
    void DropFiles(std::vector<std::u16string> names);
    void AddFromPlaylistExecute();
    void AddFromEjectExecute();
    void AddDirExecute();
    void AddDirectory(const std::u16string& folder);
    // The chosen files of the two add-files actions; clear replaces the playlist.
    void AddFiles(std::vector<std::u16string> names, bool clear);
    TKFileAdder Adder;
    // The add-files dialog's filter (Qt's "name (*.a *.b);;..." form).
    QString AddFilesFilter;

    // The hook library's messages (2025 key, 2026 application command, 2027
    // mouse); keyState stands in for the keyboard state (1 Shift, 2 Alt, 4 Ctrl).
    void HookMessage(int message, uint64_t wParam, int64_t lParam, uint8_t keyState);

    // Ends the program; its windows stay as they are until the shutdown has
    // stored them. The window manager's close of this window does the same.
    void Close1Click();

    // The main popup menu (popmMain) by the design's item names. The video
    // items call the video window, which connects to them; Debug1 is filled
    // by the debug menu and shown when debugging is on.
    QAction* AboutKolvarin1;
    QMenu* Helpcenter1;
    QAction* Tellafriend1;
    QAction* News1;
    QAction* Homepage1;
    QAction* OnlineFAQ1;
    QAction* Onlinefeedback1;
    QAction* LiveUpdate1;
    QAction* Configuration1;
    QAction* Main1;
    QAction* Mediacontrols1;
    QAction* Playlistwindow1;
    QMenu* Video1;
    QMenu* Mode1;
    QAction* Fullscreen1;
    QAction* Desktop1;
    QAction* Window1;
    QMenu* Ratio1;
    QAction* RatStretched;
    QAction* RatLetterbox;
    QAction* RatCrop;
    QAction* Rat43;
    QAction* Rat54;
    QAction* Rat169;
    QAction* Rat1610;
    QAction* Rat2351;
    QAction* RatUserDef;
    QMenu* MonitorOutput1;
    QMenu* Audio1;
    QMenu* AudioLiveStream;
    QAction* AudioLiveStreamRecord;
    QAction* AudioLiveStreamStop;
    QAction* Restore1;
    QAction* Minimize1;
    QAction* Close1;
    QAction* Autoliveupdate1;
    QMenu* Debug1;
    // The play-mode menu: None1, Repeat1, Random1, Jumptonextuntilend1,
    // JumptonextuntilendLoop1 for modes 0 to 4.
    QMenu* popmPlaymode;
    std::array<QAction*, 5> PlaymodeItems;
    // The main menu's item images, by index: 0 about, 1 help centre, 2
    // configuration, 3 close, 4 live update, 5 minimise, 6 restore, 7 full
    // screen, 8 desktop, 9 window.
    static std::array<QIcon, 10> MainMenuImages();
    const std::array<QIcon, 10> imglstPopmMain = MainMenuImages();

    void Main1Click();
    void Mediacontrols1Click();
    void Playlistwindow1Click();
    void Restore1Click();
    void Minimize1Click();
    void Tellafriend1Click();
    void LiveUpdate1Click(bool autoStart);
    void AudioLiveStreamRecordClick();
    void AudioLiveStreamStopClick();
    // Mode 0 switches the play mode off (keeping the mode); 1 to 4 choose it.
    void SetPlayMode(int mode);
    // The address the tell-a-friend item opens.
    static std::u16string TellAFriendLink();
    // The main window is being activated: its caption active, the others
    // inactive, the visible player windows raised without activation.
    void FormActivate() override;

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
    bool SeekBarDragging() const override;
    void SetVolumeBarState(int64_t value, bool enabled) override;
    void ShowTime(int hours, int minutes, int seconds, bool remaining) override;
    void ClearAnalyzer() override;
    void ShowBalloon(const std::u16string& title, const std::u16string& text, int seconds, bool errorIcon) override;
    void RefreshPlaylist() override;
    // The media information, and the played entry scrolled into view.
    void MediumStarted() override;
    void SetAudioMenu(bool audioEnabled, bool liveStreamEnabled) override;
    void SetRecordChecked(bool on) override;
    void DisableVideoMenu() override;
    void UpdateVideoMenu() override;

protected:
    void ButtonClicked(THoverImage& button) override;
    void CheckboxToggled(TKImage& box) override;
    void BarChanged(TKImage& bar, TKDragPhase phase) override;
    void SeekBarChanged(TKImage& thumb, TKDragPhase phase) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTimer& Timer(TKPlayTimer timer);
    void MoveOnTimerTimer();
    // The progress bar or seek bar (the skin shows one) dragged to value.
    void ProgressChanged(TKDragPhase phase, int64_t max, int64_t value);
    void BalanceChanged(TKDragPhase phase);
    void BindTimeAndAnalyzer();
    void CreateMenus();
    // Shows the wait icon and the status text; what runs when the adder is done.
    void BeginAdding(const std::u16string& status, std::function<void(size_t added)> after);

    std::u16string statusText_;
    // The status text saved while the adder shows its progress.
    std::u16string SavedStatusText;
    TKStatusIcon statusIcon_ = TKStatusIcon::Stopped;
    // The play mode's next entry after a failed start (TKPlayTimer::MoveOnTimer).
    QTimer moveOnTimer_;
};

// The main window while it exists; else null.
extern TfrmMain* frmMain;

} // namespace kolvarin
