#pragma once

// Magnitude spectrum of 1024 samples for the analyzer.

#include <array>

namespace kolvarin::audio {

// Hann-windowed FFT of 1024 samples; out[k] is the magnitude of bin k
// (k < 512), scaled so that a full-scale sine on a bin gives 1.
void magnitudeSpectrum1024(const std::array<float, 1024>& samples, float* out);

} // namespace kolvarin::audio
