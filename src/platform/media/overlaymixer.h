#pragma once

// The overlay mixer (CLSID_OverlayMixer): a pass-through in front of the
// video renderer that carries the picture's colour controls. Its first input
// pin answers IMixerPinConfig2 (colour controls, aspect-ratio mode, colour
// key); the filter answers IDDrawExclModeVideo (native picture properties).
// The controls are applied by the renderer it feeds.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeOverlayMixer();

// For the video renderer: the controls take effect at the next picture.
void SetRendererColorControls(IBaseFilter* renderer, const struct DDCOLORCONTROL& controls);

} // namespace kolvarin::media
