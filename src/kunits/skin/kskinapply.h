#pragma once

#include "skin/barpopupmenu.h"
#include "skin/kcontrol.h"
#include "skin/kgui.h"
#include "skin/kpaintbox.h"

class QWidget;

namespace kolvarin {

class TKSkinnedMain;
class TKSkinnedPlaylist;
class TKSkinnedMediaControls;
class TKSkinnedVideo;
class TKSkinnedFullscreenControl;

// The windows a skin is applied to; a missing one is skipped.
struct TKSkinWindows {
    TKSkinnedMain* Main = nullptr;
    TKSkinnedPlaylist* Playlist = nullptr;
    TKSkinnedMediaControls* MediaControls = nullptr;
    TKSkinnedVideo* Video = nullptr;
    TKSkinnedFullscreenControl* FullscreenControl = nullptr;
};

// Puts a loaded skin on the main, playlist, media-controls and video
// windows: their sizes, and every element on the control that shows it. The
// windows are hidden meanwhile and keep their visibility; the full-screen
// bar ends hidden. Main thread only.
void ApplySkin(TKGUI& skin, const TKSkinWindows& windows);
// The same for the full-screen control bar (hidden afterwards).
void ApplySkinToFullscreenControl(TKGUI& skin, TKSkinnedFullscreenControl& bar);

// True when the skin gives the main, playlist, media-controls and video
// windows a width and a height (a resizable window its size or its minimum),
// so each can be seen and found again; a skin that does not is not applied.
bool SkinSizesEveryWindow(const TKGUI& skin);

// The apply routines per element kind. An element whose images hold the
// skin's transparent colour is drawn transparently: its images and the
// control's picture are marked with that colour and the control lets those
// pixels through; otherwise the control is opaque.
bool SkinApplyForm(TKGUI& skin, TKImage& control, TKSForm& form, QWidget& window);
void SkinApplyImage(TKGUI& skin, TKImage& control, TKSImage& image);
void SkinApplyButton(TKGUI& skin, TKImage& control, TKSButton& button);
void SkinApplyCheckbox(TKGUI& skin, TKImage& control, TKSCheckbox& box);
void SkinApplyBar(TKGUI& skin, TKImage& control, TKSBar& bar);
void SkinApplySeekBar(TKGUI& skin, TKImage& background, TKImage& thumb, TKSSeekBar& bar);
void SkinApplyScrollLabel(TKGUI& skin, TKPaintbox& control, TKSScrollLabel& label);
void SkinApplyTime(TKGUI& skin, TKImage& control, TKSTime& time);
void SkinApplyResizeForm(TKGUI& skin, TKPaintbox& control, TKSResizeForm& form);
void SkinApplyCaptionBar(TKGUI& skin, TKImage& control, TKSCaptionBar& bar);
void SkinApplyStatusIcon(TKGUI& skin, TKImage& control, TKSImage& icon);
void SkinApplyScrollBar(TKGUI& skin, TKImage& control, TKSScrollBar& bar);
// The side bar of a window's popup menu: the picture (its transparent
// colour left out), bar width its width + 2.
void SkinApplyPopup(const TKGUI& skin, TBarPopupMenu& menu, const TKSImage& image);

} // namespace kolvarin
