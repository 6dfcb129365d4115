// The audio layer's chain (decode, 10-band equalizer, resample, mix) on a
// 5-minute stereo 44.1 kHz MP3 beside ffmpeg decoding the same file through
// ten equalizer bands, in the same run; the mixer's cost per output period;
// the output latency for several buffer lengths.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <unistd.h>

#include "audio/bass.h"
#include "audio/offline.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using Clock = std::chrono::steady_clock;

constexpr float kCentres[10] = {60, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
constexpr float kGains[10] = {4, 2, -3, 1, -2, 3, -4, 2, 1, -1};

struct Media {
    std::filesystem::path dir;
    std::filesystem::path wav; // 20 s, for the per-period cost
    std::filesystem::path mp3; // 5 minutes
    Media()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kolvarin-bench-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        wav = dir / "music.wav";
        mp3 = dir / "music.mp3";
        // Two detuned tones and noise: something for every band to act on.
        const int rate = 44100, seconds = 20;
        std::string data(44 + static_cast<std::size_t>(rate) * seconds * 4, '\0');
        auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                data[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        data.replace(0, 4, "RIFF");
        put(4, static_cast<std::uint32_t>(data.size() - 8), 4);
        data.replace(8, 8, "WAVEfmt ");
        put(16, 16, 4);
        put(20, 1, 2);
        put(22, 2, 2);
        put(24, rate, 4);
        put(28, rate * 4, 4);
        put(32, 4, 2);
        put(34, 16, 2);
        data.replace(36, 4, "data");
        put(40, static_cast<std::uint32_t>(data.size() - 44), 4);
        std::mt19937 random(1);
        std::uniform_real_distribution<double> noise(-0.05, 0.05);
        for (int i = 0; i < rate * seconds; ++i)
            for (int c = 0; c < 2; ++c) {
                const double v = 0.3 * std::sin(2 * std::numbers::pi * (220 + c) * i / rate) +
                                 0.2 * std::sin(2 * std::numbers::pi * 3300 * i / rate) + noise(random);
                put(44 + (static_cast<std::size_t>(i) * 2 + c) * 2, static_cast<std::uint16_t>(std::lround(v * 32767)),
                    2);
            }
        std::ofstream(wav, std::ios::binary) << data;
        // 15 loops of 20 s: five minutes.
        const std::string command = "ffmpeg -nostdin -y -hide_banner -loglevel error -stream_loop 14 -i '" +
                                    wav.string() + "' -c:a libmp3lame -b:a 192k '" + mp3.string() + "'";
        if (std::system(command.c_str()) != 0)
            mp3.clear();
    }
    ~Media() { std::filesystem::remove_all(dir); }
};

const Media& media()
{
    static const Media m;
    return m;
}

HSTREAM openWithEqualizer(const std::filesystem::path& file)
{
    const HSTREAM stream = BASS_StreamCreateFile(false, file.c_str(), 0, 0, 0);
    for (int band = 0; band < 10; ++band) {
        const HFX fx = BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 0);
        const BASS_DX8_PARAMEQ p{kCentres[band], 18.0f, kGains[band]};
        BASS_FXSetParameters(fx, &p);
    }
    return stream;
}

double ourChainSeconds(const std::filesystem::path& file)
{
    // Output at 48 kHz, so every frame is resampled too.
    BASS_Init(0, 48000, 0, nullptr, nullptr);
    const HSTREAM stream = openWithEqualizer(file);
    BASS_ChannelPlay(stream, false);
    std::vector<float> out(4096 * 2);
    const auto start = Clock::now();
    while (BASS_ChannelIsActive(stream) == bass::kActivePlaying)
        audio::offlineRender(out.data(), 4096);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    BASS_Free();
    return seconds;
}

double ffmpegSeconds(const std::filesystem::path& file)
{
    std::string filters;
    for (int band = 0; band < 10; ++band) {
        if (band > 0)
            filters += ',';
        filters += "equalizer=f=";
        filters += std::to_string(kCentres[band]);
        filters += ":t=o:w=1.5:g=";
        filters += std::to_string(kGains[band]);
    }
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -i '" + file.string() + "' -af " +
                                filters + " -f null - >/dev/null 2>&1";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_DecodeEqualizeResampleMix(benchmark::State& state)
{
    if (media().mp3.empty()) {
        state.SkipWithError("ffmpeg could not make the 5-minute file");
        return;
    }
    double ours = 0, reference = 0;
    for (auto _ : state) {
        const double o = ourChainSeconds(media().mp3);
        const double r = ffmpegSeconds(media().mp3);
        state.SetIterationTime(o);
        ours += o;
        reference += r;
    }
    state.counters["ours_s"] = ours / state.iterations();
    state.counters["ffmpeg_s"] = reference / state.iterations();
    state.counters["ratio"] = ours / reference; // goal: at most 1
}
BENCHMARK(BM_DecodeEqualizeResampleMix)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_MixerPeriod(benchmark::State& state)
{
    const int period = static_cast<int>(state.range(0));
    const int streams = static_cast<int>(state.range(1));
    BASS_Init(0, 48000, 0, nullptr, nullptr);
    std::vector<HSTREAM> handles;
    for (int i = 0; i < streams; ++i) {
        handles.push_back(openWithEqualizer(media().wav));
        BASS_ChannelPlay(handles.back(), false);
    }
    std::vector<float> out(static_cast<std::size_t>(period) * 2);
    double busy = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        audio::offlineRender(out.data(), period);
        busy += std::chrono::duration<double>(Clock::now() - start).count();
        for (const HSTREAM h : handles)
            if (BASS_ChannelIsActive(h) != bass::kActivePlaying)
                BASS_ChannelPlay(h, true);
    }
    // The share of real time the mixer needs: its cost over the period's duration.
    const double period_s = period / 48000.0;
    state.counters["period_ms"] = period_s * 1000;
    state.counters["us_per_period"] = busy / state.iterations() * 1e6;
    state.counters["cpu_percent"] = busy / (period_s * state.iterations()) * 100;
    BASS_Free();
}
BENCHMARK(BM_MixerPeriod)->Args({240, 1})->Args({1024, 1})->Args({1024, 2})->Args({1024, 4});

void BM_OutputLatency(benchmark::State& state)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    BASS_SetConfig(bass::kConfigBuffer, static_cast<DWORD>(state.range(0)));
    BassInfo info{};
    for (auto _ : state) {
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        BASS_GetInfo(&info);
        BASS_Free();
    }
    state.counters["buffer_option_ms"] = static_cast<double>(state.range(0));
    state.counters["period_ms"] = info.minbuf;
    state.counters["latency_ms"] = info.latency;
    BASS_SetConfig(bass::kConfigBuffer, 500);
}
BENCHMARK(BM_OutputLatency)->Arg(1)->Arg(5)->Arg(20)->Arg(100)->Iterations(1);

} // namespace
