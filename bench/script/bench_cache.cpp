// AP32 unpacking beside zlib inflate of the same data in the same run (the
// "ratio" counter: AP32 time / inflate time), the pack ratio of AP32 and zlib
// on a compiled code image, and a compile that loads its cache file beside
// one that compiles (the "speedup" counter: compile time / cached time; the
// goal is at least 10).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "script/lumoap32.h"
#include "script/lumoscript.h"

namespace {

using namespace kolvarin::script;

// Functions of varied shape and constants, so the image is not one body
// repeated.
std::string Script(int functions)
{
    std::mt19937 rng(7);
    auto number = [&] { return std::to_string(rng() % 5000); };
    const char* ops[] = {" + ", " - ", " * ", " & ", " | ", " ^ "};
    std::string text;
    for (int k = 0; k < functions; ++k) {
        std::string n = std::to_string(k);
        text += "int f" + n + "(int a, int b) { int i; int s; s = a" + ops[rng() % 6] + number() + ";\n";
        for (unsigned m = rng() % 4; m > 0; --m) {
            switch (rng() % 3) {
            case 0:
                text += "  for (i = 0; i < b; i++) { s = s" + std::string(ops[rng() % 6]) + "i * " + number() + "; }\n";
                break;
            case 1: text += "  if (s > " + number() + ") s = s - " + number() + "; else s = s + a;\n"; break;
            default: text += "  while (s > " + number() + ") s = s / " + std::to_string(2 + rng() % 7) + ";\n"; break;
            }
        }
        text += k ? "  return s + f" + std::to_string(rng() % k) + "(a, " + number() + ");\n}\n" : "  return s;\n}\n";
    }
    return text;
}

// The unlinked image of a generated script, several copies to reach a size
// where throughput is measurable.
const std::vector<uint8_t>& CodeImage()
{
    static std::vector<uint8_t> image = [] {
        TLumoScript engine;
        engine.Compile(Script(400), "bench.kgraph");
        return engine.Image().code;
    }();
    return image;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in)
{
    uLongf size = compressBound(in.size());
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, in.data(), in.size(), 9);
    out.resize(size);
    return out;
}

double Seconds(const std::function<void()>& fn, int rounds)
{
    auto from = std::chrono::steady_clock::now();
    for (int k = 0; k < rounds; ++k)
        fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

void BM_Ap32UnpackVsInflate(benchmark::State& state)
{
    const auto& image = CodeImage();
    auto packed = ap32::Pack(image);
    auto deflated = Deflate(image);
    std::vector<uint8_t> out;
    std::vector<uint8_t> inflated(image.size());
    double ap32Time = 0, zlibTime = 0;
    for (auto _ : state) {
        ap32Time += Seconds([&] { ap32::Unpack(packed, out); }, 20);
        zlibTime += Seconds(
            [&] {
                uLongf size = inflated.size();
                uncompress(inflated.data(), &size, deflated.data(), deflated.size());
            },
            20);
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(inflated.data());
    }
    double bytes = double(image.size()) * 20 * double(state.iterations());
    state.counters["ap32_MBps"] = bytes / ap32Time / 1e6;
    state.counters["inflate_MBps"] = bytes / zlibTime / 1e6;
    state.counters["ratio"] = ap32Time / zlibTime;
}
BENCHMARK(BM_Ap32UnpackVsInflate)->Unit(benchmark::kMillisecond);

void BM_Ap32PackRatio(benchmark::State& state)
{
    const auto& image = CodeImage();
    size_t packed = 0;
    for (auto _ : state)
        packed = ap32::Pack(image).size();
    state.counters["image_bytes"] = double(image.size());
    state.counters["ap32_ratio"] = double(packed) / double(image.size());
    state.counters["zlib9_ratio"] = double(Deflate(image).size()) / double(image.size());
}
BENCHMARK(BM_Ap32PackRatio)->Unit(benchmark::kMillisecond);

void BM_CachedCompileVsCompile(benchmark::State& state)
{
    const std::string source = Script(int(state.range(0)));
    const std::string base =
        std::filesystem::temp_directory_path() / ("kolvarin_bench_cache_" + std::to_string(getpid()));
    std::filesystem::create_directories(base);
    TLumoScript cached(base, "temp");
    TLumoScript plain(base, "plain"); // cache files without packing
    plain.compressCache = false;
    TLumoScript uncached; // no cache folder: every compile compiles
    for (auto* engine : {&cached, &plain, &uncached})
        engine->Compile(source, "bench.kgraph");
    double cachedTime = 0, plainTime = 0, compileTime = 0;
    for (auto _ : state) {
        cachedTime += Seconds(
            [&] {
                cached.Clear();
                cached.Compile(source, "bench.kgraph");
            },
            1);
        plainTime += Seconds(
            [&] {
                plain.Clear();
                plain.Compile(source, "bench.kgraph");
            },
            1);
        compileTime += Seconds(
            [&] {
                uncached.Clear();
                uncached.Compile(source, "bench.kgraph");
            },
            1);
    }
    if (!cached.ErrorText().empty() || !uncached.ErrorText().empty())
        state.SkipWithError("compile failed");
    state.counters["cached_ms"] = cachedTime * 1e3 / double(state.iterations());
    state.counters["compile_ms"] = compileTime * 1e3 / double(state.iterations());
    state.counters["speedup"] = compileTime / cachedTime;
    state.counters["speedup_plain"] = compileTime / plainTime;
    std::filesystem::remove_all(base);
}
BENCHMARK(BM_CachedCompileVsCompile)->Arg(50)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace
