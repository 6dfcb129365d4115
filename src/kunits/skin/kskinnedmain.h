#pragma once

#include "skin/barpopupmenu.h"
#include "skin/hoverimage.h"
#include "skin/kform.h"
#include "skin/kpaintbox.h"
#include "skin/kskinnedwindow.h"

namespace kolvarin {

// The skinned main window: the controls that the skin's main section is
// applied to (ApplySkin), each bound to its element for look and mouse
// behaviour. The docking master (Tag 1). The player's main window derives
// from it and acts in the hooks of TKSkinnedWindow. Controls are owned by
// the window (Qt children); the stacking order is the declaration order,
// the background lowest. Main thread only.
class TKSkinnedMain : public TKForm, public TKSkinnedWindow {
public:
    explicit TKSkinnedMain(TKGUI& skin = GUI);

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
};

} // namespace kolvarin
