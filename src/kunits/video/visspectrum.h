#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "video/dspfastfourier.h"
#include "video/dsputils.h"

namespace kolvarin::dsp {

// Magnitude spectra, one row per channel, one column per frequency bin.
using TVisualBuffer = std::array<std::array<int32_t, QxFFTMaxPoints>, 10>;

class TQxSpectrum;

// Data stays valid until the next Process; NumSamples is the number of
// frames analysed, Channels the number of rows filled.
using TQxVisualNotifyEvent = std::function<void(TQxSpectrum& Sender, const TVisualBuffer& Data, int MinY, int MaxY,
                                                int NumSamples, int Channels)>;

// Turns a slice of interleaved PCM into per-channel magnitude spectra scaled
// into MinY..MaxY and hands them to OnSpectrumData. Runs on its caller's
// thread; one thread at a time. Process never allocates.
class TQxSpectrum {
public:
    static constexpr int MaxChannels = 10;

    TQxSpectrum();
    TQxSpectrum(const TQxSpectrum&) = delete;
    TQxSpectrum& operator=(const TQxSpectrum&) = delete;

    // Analyses up to N/2 frames of Size bytes. A null or empty buffer, no
    // channels, or a width other than 8, 16, 24 or 32 bits does nothing;
    // channels beyond the tenth are ignored.
    void Process(const void* Buffer, int Size, uint8_t Bits, uint8_t Channels, bool Float);

    const TVisualBuffer& VisualBuffer() const { return *visualBuffer_; }
    TQxVisualNotifyEvent OnSpectrumData;

    bool Logarithmic() const { return logarithmic_; }
    void SetLogarithmic(bool Logarithmic) { logarithmic_ = Logarithmic; }
    TWindowMode WindowMode() const { return windowMode_; }
    void SetWindowMode(TWindowMode Mode) { windowMode_ = Mode; }
    int MinY() const { return minY_; }
    void SetMinY(int MinY) { minY_ = MinY; }
    int MaxY() const { return maxY_; }
    void SetMaxY(int MaxY) { maxY_ = MaxY; }
    bool MixChannels() const { return mixChannels_; }
    void SetMixChannels(bool Mix) { mixChannels_ = Mix; }
    // In hundredths: 90 subtracts 0.9 times the previous sample.
    uint8_t PreEmphesis() const { return preEmphesis_; }
    void SetPreEmphesis(uint8_t PreEmphesis) { preEmphesis_ = PreEmphesis; }
    bool PreEmphesisEnabled() const { return preEmphesisEnabled_; }
    void SetPreEmphesisEnabled(bool Enabled) { preEmphesisEnabled_ = Enabled; }
    uint8_t SampleSkip() const { return sampleSkip_; }
    // Stored as at least 1.
    void SetSampleSkip(uint8_t Skip) { sampleSkip_ = Skip < 1 ? 1 : Skip; }
    TQxFFTSize FFTSize() const { return fft_.FFTSize(); }
    void SetFFTSize(TQxFFTSize Size) { fft_.SetFFTSize(Size); }

private:
    // Windows, pre-emphasises and transforms the FFT buffer into row Row.
    void AnalyseRow(int Row);

    bool logarithmic_ = true;
    TWindowMode windowMode_ = TWindowMode::wmRectangular;
    int minY_ = 0;
    int maxY_ = 100;
    TQxFFT fft_;
    bool mixChannels_ = true;
    std::unique_ptr<TVisualBuffer> visualBuffer_;
    uint8_t preEmphesis_ = 90;
    bool preEmphesisEnabled_ = true;
    uint8_t sampleSkip_ = 1;
};

} // namespace kolvarin::dsp
