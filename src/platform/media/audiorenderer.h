#pragma once

// The audio renderer (CLSID_DSoundRender, "Default DirectSound Device"):
// plays 16-bit PCM or 32-bit float through an SDL audio device, offers
// IBasicAudio (volume and balance in hundredths of a decibel) and is the
// graph's reference clock: system time steered so that it follows the
// audio heard. Without data it keeps running on system time.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeAudioRenderer();

} // namespace kolvarin::media
