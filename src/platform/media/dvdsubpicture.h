#pragma once

// The DVD subpicture mixer (CLSID_DvdSubpictureMixer, "DVD Subpicture
// Mixer"): draws the navigator's subpictures, decoded by FFmpeg, into the
// I420 pictures on their way from the video decoder ("Video" pin) to the
// renderer, with the highlighted menu button in the highlight's colours.
// The navigator tells it the colour table, the highlight and whether
// subpictures show through IDvdSubpictureSink, which the "SubPicture" pin
// answers. One subpicture shows at a time, from its start until the next
// one starts or its own end.
//
// Threads: pictures and subpicture packets come on their streaming threads,
// the sink's calls on the navigator's. While no picture comes (a menu's
// still), a change of what is drawn is shown by sending the last picture
// again, from a thread of the mixer's own.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeDvdSubpictureMixer();

} // namespace kolvarin::media
