#pragma once

// TfrmVideo: the skinned window the video plays in. It holds the display
// component the video side's filter graph renders into, the equalizer and
// spectrum fed by the side's DSP filter (the side sets the equalizer's
// bands), and the popup menu, and turns menu and mouse actions into calls of
// the play system. One instance, frmVideo, from creation to destruction.
// Main thread only, except the DSP handlers, which run where the DSP filter
// calls them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "forms/screensaver.h"
#include "forms/videomenus.h"
#include "forms/videostreams.h"
#include "skin/kskinnedvideo.h"
#include "video/dskitdspfilter.h"
#include "video/dskitfiltergraph.h"
#include "video/dskitvideowindow.h"
#include "video/dspequalizer.h"
#include "video/dvdevents.h"
#include "video/kvideohost.h"
#include "video/visspectrum.h"

class QMouseEvent;

namespace kolvarin {

class TKVideoOSD;

// How the video shows: 0 none (the play system resets it), 1 window, 2 full
// screen, 3 desktop.
enum TKVideoDisplayMode : uint8_t { vdmNone, vdmWindow, vdmFullscreen, vdmDesktop };
extern uint8_t VideoDisplayMode;
// The video spectrum's 512 bands, read by the main window's analyser.
extern std::array<int, 512> VideoSpectrumData;

class TfrmVideo : public TKSkinnedVideo, public video::TKVideoHost {
public:
    explicit TfrmVideo(TKGUI& skin = GUI);
    ~TfrmVideo() override;

    video::TDSVideoWindowEx2* DSVideoWindowEx;
    dsp::TQxEqualizer QxEqualizer;
    dsp::TQxSpectrum QxSpectrum1;
    TKVideoPopupMenu Menu;

    // The graph the display renders (the video side's); null before one is set.
    video::TFilterGraph* FilterGraph() const { return DSVideoWindowEx->FilterGraph(); }
    bool GraphActive() const { return FilterGraph() && FilterGraph()->Active(); }
    // Sends the DSP filter's PCM through the equalizer and its visual data to
    // the spectrum, whose bands go to VideoSpectrumData (null detaches). The
    // filter's own media-type handler still runs after the equalizer's flush.
    void AttachDSP(video::TDSKitQxDSPFilter* filter);

    // --- display modes: each does nothing while the graph is inactive ------
    void Fullscreen1Click();
    void Desktopmode1Click();
    void Windowmode1Click();
    // The monitor items ticked for the display's monitor (none without one).
    void CheckMonitorOutputs();

    // --- size and shape of the picture ------------------------------------
    // The first video stream's size; 0 x 0 without one.
    QSize GetVideoSize() const;
    // The shape the picture is meant to show in (x:y, its pixels need not be
    // square); 0 x 0 without a video.
    QSize GetPictureShape() const;
    // Ticks the zoom item; with a video and AutoVideoResize or force, sizes
    // the client area to percent of the video (centred when CenterVideo).
    void SetWindowZoom(int percent, bool force);
    // Ticks the digital-zoom item and sets the display's zoom (0..99).
    void SetDigitalZoom(int value);
    // The picture's rectangle in the display for the Ratio setting; nothing
    // without a display or a video size.
    std::optional<QRect> VideoRect() const;
    // Applies the Ratio setting; false (nothing ticked) without a video.
    bool SetAspectRatio();
    // A ratio item: stores the mode and applies it.
    void SelectRatio(uint8_t mode);

    // --- the video side's calls (TKVideoHost) -------------------------------
    video::TDSVideoWindowEx2& VideoDisplay() override { return *DSVideoWindowEx; }
    // With video: menus filled, colours applied, zoom, display mode;
    // without: the window hides.
    void VideoPrepared(bool hasVideo, bool dvd) override;
    // The window's part for a picture: zoom, popup image, monitors, menu
    // and display mode.
    void ShowVideo(bool dvd, bool hasAudio, bool hasSubtitles);
    void VideoReset(bool fullStop) override;
    void VideoSizeChanged(int width, int height) override;
    bool Visible() override { return isVisible(); }
    void ToForeground() override;
    void CalculateVideoRatio() override { SetAspectRatio(); }
    void ResetSpeedItems() override;
    // The list dialog "Choose video filter script" over the candidates.
    bool ChooseScript(const std::vector<std::string>& candidates, std::string& chosen, bool& dontAskAgain) override;
    dsp::TQxEqualizer* Equalizer() override { return &QxEqualizer; }
    // VideoSpectrumData as the main window's analyser takes it.
    bool GetSpectrumData(std::span<float> values) override;

    // --- menus of the medium ---------------------------------------------------
    // Audio and subtitle menus from the graph's splitter and subtitle filter
    // (video files and URL streams only).
    void GetMediaProperties(bool& hasAudio, bool& hasSubtitles);
    // The picture's size and the stream menus' items to the trace log.
    void LogMediaProperties();
    void SetVideoDefaults() override;
    void AudioStreamClick(QAction* item);
    void SubtitleStreamClick(QAction* item);
    // One item per filter of the graph, ticked when it has property pages.
    void BuildFilterMenu();
    // One item per monitor; its click moves full screen there.
    void RefreshOutputMonitors();
    void SelectMonitorOutput(int monitor);
    // Items by system type and pause state.
    void UpdateVideoMenu() override;
    // The hot keys' steps: next ratio, audio stream, subtitle stream, monitor.
    void NextAspectRatio();
    void NextAudioStream();
    void NextSubtitleStream();
    void NextMonitorOutput();

    // --- DVD: each needs the navigator's control or information ----------------
    void DvdPlayForwards(double speed);
    void DvdPlayBackwards(double speed);
    void DvdShowMenu(int menu);
    void DvdPlayChapter(bool next);
    // The graph's DVD events come here; a new disc's choices start afresh.
    void PrepareDvd();
    // Restores the chosen streams and rebuilds the audio, subtitle and
    // "Jump to" menus.
    void FilterGraphDVDChapterStart(int chapter);
    void FilterGraphDVDTitleChange(int title);
    // The time digits and the progress bar of the play system's view.
    void FilterGraphDVDCurrentHMSFTime(media::DVD_HMSF_TIMECODE time);
    void Toggledrawsubtitlesinvis1Click();
    // The DVD picture's pixel under a point of the display (digital zoom and
    // aspect ratio undone); none outside the picture.
    std::optional<media::POINT> DvdPicturePoint(QPoint at) const;
    const video::TDvdState& DvdState() const { return dvdState_; }

    // --- screenshots and the graph log -------------------------------------------
    // Pauses while it takes the picture (resumes when it paused); fileName
    // gets the bitmap's name. False when nothing was written.
    bool TakeScreenshot(int mode, std::u16string& fileName);
    void ScreenshotClick(int mode);
    void WriteFilterGraphToLog() override;
    // A graph event to the trace log, and with debugging on to the screen.
    void FilterGraphDSEvent(int32_t code);

    // --- settings the configuration dialog applies at once -------------------
    // The colour controls from the settings onto the display (a playing
    // video changes now); a value out of range leaves the control's own.
    void ApplyColorControls();
    // The cursor hides after 3000 ms without a move with HideCursor, else never.
    void ApplyCursorHiding();
    // The full-screen control bar on or off; off hides a bar on show.
    void ApplyFullscreenControl();

    // The screen saver is held off while a video plays (not paused) and
    // NoScreensaver is set, in every display mode; the on-screen text's
    // timer checks it. Tests put a fake screen saver.
    void KeepScreensaverAway();
    void SetScreensaver(TKScreensaver& screensaver) { screensaverInhibit_.SetScreensaver(screensaver); }
    bool ScreensaverInhibited() const { return screensaverInhibit_.Held(); }

    // --- on-screen text ----------------------------------------------------
    // Draws the pending on-screen text over the video, or removes it when
    // none is pending. OSDTimer (45 ms, while a video is prepared) runs it
    // and the display's idle routine (cursor hiding, the full-screen bar).
    void PaintOSD();
    TKVideoOSD* OSDLabel() const { return osdLabel_; }
    QTimer OSDTimer;

    // Before the popup opens: the stream, jump and filter menus are enabled
    // exactly when they have items.
    void popmVideoPopup();

    // The main window's monitor menu, filled and ticked with this window's.
    QPointer<QMenu> MainMonitorOutput;

protected:
    void FormActivate() override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectMenu();
    // This window's monitor menu and the main window's (when set).
    std::vector<QMenu*> MonitorMenus() const;
    void SpectrumData(const dsp::TVisualBuffer& bands);
    void EnterFullscreenOrDesktop(bool desktop);
    void ModeEntered(uint8_t mode, QAction* item, int text);

    video::TDvdPlaySystem Dvd();
    video::TDvdTexts DvdTexts() const;
    void ShowDvdMenus();
    // Follows a DVD menu click: the menus' checks and the on-screen text.
    void DvdMenuClicked(const video::TDvdMessage& message);
    // Highlights the DVD menu button under the mouse, or fires it on release.
    void DvdMouse(const QMouseEvent& event, bool release);

    void InstallUserActionHooks(bool install);
    // Shows the text for ms when the on-screen text applies.
    void Notify(const std::u16string& text, int ms);

    QPointer<video::TDSKitQxDSPFilter> dsp_;
    std::function<void(video::PDSStream)> sideMediaTypeChanged_;
    TKGraphFilters streams_;
    video::TDvdState dvdState_;
    video::TDvdMenus dvdMenus_;
    TKVideoOSD* osdLabel_ = nullptr;
    TKDBusScreensaver dbusScreensaver_;
    TKScreensaverInhibit screensaverInhibit_{dbusScreensaver_};
};

extern TfrmVideo* frmVideo;

} // namespace kolvarin
