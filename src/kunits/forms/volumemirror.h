#pragma once

// The main window and the full-screen bar show one volume: whichever the
// user moved hands its value and range to the other.

#include "skin/kgui.h"
#include "skin/kskinelements.h"

namespace kolvarin {

// The volume the source section shows (its seek bar when the skin shows
// that, else its bar) goes to the target section's shown element, which is
// repainted on the target window when that exists (it may be null).
template <class Source, class Target, class TargetWindow>
void MirrorVolume(TKGUI& skin, const Source& from, Target& to, TargetWindow* window)
{
    const bool seekBar = from.VolumeSeekBar.Visible;
    const int64_t value = seekBar ? from.VolumeSeekBar.Value : from.Volume.Value;
    const int64_t min = seekBar ? from.VolumeSeekBar.Min : from.Volume.Min;
    const int64_t max = seekBar ? from.VolumeSeekBar.Max : from.Volume.Max;
    if (to.VolumeSeekBar.Visible) {
        to.VolumeSeekBar.Min = min;
        to.VolumeSeekBar.Max = max;
        to.VolumeSeekBar.Value = value;
        if (window)
            SkinPlaceSeekBarThumb(skin, *window->imgVolumeSeekbarBackground, *window->imgVolumeSeekbarBar,
                                  to.VolumeSeekBar);
    } else {
        to.Volume.Min = min;
        to.Volume.Max = max;
        to.Volume.Value = value;
        if (window)
            SkinPaintBar(skin, *window->imgVolume, to.Volume);
    }
}

} // namespace kolvarin
