#pragma once

// What a channel plays: interleaved float frames at the source's own rate and
// channel count. Read and seeked by the mixer under the engine lock; tag and
// file-position queries may come from any thread holding that lock.

#include <cstdint>
#include <memory>
#include <string>

#include "audio/bass.h"

namespace kolvarin::audio {

class Decoder;

struct PcmFormat {
    int rate = 0;
    int channels = 0;
    DWORD ctype = 0;
    int bits = 0;
};

enum class ReadStatus { Ok, Stalled, Ended };

class PcmSource {
public:
    virtual ~PcmSource() = default;
    virtual PcmFormat format() const = 0;
    // Frames, -1 when not known (internet streams).
    virtual std::int64_t length() const = 0;
    // Fills up to frames frames. Fewer means the status says why: Stalled
    // (no data yet, try again later) or Ended.
    virtual std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) = 0;
    // Exact to the frame; false when not seekable or out of range.
    virtual bool seek(std::int64_t frame) = 0;
    // bass::kFilePos... ; -1 when not available.
    virtual std::int64_t filePosition(DWORD mode) const = 0;
    // Makes a read blocked on another thread return soon (before destruction).
    virtual void interrupt() {}
    // True while an internet stream fills its buffer before playing.
    virtual bool buffering() const { return false; }
    // Copies the tag of the given type; false when absent.
    virtual bool tag(DWORD type, std::string& out) const
    {
        (void)type;
        (void)out;
        return false;
    }
};

// A file or memory stream decoded on the caller's thread.
std::unique_ptr<PcmSource> makeDecoderSource(std::unique_ptr<Decoder> decoder);

} // namespace kolvarin::audio
