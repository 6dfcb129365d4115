#pragma once

#include <optional>

#include <QWidget>

#include "skin/hoverimage.h"
#include "skin/kpaintbox.h"
#include "skin/kskinnedwindow.h"
#include "skin/ktransportpanel.h"

namespace kolvarin {

// The skinned video window as the skin engine needs it: a resizable
// frameless window (not a TKForm: it neither snaps nor docks) with its
// composed background, size grip, caption and the video panel inside the
// edges and borders. The video side derives from it. Main thread only.
class TKSkinnedVideo : public QWidget, public TKSkinnedWindow {
public:
    explicit TKSkinnedVideo(TKGUI& skin = GUI);

    TKPaintbox* imgForm;
    QWidget* pnlVideo;
    TKImage* imgCaptionBar;
    TKImage* imgResizer;

    // Grip, caption, composed background and video panel for the current
    // size; runs on every resize once a skin is loaded.
    void FormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The full-screen control bar: a frameless strip shown over the full-screen
// video, with the controls of the skin's VideoFullscreenControl section.
class TKSkinnedFullscreenControl : public QWidget, public TKSkinnedWindow {
public:
    explicit TKSkinnedFullscreenControl(TKGUI& skin = GUI);

    TKImage* imgForm;
    TKImage* imgScrollabelBackground;
    TKPaintbox* imgScrolllabel;
    TKImage* imgProgressBar;
    TKImage* imgProgressSeekbarBackground;
    TKImage* imgProgressSeekbarBar;
    TKImage* imgVolume;
    TKImage* imgVolumeSeekbarBackground;
    TKImage* imgVolumeSeekbarBar;
    THoverImage* imgCloseButton;
    THoverImage* imgTJBackwardButton;
    THoverImage* imgPlayButton;
    THoverImage* imgPauseButton;
    THoverImage* imgStopButton;
    THoverImage* imgTJForwardButton;
    TKImage* imgMuteCheckbox;
    TKImage* imgTime;

    // The bar's status, progress, volume, mute and time elements.
    TKTransportPanel& Panel() { return *panel_; }
    const TKTransportPanel& Panel() const { return *panel_; }

private:
    std::optional<TKTransportPanel> panel_;
};

} // namespace kolvarin
