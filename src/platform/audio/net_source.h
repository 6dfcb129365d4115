#pragma once

#include <memory>

#include "audio/decoder.h"
#include "audio/http_download.h"
#include "audio/pcm_source.h"

namespace kolvarin::audio {

// The decoder's view of a download: not seekable, size unknown.
std::unique_ptr<ByteSource> makeDownloadBytes(std::shared_ptr<HttpDownload> download);

// An internet stream: read ahead (audio/read_ahead_source.h) once the
// pre-buffer (percent of the download buffer) is filled; not seekable.
std::unique_ptr<PcmSource> makeNetSource(std::shared_ptr<HttpDownload> download, std::unique_ptr<Decoder> decoder,
                                         int prebufPercent);

} // namespace kolvarin::audio
