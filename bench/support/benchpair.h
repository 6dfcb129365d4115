#pragma once

// Helpers the benchmark programs share: a Qt application on the offscreen
// platform, and timing ours beside a reference in the same run.

#include <chrono>
#include <functional>

#include <QApplication>

#include <benchmark/benchmark.h>

namespace kbench {

// Creates the application once (offscreen), for benchmarks that need widgets.
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "kolvarin_bench";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

// Runs ours and the reference alternately and sets the counters "ms" (ours),
// "ref_ms" (the reference's) and "ratio" (ours over it).
inline void Pair(benchmark::State& state, const std::function<void()>& ours, const std::function<void()>& reference)
{
    auto seconds = [](std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); };
    double oursTotal = 0, referenceTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ours();
        oursTotal += seconds(std::chrono::steady_clock::now() - start);
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        reference();
        referenceTotal += seconds(std::chrono::steady_clock::now() - start);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ms"] = oursTotal / n * 1000;
    state.counters["ref_ms"] = referenceTotal / n * 1000;
    state.counters["ratio"] = oursTotal / referenceTotal;
}

} // namespace kbench
