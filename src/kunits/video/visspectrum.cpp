#include "video/visspectrum.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "video/dspsamples.h"

namespace kolvarin::dsp {

namespace {

// Brings each FFT size's magnitudes to one display scale.
constexpr double SizeFactor[] = {11.0, 10.0, 9.0, 8.0, 7.0, 6.0, 5.0, 4.0, 3.2, 2.4, 1.5, 1.2, 1.0};
// Magnitudes below this (after the size factor) are noise floor.
constexpr double NoiseFloor = 50000.0;
constexpr double FullScale = 700000.0;

// One sample on a 16-bit scale. Floats are clamped to full scale first:
// converting an out-of-range float is undefined.
int32_t Sample16(const uint8_t* p, TSampleFormat Format)
{
    switch (Format) {
    case TSampleFormat::U8: return (p[0] - 128) * 256;
    case TSampleFormat::S16: return ReadS16(p);
    case TSampleFormat::S24: return Read24(p) >> 8;
    case TSampleFormat::S32: return ReadS32(p) >> 16;
    case TSampleFormat::F32: {
        const float v = ReadF32(p);
        return std::isnan(v) ? 0 : static_cast<int32_t>(std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    }
    }
    return 0;
}

} // namespace

TQxSpectrum::TQxSpectrum() : visualBuffer_(std::make_unique<TVisualBuffer>())
{
    fft_.SetFFTSize(TQxFFTSize::fts1024);
    fft_.SetScale(false);
    fft_.SetReOrder(true);
}

void TQxSpectrum::Process(const void* Buffer, int Size, uint8_t Bits, uint8_t Channels, bool Float)
{
    TSampleFormat format;
    if (!Buffer || Size <= 0 || Channels == 0 || !SampleFormatOf(Bits, Float, format))
        return;
    const int n = fft_.FFTSizeInt();
    const int sampleBytes = BytesPerSample(format);
    const int frameBytes = sampleBytes * Channels;
    const int frames = std::min(Size / frameBytes / (sampleSkip_ + 1), n / 2);
    const int channels = std::min<int>(Channels, MaxChannels);
    const auto* bytes = static_cast<const uint8_t*>(Buffer);
    auto sampleAt = [&](int frame, int channel) {
        return Sample16(bytes + static_cast<size_t>(frame) * sampleSkip_ * frameBytes + channel * sampleBytes, format);
    };

    TQxComplex* x = fft_.Data();
    const int rows = mixChannels_ ? 1 : channels;
    for (int row = 0; row < rows; ++row) {
        std::fill(x, x + n, TQxComplex{0.0f, 0.0f});
        for (int i = 0; i < frames; ++i) {
            if (mixChannels_) {
                int32_t sum = 0;
                for (int ch = 0; ch < channels; ++ch)
                    sum += sampleAt(i, ch);
                x[i].re = static_cast<float>(sum / channels);
            } else {
                x[i].re = static_cast<float>(sampleAt(i, row));
            }
        }
        AnalyseRow(row);
    }
    if (OnSpectrumData)
        OnSpectrumData(*this, *visualBuffer_, minY_, maxY_, frames, rows);
}

void TQxSpectrum::AnalyseRow(int Row)
{
    const int n = fft_.FFTSizeInt();
    TQxComplex* x = fft_.Data();
    if (windowMode_ != TWindowMode::wmRectangular)
        for (int i = 0; i < n; ++i)
            x[i].re = WindowValue(i, n, windowMode_, x[i].re);
    if (preEmphesisEnabled_) {
        // Downwards, so each step still sees the previous sample's old value.
        const float factor = static_cast<float>(preEmphesis_ / 100.0);
        for (int i = n - 1; i >= 1; --i)
            x[i].re -= factor * x[i - 1].re;
    }
    fft_.FFT();

    const double range = static_cast<double>(maxY_) - minY_;
    const double sizeFactor = SizeFactor[static_cast<int>(fft_.FFTSize())];
    int32_t* row = (*visualBuffer_)[Row].data();
    for (int k = 0; k < n / 2; ++k) {
        const double magnitude = std::nearbyint(Magnitude(x[k].im, x[k].re));
        double v = std::max(magnitude * sizeFactor - NoiseFloor, 0.0);
        v = range * v / FullScale;
        if (logarithmic_)
            v = std::sqrt(std::max(range * v, 0.0));
        // A loud signal would otherwise run past the top of the display.
        const double value = std::min(std::nearbyint(minY_ + v), static_cast<double>(maxY_));
        row[k] = static_cast<int32_t>(std::max(value, static_cast<double>(INT32_MIN)));
    }
}

} // namespace kolvarin::dsp
