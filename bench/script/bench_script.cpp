// Compile time of a generated 50,000-line script beside tcc on the same text
// (the "ratio" counter: engine time / tcc time; the goal is at most 2), and
// the speed of a loop-heavy script in the emulator beside the same loop in
// native code.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "script/lumoscript.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Functions with arithmetic, loops and calls, in the subset that is also C.
std::string GeneratedScript(int functions)
{
    std::string text = "int total;\n";
    for (int k = 0; k < functions; ++k) {
        text += "int f";
        text += std::to_string(k);
        text += "(int a, int b) {\n  int i;\n  int s;\n  s = a + ";
        text += std::to_string(k % 97);
        text += ";\n";
        text += "  for (i = 0; i < b; i++) {\n";
        text += "    s = s + i * 3 - (a & 7);\n";
        text += "    if (s > 1000) s = s - 1000;\n  }\n";
        text += "  while (s > 100) s = s / 2;\n";
        if (k) {
            text += "  return s + f";
            text += std::to_string(k - 1);
            text += "(a, 2);\n";
        } else {
            text += "  return s;\n";
        }
        text += "}\n";
    }
    text += "int main() { total = f";
    text += std::to_string(functions - 1);
    text += "(3, 4); return 0; }\n";
    return text;
}

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

bool RunTcc(const std::string& source, const std::string& object)
{
    std::string tcc = "tcc", c = "-c", o = "-o";
    std::string src = source, obj = object;
    char* argv[] = {tcc.data(), c.data(), src.data(), o.data(), obj.data(), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "tcc", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_CompileBesideTcc(benchmark::State& state)
{
    const std::string text = GeneratedScript(4500);
    const std::string dir = "/tmp/kolvarin_bench_script_" + std::to_string(getpid());
    const std::string source = dir + ".c", object = dir + ".o";
    std::ofstream(source) << text;
    kolvarin::script::TLumoScript engine;
    double engineSeconds = 0, tccSeconds = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (!engine.Compile(text, "bench.kgraph"))
            state.SkipWithError(engine.ErrorText().c_str());
        engineSeconds += Seconds(start);
        start = Clock::now();
        if (!RunTcc(source, object))
            state.SkipWithError("tcc failed (is it installed?)");
        tccSeconds += Seconds(start);
    }
    std::remove(source.c_str());
    std::remove(object.c_str());
    size_t lines = 0;
    for (char ch : text)
        lines += ch == '\n';
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["engine_ms"] = 1000 * engineSeconds / static_cast<double>(state.iterations());
    state.counters["tcc_ms"] = 1000 * tccSeconds / static_cast<double>(state.iterations());
    state.counters["ratio"] = tccSeconds > 0 ? engineSeconds / tccSeconds : 0;
}
BENCHMARK(BM_CompileBesideTcc)->Unit(benchmark::kMillisecond)->Iterations(10);

int NativeLoop(int n)
{
    int s = 0;
    for (int i = 0; i < n; i++) {
        s = s + i % 7;
        benchmark::DoNotOptimize(s);
    }
    return s;
}

void BM_LoopInEmulator(benchmark::State& state)
{
    const int n = 2000000;
    kolvarin::script::TLumoScript engine;
    engine.SetLimits(0);
    if (!engine.Compile("int loop(int n) { int i, s; for (i = 0; i < n; i++) s = s + i % 7; return s; }", "loop"))
        state.SkipWithError(engine.ErrorText().c_str());
    const uint32_t args[] = {static_cast<uint32_t>(n)};
    double emulated = 0, native = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        auto result = engine.CallProc("loop", args);
        emulated += Seconds(start);
        start = Clock::now();
        int expected = NativeLoop(n);
        native += Seconds(start);
        if (!result.ok || static_cast<int>(result.value) != expected)
            state.SkipWithError("wrong loop result");
    }
    double iterations = static_cast<double>(state.iterations());
    state.counters["loop_iterations_per_s"] = n * iterations / emulated;
    state.counters["slowdown_vs_native"] = native > 0 ? emulated / native : 0;
}
BENCHMARK(BM_LoopInEmulator)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
