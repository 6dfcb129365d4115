#include "audio/peaking_eq.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kolvarin::audio {

bool PeakingEq::valid(const BASS_DX8_PARAMEQ& p)
{
    return std::isfinite(p.fCenter) && p.fCenter > 0 && p.fBandwidth >= 1 && p.fBandwidth <= 36 && p.fGain >= -15 &&
           p.fGain <= 15;
}

void PeakingEq::configure(const BASS_DX8_PARAMEQ& params, int rate, int channels)
{
    params_ = params;
    if (rate != rate_ || channels != channels_)
        state_ = {};
    rate_ = rate;
    channels_ = std::clamp(channels, 1, 8);
    flat_ = params.fGain == 0;
    const double nyquist = rate / 2.0;
    const double centre = std::min<double>(params.fCenter, nyquist * 0.95);
    // Peaking filter of the audio-EQ cookbook; bandwidth given in octaves.
    const double w0 = 2 * std::numbers::pi * centre / rate;
    const double a = std::pow(10.0, params.fGain / 40.0);
    const double octaves = params.fBandwidth / 12.0;
    const double alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2 * octaves * w0 / std::sin(w0));
    const double cosw = std::cos(w0);
    const double a0 = 1 + alpha / a;
    b0_ = (1 + alpha * a) / a0;
    b1_ = -2 * cosw / a0;
    b2_ = (1 - alpha * a) / a0;
    a1_ = -2 * cosw / a0;
    a2_ = (1 - alpha / a) / a0;
}

void PeakingEq::process(float* frames, std::int64_t count)
{
    if (flat_)
        return;
    for (int c = 0; c < channels_; ++c) {
        double z1 = state_[c][0], z2 = state_[c][1];
        float* x = frames + c;
        for (std::int64_t i = 0; i < count; ++i, x += channels_) {
            // Transposed direct form II.
            const double in = *x;
            const double out = b0_ * in + z1;
            z1 = b1_ * in - a1_ * out + z2;
            z2 = b2_ * in - a2_ * out;
            *x = static_cast<float>(out);
        }
        state_[c][0] = z1;
        state_[c][1] = z2;
    }
}

} // namespace kolvarin::audio
