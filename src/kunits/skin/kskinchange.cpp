#include "skin/kskinchange.h"

#include <exception>

#include "skin/kskinelements.h"
#include "skin/kskinload.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

namespace {

// False when the skin does not load, gives a window no size or fails to
// apply; nothing of an earlier skin survives into it.
bool LoadAndApply(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows)
{
    FreeGUI(skin);
    InitGUI(skin);
    if (LoadSkinByName(skin, name, name == kDefaultSkinName, zip) != kSkinLoaded || !SkinSizesEveryWindow(skin))
        return false;
    try {
        ApplySkin(skin, windows);
        if (windows.FullscreenControl)
            ApplySkinToFullscreenControl(skin, *windows.FullscreenControl);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

} // namespace

std::string ChangeSkin(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows)
{
    std::string shown = name;
    if (!LoadAndApply(skin, shown, zip, windows)) {
        shown = kDefaultSkinName;
        if (!LoadAndApply(skin, shown, zip, windows))
            return {};
    }
    SkinScrollLabelSetText(skin, skin.Main.Scrolllabel);
    SkinScrollLabelSetText(skin, skin.VideoFullscreenControl.Scrolllabel);
    return shown;
}

} // namespace kolvarin
