#pragma once

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include <QTimer>

#include "skin/barpopupmenu.h"
#include "skin/hoverimage.h"
#include "skin/kform.h"
#include "skin/kpaintbox.h"
#include "skin/kskinnedwindow.h"
#include "skin/ktransportpanel.h"
#include "skin/ktrayicon.h"

namespace kolvarin {

// The skinned main window: the controls that the skin's main section is
// applied to (ApplySkin), each bound to its element for look and mouse
// behaviour. The docking master (Tag 1). The player's main window derives
// from it and acts in the hooks of TKSkinnedWindow. Controls are owned by
// the window (Qt children); the stacking order is the declaration order,
// the background lowest. Main thread only.
class TKSkinnedFullscreenControl;
class TSpectrum;

class TKSkinnedMain : public TKForm, public TKSkinnedWindow {
public:
    explicit TKSkinnedMain(TKGUI& skin = GUI);

    // 45 ms, running from creation: one step of the scroll labels and one
    // analyzer frame (AnalyzerSLTimerTimer), once start-up has finished. It
    // rests while neither this window nor the full-screen bar can be seen,
    // and runs again when one of them shows; it rests too once nothing plays
    // and the analyzer's frame stands still, until a play starts it.
    QTimer AnalyzerSLTimer;
    // Where the analyzer's frames come from: fills 512 values and returns
    // true while a medium plays; unset or false shows the background.
    std::function<bool(std::span<float>)> SpectrumData;
    // The painter the analyzer draws with (the global Spectrum); not owned.
    TSpectrum* Spectrum = nullptr;
    // Whether the analyzer is switched on and draws bars (settings).
    bool SpectrumShown = true;
    int SpectrumStyle = 1;
    // The full-screen bar, whose label scrolls too while it is shown; set
    // through SetFullscreenControl.
    TKSkinnedFullscreenControl* FullscreenControl = nullptr;
    void SetFullscreenControl(TKSkinnedFullscreenControl* bar);

    // This window's status, progress, volume, mute and time elements.
    TKTransportPanel& Panel() { return *panel_; }
    const TKTransportPanel& Panel() const { return *panel_; }
    // This window's panel and the full-screen bar's: every place those
    // elements show.
    std::vector<TKTransportPanel*> Panels();

    void AnalyzerSLTimerTimer();
    // One analyzer frame: the spectrum when SpectrumData gives one, else the
    // skin's analyzer background. Whether it differs from the one shown.
    bool PaintAnalyzer();

    TKImage* imgForm;
    TKImage* imgCaptionbar;
    TKPaintbox* imgAnalyzer;
    TKImage* imgScrollabelBackground;
    TKPaintbox* imgScrolllabel;
    TKImage* imgProgressBar;
    TKImage* imgProgressSeekbarBackground;
    TKImage* imgProgressSeekbarBar;
    TKImage* imgVolume;
    TKImage* imgVolumeSeekbarBackground;
    TKImage* imgVolumeSeekbarBar;
    TKImage* imgBalanceBackground;
    TKImage* imgBalanceBar;
    THoverImage* imgCloseButton;
    THoverImage* imgMinimizeButton;
    THoverImage* imgRewindButton;
    THoverImage* imgPlayButton;
    THoverImage* imgPauseButton;
    THoverImage* imgStopButton;
    THoverImage* imgForwardButton;
    THoverImage* imgEjectButton;
    THoverImage* imgConfigButton;
    TKImage* imgMuteCheckbox;
    TKImage* imgPlaymodeCheckbox;
    TKImage* imgAutofullscreenCheckbox;
    TKImage* imgAutoVideoResizeCheckbox;
    TKImage* imgPlaylistCheckbox;
    TKImage* imgEqualizerCheckbox;
    TKImage* imgTime;
    TKImage* imgStatus;
    TBarPopupMenu* popmMain;
    // The notification-area icon, with the main menu; hidden until the play
    // system's tray mode shows it.
    TKTrayIcon KTrayIcon1;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AnalyzerSeen() const;

    std::optional<TKTransportPanel> panel_;
};

} // namespace kolvarin
