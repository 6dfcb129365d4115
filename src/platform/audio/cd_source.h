#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/pcm_source.h"

namespace kolvarin::audio {

// An open disc (drive or image) for the track table.
class CdDisc {
public:
    // Null when no disc can be read there.
    static std::unique_ptr<CdDisc> open(const std::string& drive);
    ~CdDisc();
    int tracks() const;
    // Bytes of 44.1 kHz 16-bit stereo; -1 for a data track or a bad index.
    std::int64_t trackBytes(int track) const;
    // Reads the track with cdparanoia; null (and error) when it cannot.
    static std::unique_ptr<PcmSource> openTrack(std::unique_ptr<CdDisc> disc, int track, int& error);

private:
    friend class CdTrackSource;
    CdDisc() = default;
    void* cdio_ = nullptr;
    int first_ = 0;
    int count_ = 0;
};

} // namespace kolvarin::audio
