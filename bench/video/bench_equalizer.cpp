// The equalizer on stereo 16-bit 44.1 kHz audio as the video window runs it
// (512-point FFT, 8192-frame chunks, one curve for both channels), fed
// buffers of the size the DSP filter delivers. The "x_realtime" counter is
// seconds of audio filtered per second (goal: above 1000).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "video/dspequalizer.h"

using namespace kolvarin::dsp;

namespace {

constexpr int SampleRate = 44100;

void BM_EqualizerStereo16(benchmark::State& state)
{
    const int frames = static_cast<int>(state.range(0));
    const auto size = static_cast<TQxFFTSize>(state.range(1));
    TQxEqualizer eq;
    eq.SetFFTSize(size);
    eq.SetSampleSize(8192);
    eq.SetEnabled(true);
    for (int band = 0; band < 10; ++band)
        eq.SetBandValue(0, band, static_cast<int8_t>(band * 20 - 100));
    std::vector<int16_t> audio(2 * frames);
    for (int i = 0; i < frames; ++i)
        audio[2 * i] = audio[2 * i + 1] = static_cast<int16_t>(8000 * std::sin(0.05 * i));
    for (auto _ : state) {
        eq.Process(audio.data(), frames * 4, 16, 2, false);
        benchmark::DoNotOptimize(audio.data());
    }
    const double audioSeconds = static_cast<double>(frames) / SampleRate;
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

// Buffers of 1/10 s (a typical decoder buffer) and of one second; the video
// window's 512-point FFT, and the component's default 1024 beside it.
BENCHMARK(BM_EqualizerStereo16)
    ->ArgsProduct({{4410, 44100}, {static_cast<int>(TQxFFTSize::fts512), static_cast<int>(TQxFFTSize::fts1024)}});
