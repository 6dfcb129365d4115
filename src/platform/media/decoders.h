#pragma once

// Decoders on FFmpeg: compressed video to I420 pictures (CLSID_FFVideoDecoder),
// compressed or PCM audio to interleaved 32-bit float (CLSID_FFAudioDecoder).
// They decode on the streaming thread that delivers to them. A sample that
// carries a new media type opens the codec again; a picture of a new size
// or pixel shape goes out with the new type and an EC_VIDEO_SIZE_CHANGED.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeVideoDecoder();
ComPtr<IBaseFilter> MakeAudioDecoder();

} // namespace kolvarin::media
