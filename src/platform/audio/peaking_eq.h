#pragma once

// One peaking-equalizer band: a biquad with the centre frequency, the
// bandwidth in semitones and the gain in dB of BASS_DX8_PARAMEQ.

#include <array>
#include <cstdint>

#include "audio/bass.h"

namespace kolvarin::audio {

class PeakingEq {
public:
    // Validates gain (-15..15 dB) and bandwidth (1..36 semitones); a centre at
    // or above Nyquist is moved just below it rather than refused.
    static bool valid(const BASS_DX8_PARAMEQ& params);
    void configure(const BASS_DX8_PARAMEQ& params, int rate, int channels);
    const BASS_DX8_PARAMEQ& params() const { return params_; }
    // In place, interleaved frames of the configured channel count.
    void process(float* frames, std::int64_t count);

private:
    BASS_DX8_PARAMEQ params_;
    int rate_ = 44100;
    int channels_ = 2;
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    bool flat_ = true;
    std::array<std::array<double, 2>, 8> state_{};
};

} // namespace kolvarin::audio
