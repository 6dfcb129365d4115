// Complex single-precision FFT beside FFTW (an estimated, in-place plan) at
// the sizes the equalizer and spectrum use. Each pair runs in the same
// process; the "vs_fftw" counter is our time over FFTW's (goal: below 2).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstring>
#include <random>
#include <utility>

#include "video/dspfastfourier.h"

using namespace kolvarin::dsp;

namespace {

void Fill(float* f, int floats)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (int i = 0; i < floats; ++i)
        f[i] = dist(rng);
}

// Time of one call of each, in nanoseconds: the best of many short rounds,
// the two taking turns, so a busy machine disturbs both alike and the ratio
// stays stable.
template <typename Ours, typename Theirs>
std::pair<double, double> BestNanoseconds(Ours&& ours, Theirs&& theirs)
{
    auto round = [](auto& transform) {
        constexpr int repeats = 500;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i)
            transform();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        return elapsed.count() / repeats;
    };
    std::pair<double, double> best{1e300, 1e300};
    for (int i = 0; i < 40; ++i) {
        best.first = std::min(best.first, round(ours));
        best.second = std::min(best.second, round(theirs));
    }
    return best;
}

struct FFTWPlan {
    explicit FFTWPlan(int n)
    {
        buffer = fftwf_alloc_complex(n);
        Fill(reinterpret_cast<float*>(buffer), 2 * n);
        plan = fftwf_plan_dft_1d(n, buffer, buffer, FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    ~FFTWPlan()
    {
        fftwf_destroy_plan(plan);
        fftwf_free(buffer);
    }
    fftwf_complex* buffer;
    fftwf_plan plan;
};

void BM_QxFFT(benchmark::State& state)
{
    const int log = static_cast<int>(state.range(0));
    const bool reorder = state.range(1) != 0;
    const int n = 1 << log;
    const auto set = static_cast<TFFTKernelSet>(state.range(2));
    if (!SelectFFTKernelSet(set)) {
        state.SkipWithError("kernel set not available on this processor");
        return;
    }
    state.SetLabel(set == TFFTKernelSet::Avx2 ? "avx2" : "portable");
    TQxFFT fft;
    fft.SetFFTSize(static_cast<TQxFFTSize>(log - 1));
    fft.SetReOrder(reorder);
    Fill(reinterpret_cast<float*>(fft.Data()), 2 * n);
    for (auto _ : state) {
        fft.FFT();
        benchmark::DoNotOptimize(fft.Data());
    }
    FFTWPlan reference(n);
    const auto [ours, theirs] = BestNanoseconds(
        [&] {
            fft.FFT();
            benchmark::DoNotOptimize(fft.Data());
        },
        [&] {
            fftwf_execute(reference.plan);
            benchmark::DoNotOptimize(reference.buffer);
        });
    state.counters["ns"] = ours;
    state.counters["fftw_ns"] = theirs;
    state.counters["vs_fftw"] = ours / theirs;
}

void BM_FFTW(benchmark::State& state)
{
    FFTWPlan reference(1 << state.range(0));
    for (auto _ : state) {
        fftwf_execute(reference.plan);
        benchmark::DoNotOptimize(reference.buffer);
    }
}

} // namespace

// Sizes 512, 1024, 8192; reordered output (1) or left in the transform's own
// order (0), as the equalizer uses it; the portable (0) or AVX2 (1) kernels.
BENCHMARK(BM_QxFFT)->ArgsProduct({{9, 10, 13}, {1, 0}, {1, 0}});
BENCHMARK(BM_FFTW)->Arg(9)->Arg(10)->Arg(13);
