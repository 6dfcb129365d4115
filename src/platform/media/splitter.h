#pragma once

// The source/splitter on FFmpeg's demuxers (CLSID_MediaSplitter): loads a
// file or URL (IFileSourceFilter), offers one output pin per kind of stream
// (video, audio, subtitle) carrying the selected stream of that kind
// (IAMStreamSelect, with languages and names), and seeks (IMediaSeeking).
//
// Streaming: from pause on, one thread reads packets and one thread per
// connected pin delivers them; a seek flushes downstream, moves the reader
// and sends a new segment. Sample times are relative to the segment start.

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeMediaSplitter();

} // namespace kolvarin::media
