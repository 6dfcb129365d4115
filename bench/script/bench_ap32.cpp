// AP32 unpacking beside zlib inflate of the same data in the same run (the
// "ratio" counter: AP32 time / inflate time), and the pack ratio of AP32 and
// zlib on a compiled code image.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "script/lumoap32.h"
#include "script/lumoscript.h"

namespace {

using namespace kolvarin::script;

std::string Script(int functions) {
  std::string text;
  for (int k = 0; k < functions; ++k) {
    std::string n = std::to_string(k);
    text += "int f" + n + "(int a, int b) { int i; int s; s = a + " + std::to_string(k % 97) +
            "; for (i = 0; i < b; i++) { s = s + i * 3 - (a & 7); if (s > 1000) s = s - 1000; } return s; }\n";
  }
  return text;
}

// The unlinked image of a generated script, several copies to reach a size
// where throughput is measurable.
const std::vector<uint8_t>& CodeImage() {
  static std::vector<uint8_t> image = [] {
    TLumoScript engine;
    engine.Compile(Script(400), "bench.kgraph");
    return engine.Image().code;
  }();
  return image;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in) {
  uLongf size = compressBound(in.size());
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, in.data(), in.size(), 9);
  out.resize(size);
  return out;
}

double Seconds(const std::function<void()>& fn, int rounds) {
  auto from = std::chrono::steady_clock::now();
  for (int k = 0; k < rounds; ++k) fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

void BM_Ap32UnpackVsInflate(benchmark::State& state) {
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

void BM_Ap32PackRatio(benchmark::State& state) {
  const auto& image = CodeImage();
  size_t packed = 0;
  for (auto _ : state) packed = ap32::Pack(image).size();
  state.counters["image_bytes"] = double(image.size());
  state.counters["ap32_ratio"] = double(packed) / double(image.size());
  state.counters["zlib9_ratio"] = double(Deflate(image).size()) / double(image.size());
}
BENCHMARK(BM_Ap32PackRatio)->Unit(benchmark::kMillisecond);

}  // namespace
