#pragma once

#include <string>

#include "skin/kgui.h"
#include "skin/kskinapply.h"

namespace kolvarin {

class TZipHandler;

// Replaces the skin of the windows: FreeGUI and InitGUI, then loads the
// named skin (the built-in one for "base[default]") and applies it to every
// window. When it does not load, gives a window no size or fails to apply,
// the record is initialised again and the built-in skin loaded and applied.
// The bars keep their ranges and values (the player's, not the skin's).
// Re-measures the scroll labels. Returns the name of the skin now shown
// ("base[default]" after a fall-back); empty when not even the built-in skin
// loaded. Main thread only.
std::string ChangeSkin(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows);

} // namespace kolvarin
