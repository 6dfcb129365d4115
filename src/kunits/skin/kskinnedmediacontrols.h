#pragma once

#include <array>

#include "skin/barpopupmenu.h"
#include "skin/kform.h"
#include "skin/kskinnedwindow.h"

namespace kolvarin {

// The skinned media-controls window: the speed slider and the ten
// equalizer bands as seek bars on a masked background. Main thread only.
class TKSkinnedMediaControls : public TKForm, public TKSkinnedWindow {
public:
    explicit TKSkinnedMediaControls(TKGUI& skin = GUI);

    TKImage* imgForm;
    TKImage* imgCaptionbar;
    TKImage* imgSpeedBackground;
    TKImage* imgSpeedBar;
    std::array<TKImage*, 10> imgEQBackground; // imgEQ0Background .. imgEQ9Background
    std::array<TKImage*, 10> imgEQBar; // imgEQ0Bar .. imgEQ9Bar
    TBarPopupMenu* popmMediaControls;
};

} // namespace kolvarin
