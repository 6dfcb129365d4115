#include "skin/kskinchange.h"

#include "skin/kskinelements.h"
#include "skin/kskinload.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

std::string ChangeSkin(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows)
{
    FreeGUI(skin);
    InitGUI(skin);
    std::string shown = name;
    if (LoadSkinByName(skin, name, name == kDefaultSkinName, zip) != kSkinLoaded) {
        FreeGUI(skin);
        InitGUI(skin);
        shown = kDefaultSkinName;
        if (LoadSkinByName(skin, shown, true, zip) != kSkinLoaded)
            return {};
    }
    ApplySkin(skin, windows);
    if (windows.FullscreenControl)
        ApplySkinToFullscreenControl(skin, *windows.FullscreenControl);
    SkinScrollLabelSetText(skin, skin.Main.Scrolllabel);
    SkinScrollLabelSetText(skin, skin.VideoFullscreenControl.Scrolllabel);
    return shown;
}

} // namespace kolvarin
