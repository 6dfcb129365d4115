#pragma once

#include <string>

#include "skin/kgui.h"
#include "skin/kskinapply.h"

namespace kolvarin {

class TZipHandler;

// Replaces the skin of the windows: FreeGUI and InitGUI, then loads the
// named skin (the built-in one for "base[default]"); when that fails the
// record is initialised again and the built-in skin loaded. Applies the
// result to every window and re-measures the scroll labels. Returns the
// name of the skin now shown ("base[default]" after a fall-back); empty
// when not even the built-in skin loaded. Main thread only.
std::string ChangeSkin(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows);

} // namespace kolvarin
