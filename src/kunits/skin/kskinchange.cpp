#include "skin/kskinchange.h"

#include <cstdint>
#include <exception>
#include <vector>

#include "skin/kskinelements.h"
#include "skin/kskinload.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

namespace {

// The bars show the player's values (position, volume, balance, speed,
// equalizer), not the skin's: they are carried into the new record.
struct TBarValue {
    int64_t Min = 0;
    int64_t Max = 0;
    int64_t Value = 0;
    bool Enabled = false;
};

struct TBarValues {
    std::vector<TBarValue> Bars;
    std::vector<TBarValue> SeekBars;
};

std::vector<TKSBar*> BarsOf(TKGUI& skin)
{
    return {&skin.Main.ProgressBar, &skin.Main.Volume, &skin.VideoFullscreenControl.ProgressBar,
            &skin.VideoFullscreenControl.Volume};
}

std::vector<TKSSeekBar*> SeekBarsOf(TKGUI& skin)
{
    std::vector<TKSSeekBar*> bars = {&skin.Main.ProgressSeekBar,
                                     &skin.Main.VolumeSeekBar,
                                     &skin.Main.Balance,
                                     &skin.MediaControls.SpeedSeekBar,
                                     &skin.VideoFullscreenControl.ProgressSeekBar,
                                     &skin.VideoFullscreenControl.VolumeSeekBar};
    for (TKSSeekBar& band : skin.MediaControls.Equalizer)
        bars.push_back(&band);
    return bars;
}

template <class Bar>
std::vector<TBarValue> Take(const std::vector<Bar*>& bars)
{
    std::vector<TBarValue> values;
    for (const Bar* bar : bars)
        values.push_back({bar->Min, bar->Max, bar->Value, bar->Enabled});
    return values;
}

template <class Bar>
void Give(const std::vector<Bar*>& bars, const std::vector<TBarValue>& values)
{
    for (size_t i = 0; i < bars.size(); ++i) {
        bars[i]->Min = values[i].Min;
        bars[i]->Max = values[i].Max;
        bars[i]->Value = values[i].Value;
        bars[i]->Enabled = values[i].Enabled;
    }
}

// False when the skin does not load, gives a window no size or fails to
// apply; nothing of an earlier skin survives into it but the bars' values.
bool LoadAndApply(TKGUI& skin, const std::string& name, TZipHandler& zip, const TKSkinWindows& windows,
                  const TBarValues& values)
{
    FreeGUI(skin);
    InitGUI(skin);
    if (LoadSkinByName(skin, name, name == kDefaultSkinName, zip) != kSkinLoaded || !SkinSizesEveryWindow(skin))
        return false;
    Give(BarsOf(skin), values.Bars);
    Give(SeekBarsOf(skin), values.SeekBars);
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
    const TBarValues values{Take(BarsOf(skin)), Take(SeekBarsOf(skin))};
    std::string shown = name;
    if (!LoadAndApply(skin, shown, zip, windows, values)) {
        shown = kDefaultSkinName;
        if (!LoadAndApply(skin, shown, zip, windows, values))
            return {};
    }
    SkinScrollLabelSetText(skin, skin.Main.Scrolllabel);
    SkinScrollLabelSetText(skin, skin.VideoFullscreenControl.Scrolllabel);
    return shown;
}

} // namespace kolvarin
