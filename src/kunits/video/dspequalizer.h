#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "video/dspfastfourier.h"

namespace kolvarin::dsp {

enum class TSampleFormat : uint8_t;

// FFT equalizer for interleaved PCM: a gain curve of up to 8192 bins per
// channel becomes a linear-phase FIR kernel of N/4 + 1 taps, applied by fast
// convolution with overlap-add, in place. Output is delayed by N/8 frames.
// A gain of 2.0 (band value 0) passes its bin unchanged.
//
// Threads: Process runs on the streaming thread. SetBandValue, GetBandValue,
// SetEnabled and Flush may be called from any thread at any time; a running
// Process picks changes up at its next call. The other setters must not run
// concurrently with Process (callers serialise them through the DSP lock).
class TQxEqualizer {
public:
    static constexpr int MaxChannels = 10;
    static constexpr int MaxBands = 8192;

    TQxEqualizer();
    TQxEqualizer(const TQxEqualizer&) = delete;
    TQxEqualizer& operator=(const TQxEqualizer&) = delete;

    // Filters Size bytes of Channels interleaved channels in place. Widths
    // other than 8, 16, 24 and 32 bits, and an empty buffer, are left alone;
    // channels beyond the tenth pass through untouched.
    void Process(void* Buffer, int Size, uint8_t Bits, uint8_t Channels, bool Float);

    // Empties the convolution tails (before the next Process).
    void Flush();

    // Gain of one bin: 2.0 * 10^(Value / 100). Channel 0..9, Index 0..8191;
    // anything else is ignored.
    void SetBandValue(uint8_t Channel, uint16_t Index, int8_t Value);
    // The band value of one bin, 0 for an invalid one.
    int8_t GetBandValue(uint8_t Channel, uint16_t Index) const;

    bool Enabled() const { return enabled_; }
    // Switching on empties the convolution tails first.
    void SetEnabled(bool Enabled);
    bool Seperate() const { return seperate_; }
    // One gain curve per channel instead of channel 0's for all.
    void SetSeperate(bool Seperate);
    TQxFFTSize FFTSize() const { return blockFFT_.FFTSize(); }
    // Changes block and kernel length together: the kernels are designed
    // again and the convolution tails emptied.
    void SetFFTSize(TQxFFTSize Size);
    // Chunk length in frames; 0 = the whole buffer at once.
    uint32_t SampleSize() const { return sampleSize_; }
    void SetSampleSize(uint32_t SampleSize) { sampleSize_ = SampleSize; }
    bool ProcessMessages() const { return processMessages_; }
    void SetProcessMessages(bool ProcessMessages) { processMessages_ = ProcessMessages; }
    // Called between chunks when ProcessMessages is set, on Process's thread.
    std::function<void()> OnProcessMessages;

private:
    void DesignKernel(int Channel);
    void FilterChunk(uint8_t* Buffer, int Frames, int Channels, int UsedChannels, TSampleFormat Format);
    void FilterBlock(uint8_t* Start, int Frames, int Stride, int First, int Count, TSampleFormat Format);

    TQxFFT blockFFT_;
    std::array<TQxFFT, MaxChannels> kernelFFT_;
    int n_ = 0; // FFT points
    int block_ = 0; // frames per block, 3N/4
    int bins_ = 0; // gain bins used, N/2
    int overlap_ = 0; // tail length and last kernel tap, N/4
    int delay_ = 0; // kernel centre, N/8
    bool seperate_ = false;
    std::atomic<bool> enabled_{false};
    bool processMessages_ = false;
    uint32_t sampleSize_ = 8192;
    // The tables live on the heap: together they are some 400 KB.
    using OverlapStore = std::array<std::array<float, 2048>, MaxChannels>;
    using Gains = std::array<std::array<std::atomic<float>, MaxBands>, MaxChannels>;
    std::unique_ptr<OverlapStore> overlapStore_;
    std::atomic<bool> dirty_{true};
    std::atomic<bool> flushPending_{false};
    int designedKernels_ = 0; // channels whose kernel is current
    int lastChannels_ = 0; // channel count of the previous Process
    std::unique_ptr<Gains> gains_;
};

} // namespace kolvarin::dsp
