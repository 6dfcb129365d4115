#pragma once

// Runs a slow source (an internet download, a CD drive) on its own thread
// into a queue of frames, so the mixer never waits for it: a read that finds
// the queue dry reports Stalled, and the next reads wait until a quarter
// second is queued again (or the source ended).

#include <functional>
#include <memory>

#include "audio/pcm_source.h"

namespace kolvarin::audio {

// The thread first waits until ready() holds (the pre-buffer of an internet
// stream). Null: at once.
using ReadyGate = std::function<bool()>;

// Tags, file positions and length are the inner source's; seeking (when
// seekable) is handed to the thread and the queue refilled from there.
std::unique_ptr<PcmSource> makeReadAheadSource(std::unique_ptr<PcmSource> inner, bool seekable,
                                               ReadyGate ready = nullptr);

} // namespace kolvarin::audio
