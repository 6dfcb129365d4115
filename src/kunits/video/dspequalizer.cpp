#include "video/dspequalizer.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "video/dspsamples.h"
#include "video/dsputils.h"

namespace kolvarin::dsp {

namespace {

constexpr float UnityGain = 2.0f;

template <TSampleFormat Format>
float ReadSample(const uint8_t* p)
{
    if constexpr (Format == TSampleFormat::U8)
        return static_cast<float>(p[0] - 128);
    else if constexpr (Format == TSampleFormat::S16)
        return ReadS16(p);
    else if constexpr (Format == TSampleFormat::S24)
        return static_cast<float>(Read24(p));
    else if constexpr (Format == TSampleFormat::S32)
        return static_cast<float>(ReadS32(p));
    else
        return ReadF32(p);
}

// Integers are rounded to nearest and clipped; floats are stored as they are.
template <TSampleFormat Format>
void WriteSample(float Value, uint8_t* p)
{
    if constexpr (Format == TSampleFormat::U8) {
        p[0] = static_cast<uint8_t>(Clip8(Clip32(RoundSaturated(Value))) + 128);
    } else if constexpr (Format == TSampleFormat::S16) {
        WriteS16(Clip16(Clip32(RoundSaturated(Value))), p);
    } else if constexpr (Format == TSampleFormat::S24) {
        Write24(Clip24(Clip32(RoundSaturated(Value))), p);
    } else if constexpr (Format == TSampleFormat::S32) {
        WriteS32(Clip32(RoundSaturated(Value)), p);
    } else {
        uint32_t bits;
        std::memcpy(&bits, &Value, sizeof bits);
        WriteS32(static_cast<int32_t>(bits), p);
    }
}

// One channel's samples, Stride bytes apart, to and from every second float.
template <TSampleFormat Format>
void Deinterleave(const uint8_t* Src, int Stride, int Frames, float* Dest)
{
    for (int i = 0; i < Frames; ++i, Src += Stride)
        Dest[2 * i] = ReadSample<Format>(Src);
}

template <TSampleFormat Format>
void Interleave(const float* Src, int Frames, uint8_t* Dest, int Stride)
{
    for (int i = 0; i < Frames; ++i, Dest += Stride)
        WriteSample<Format>(Src[2 * i], Dest);
}

// Calls Body with the format as a compile-time constant, so the sample
// loops are built once per format.
template <typename Body>
void WithFormat(TSampleFormat Format, Body&& body)
{
    using F = TSampleFormat;
    switch (Format) {
    case F::U8: body(std::integral_constant<F, F::U8>{}); return;
    case F::S16: body(std::integral_constant<F, F::S16>{}); return;
    case F::S24: body(std::integral_constant<F, F::S24>{}); return;
    case F::S32: body(std::integral_constant<F, F::S32>{}); return;
    case F::F32: body(std::integral_constant<F, F::F32>{}); return;
    }
}

} // namespace

TQxEqualizer::TQxEqualizer() : overlapStore_(std::make_unique<OverlapStore>()), gains_(std::make_unique<Gains>())
{
    for (auto& channel : *gains_)
        for (auto& gain : channel)
            gain.store(UnityGain, std::memory_order_relaxed);
    // Spectra are multiplied in the transform's own order.
    blockFFT_.SetReOrder(false);
    for (TQxFFT& fft : kernelFFT_)
        fft.SetReOrder(false);
    SetFFTSize(TQxFFTSize::fts1024);
}

void TQxEqualizer::SetFFTSize(TQxFFTSize Size)
{
    blockFFT_.SetFFTSize(Size);
    for (TQxFFT& fft : kernelFFT_)
        fft.SetFFTSize(Size);
    n_ = FFTPointCount(Size);
    block_ = 3 * n_ / 4;
    bins_ = n_ / 2;
    overlap_ = n_ / 4;
    delay_ = n_ / 8;
    // Kernels and tails of the old length would mix two filters.
    dirty_ = true;
    Flush();
}

void TQxEqualizer::SetSeperate(bool Seperate)
{
    if (Seperate != seperate_) {
        seperate_ = Seperate;
        dirty_ = true;
    }
}

void TQxEqualizer::SetEnabled(bool Enabled)
{
    if (Enabled && !enabled_)
        Flush();
    enabled_ = Enabled;
}

void TQxEqualizer::Flush() { flushPending_ = true; }

void TQxEqualizer::SetBandValue(uint8_t Channel, uint16_t Index, int8_t Value)
{
    if (Channel >= MaxChannels || Index >= MaxBands)
        return;
    (*gains_)[Channel][Index].store(static_cast<float>(UnityGain * std::pow(10.0, Value / 100.0)),
                                    std::memory_order_relaxed);
    dirty_ = true;
}

int8_t TQxEqualizer::GetBandValue(uint8_t Channel, uint16_t Index) const
{
    if (Channel >= MaxChannels || Index >= MaxBands)
        return 0;
    const double gain = (*gains_)[Channel][Index].load(std::memory_order_relaxed);
    return static_cast<int8_t>(std::clamp(std::lrint(std::log10(gain / UnityGain) * 100.0), -128L, 127L));
}

// The gain curve is a one-sided spectrum whose real inverse is the even,
// zero-phase impulse response; that response is centred at tap N/8 of
// N/4 + 1 taps and Hann-windowed. DC and Nyquist have no mirror image, so
// they get half weight, else a flat curve would lift DC by 6 dB and remove
// Nyquist altogether. The window's zero ends lie just outside the taps and
// its peak on the centre tap, which keeps the kernel symmetric.
void TQxEqualizer::DesignKernel(int Channel)
{
    TQxFFT& fft = kernelFFT_[Channel];
    TQxComplex* h = fft.Data();
    std::fill(h, h + n_, TQxComplex{0.0f, 0.0f});
    for (int k = 0; k < bins_; ++k)
        h[k].re = (*gains_)[Channel][k].load(std::memory_order_relaxed);
    h[0].re *= 0.5f;
    h[bins_].re = 0.5f * (*gains_)[Channel][bins_ - 1].load(std::memory_order_relaxed);

    fft.SetReOrder(true);
    fft.IFFT();
    fft.SetReOrder(false);

    for (int i = 0; i < n_; ++i)
        h[(i + delay_) % n_].im = h[i].re;
    for (int i = 0; i < n_; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * (i + 1) / (overlap_ + 2));
        h[i].re = i <= overlap_ ? static_cast<float>(h[i].im * window) : 0.0f;
        // A real kernel filters the real and the imaginary part of a block
        // independently, so two channels can share one transform.
        h[i].im = 0.0f;
    }
    fft.FFT();
}

void TQxEqualizer::Process(void* Buffer, int Size, uint8_t Bits, uint8_t Channels, bool Float)
{
    TSampleFormat format;
    if (!enabled_ || !Buffer || Size <= 0 || Channels == 0 || !SampleFormatOf(Bits, Float, format))
        return;
    const int usedChannels = std::min<int>(Channels, MaxChannels);
    // Tails of another channel layout belong to other channels.
    if (flushPending_.exchange(false) || Channels != lastChannels_) {
        for (auto& tail : *overlapStore_)
            tail.fill(0.0f);
        lastChannels_ = Channels;
    }
    const int kernels = seperate_ ? usedChannels : 1;
    if (dirty_.exchange(false) || kernels > designedKernels_) {
        for (int c = 0; c < kernels; ++c)
            DesignKernel(c);
        designedKernels_ = kernels;
    }

    const int frameBytes = BytesPerSample(format) * Channels;
    const int frames = Size / frameBytes;
    const int chunk = sampleSize_ == 0 ? frames : static_cast<int>(std::min<uint32_t>(sampleSize_, frames));
    auto* bytes = static_cast<uint8_t*>(Buffer);
    for (int done = 0; done < frames; done += chunk) {
        FilterChunk(bytes + static_cast<size_t>(done) * frameBytes, std::min(chunk, frames - done), Channels,
                    usedChannels, format);
        if (processMessages_ && OnProcessMessages)
            OnProcessMessages();
    }
}

void TQxEqualizer::FilterChunk(uint8_t* Buffer, int Frames, int Channels, int UsedChannels, TSampleFormat Format)
{
    const int sampleBytes = BytesPerSample(Format);
    const int stride = sampleBytes * Channels;
    // Channels sharing one kernel go through the transforms in pairs.
    const int group = seperate_ ? 1 : 2;
    for (int first = 0; first < UsedChannels; first += group) {
        const int count = std::min(group, UsedChannels - first);
        for (int done = 0; done < Frames; done += block_) {
            uint8_t* start = Buffer + static_cast<size_t>(done) * stride + first * sampleBytes;
            FilterBlock(start, std::min(block_, Frames - done), stride, first, count, Format);
        }
    }
}

// Filters Frames (at most one block) of Count channels from channel First,
// whose first sample is at Start; the first channel goes through the real
// parts, a second one through the imaginary parts.
void TQxEqualizer::FilterBlock(uint8_t* Start, int Frames, int Stride, int First, int Count, TSampleFormat Format)
{
    const int sampleBytes = BytesPerSample(Format);
    TQxComplex* x = blockFFT_.Data();
    std::fill(x, x + n_, TQxComplex{0.0f, 0.0f});
    float* values = reinterpret_cast<float*>(x);
    WithFormat(Format, [&](auto format) {
        for (int c = 0; c < Count; ++c)
            Deinterleave<format()>(Start + c * sampleBytes, Stride, Frames, values + c);
    });

    blockFFT_.FFT();
    const TQxComplex* h = kernelFFT_[seperate_ ? First : 0].Data();
    for (int i = 0; i < n_; ++i) {
        const TQxComplex a = x[i];
        x[i] = {a.re * h[i].re - a.im * h[i].im, a.re * h[i].im + a.im * h[i].re};
    }
    blockFFT_.IFFT();

    for (int c = 0; c < Count; ++c) {
        float* tail = (*overlapStore_)[First + c].data();
        for (int i = 0; i < overlap_; ++i)
            values[2 * i + c] += tail[i];
        for (int i = 0; i < overlap_; ++i)
            tail[i] = values[2 * (Frames + i) + c];
    }
    WithFormat(Format, [&](auto format) {
        for (int c = 0; c < Count; ++c)
            Interleave<format()>(values + c, Frames, Start + c * sampleBytes, Stride);
    });
}

} // namespace kolvarin::dsp
