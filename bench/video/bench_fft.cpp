// Complex single-precision FFT beside FFTW (an estimated, in-place plan) at
// the sizes the equalizer and spectrum use. Each pair runs in the same
// process; the "vs_fftw" counter is our time over FFTW's (goal: below 2).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstring>
#include <random>

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

// Time of one transform in nanoseconds, the best of a few rounds, so the
// ratio counter is stable against the benchmark library's own iteration count.
template <typename Transform>
double BestNanoseconds(Transform&& transform)
{
    double best = 1e300;
    for (int round = 0; round < 7; ++round) {
        constexpr int repeats = 2000;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i)
            transform();
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / repeats);
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
    TQxFFT fft;
    fft.SetFFTSize(static_cast<TQxFFTSize>(log - 1));
    fft.SetReOrder(reorder);
    Fill(reinterpret_cast<float*>(fft.Data()), 2 * n);
    for (auto _ : state) {
        fft.FFT();
        benchmark::DoNotOptimize(fft.Data());
    }
    FFTWPlan reference(n);
    const double ours = BestNanoseconds([&] {
        fft.FFT();
        benchmark::DoNotOptimize(fft.Data());
    });
    const double theirs = BestNanoseconds([&] {
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

// Sizes 512, 1024, 8192; second argument: reordered output (1) or left in
// the transform's own order (0), as the equalizer uses it.
BENCHMARK(BM_QxFFT)->ArgsProduct({{9, 10, 13}, {1, 0}});
BENCHMARK(BM_FFTW)->Arg(9)->Arg(10)->Arg(13);
