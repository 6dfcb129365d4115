#include "audio/fft.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace kolvarin::audio {
namespace {

constexpr int kSize = 1024;

struct Tables {
    std::array<float, kSize> window;
    std::array<std::complex<double>, kSize / 2> twiddle;
    std::array<int, kSize> reversed;
    Tables()
    {
        for (int i = 0; i < kSize; ++i)
            window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kSize));
        for (int i = 0; i < kSize / 2; ++i)
            twiddle[i] = std::polar(1.0, -2 * std::numbers::pi * i / kSize);
        for (int i = 0; i < kSize; ++i) {
            int r = 0;
            for (int b = 1, v = i; b < kSize; b <<= 1, v >>= 1)
                r = (r << 1) | (v & 1);
            reversed[i] = r;
        }
    }
};

} // namespace

void magnitudeSpectrum1024(const std::array<float, 1024>& samples, float* out)
{
    static const Tables tables;
    std::array<std::complex<double>, kSize> x;
    for (int i = 0; i < kSize; ++i)
        x[tables.reversed[i]] = samples[i] * tables.window[i];
    for (int len = 2; len <= kSize; len <<= 1) {
        const int half = len / 2, stride = kSize / len;
        for (int start = 0; start < kSize; start += len)
            for (int k = 0; k < half; ++k) {
                // Written out: std::complex's operator* and abs guard against
                // infinities and overflow (a library call per butterfly and
                // per bin), which finite samples never need.
                const std::complex<double> w = tables.twiddle[k * stride], u = x[start + k + half];
                const std::complex<double> t(w.real() * u.real() - w.imag() * u.imag(),
                                             w.real() * u.imag() + w.imag() * u.real());
                x[start + k + half] = x[start + k] - t;
                x[start + k] += t;
            }
    }
    // A sine of amplitude A gives A * N / 4 at its bin through the Hann window.
    for (int k = 0; k < kSize / 2; ++k)
        out[k] = static_cast<float>(std::sqrt(x[k].real() * x[k].real() + x[k].imag() * x[k].imag()) * 4.0 / kSize);
}

} // namespace kolvarin::audio
