#pragma once

// The DVD navigator source filter (CLSID_DVDNavigator, "DVD Navigator") on
// libdvdnav: IDvdControl2 opens a disc (SetDVDDirectory) and moves through
// it, IDvdInfo2 describes it. Its output pins "Video", "Audio" and
// "SubPicture" carry the packets of the MPEG-2 program stream's video, the
// chosen audio stream and the chosen subpicture stream, demultiplexed by
// FFmpeg, for the framework's decoders; the pins offer types once a disc is
// open. The navigator's events reach the graph's event queue.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeDvdNavigator();

} // namespace kolvarin::media
