// Track changes, on the offline clock and in real time through SDL's disk
// driver: the silence between two tracks without cross-fade, and the overlap
// of a cross-fade, each against a reference that chains the streams directly
// in the audio layer's sync callback. Offline, the output advances one 10 ms
// period at a time with the main-thread timers run between periods, as the
// event loop would; in real time the benchmark's thread is the main thread
// and runs the timers every millisecond while the device plays.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/offline.h"
#include "audio/output.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"

namespace {

using namespace kolvarin;

constexpr int kPeriod = 441; // 10 ms at 44.1 kHz, offline

// The first track is longer than the fade, the second one long enough that
// its own fade starts after the first has ended (a new fade frees the old
// one); the run ends half a second after the second track.
int firstMs(int fadeMs) { return std::max(503, fadeMs + 303); }
int secondMs(int fadeMs) { return std::max(500, 2 * fadeMs + 300); }
int runMs(int fadeMs) { return firstMs(fadeMs) + secondMs(fadeMs) + 500; }

std::filesystem::path tempFile(const std::string& name)
{
    return std::filesystem::temp_directory_path() / ("kolvarin-bench-" + name);
}

// A 16-bit stereo WAV of constant levels.
std::string dcWav(const std::string& name, double left, double right, int ms)
{
    const std::string file = tempFile(name).string();
    const uint32_t frames = 44100u * ms / 1000, data = frames * 4;
    std::string b = "RIFF";
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    le(36 + data, 4);
    b += "WAVEfmt ";
    le(16, 4), le(1, 2), le(2, 2), le(44100, 4), le(44100 * 4, 4), le(4, 2), le(16, 2);
    b += "data";
    le(data, 4);
    for (uint32_t i = 0; i < frames; ++i)
        le(static_cast<uint16_t>(static_cast<int16_t>(left * 32767)), 2),
            le(static_cast<uint16_t>(static_cast<int16_t>(right * 32767)), 2);
    std::ofstream(file, std::ios::binary) << b;
    return file;
}

// Where the mixed frames go: pulled from the offline clock, or played in real
// time by SDL's disk driver into a file.
enum class Clock { Offline, RealTime };

// Runs the output for ms of its time, calling step between offline periods
// or every millisecond in real time; returns the stereo frames.
std::vector<float> runOutput(Clock clock, int ms, const std::function<void()>& step)
{
    std::vector<float> out;
    if (clock == Clock::Offline) {
        for (int period = 0; period < ms / 10; ++period) {
            const auto part = audio::offlineRender(kPeriod);
            out.insert(out.end(), part.begin(), part.end());
            audio::waitForSyncs();
            step();
        }
        return out;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        step();
    }
    return out; // read from the capture once the device is closed
}

class LoopView : public TKPlayerView {
public:
    std::atomic<bool> fade{false}, end{false};
    void StartTimerFromSync(TKPlayTimer t) override { (t == TKPlayTimer::SyncEndProcStartTimer ? end : fade) = true; }
};

struct Envelope {
    int64_t lastA = -1, firstB = -1, overlap = 0;
};

Envelope measure(const std::vector<float>& out)
{
    Envelope e;
    for (size_t i = 0; i < out.size() / 2; ++i) {
        const bool a = std::fabs(out[2 * i]) > 1e-3, b = std::fabs(out[2 * i + 1]) > 1e-3;
        if (a)
            e.lastA = static_cast<int64_t>(i);
        if (b && e.firstB < 0)
            e.firstB = static_cast<int64_t>(i);
        e.overlap += a && b;
    }
    return e;
}

// The play system: syncs start timers, the handlers run on this thread.
std::vector<float> playSystemRun(Clock clock, bool crossFade, int fadeMs)
{
    Config->Fader.Enabled = crossFade;
    Config->Fader.Count = static_cast<int16_t>(fadeMs);
    Playlist->Clear();
    PlaylistAdd(u"a", Utf8ToUtf16(dcWav("a.wav", 0.5, 0, firstMs(fadeMs))), "", false, "00");
    PlaylistAdd(u"b", Utf8ToUtf16(dcWav("b.wav", 0, 0.5, secondMs(fadeMs))), "", false, "00");
    LoopView view;
    TKSystem system;
    system.SetView(&view);
    system.VolumeBar() = {10000, 10000};
    system.Play(0);
    auto out = runOutput(clock, runMs(fadeMs), [&] {
        if (view.fade.exchange(false))
            system.SyncFadeOutProcStartTimerTimer();
        if (view.end.exchange(false))
            system.SyncEndProcStartTimerTimer();
    });
    system.Stop(true);
    return out;
}

// The reference: the sync callback itself starts the next stream.
std::vector<float> referenceRun(Clock clock, bool crossFade, int fadeMs)
{
    const std::u16string a = Utf8ToUtf16(dcWav("a.wav", 0.5, 0, firstMs(fadeMs)));
    const std::u16string b = Utf8ToUtf16(dcWav("b.wav", 0, 0.5, secondMs(fadeMs)));
    HSTREAM first = BASS_StreamCreateFile(false, a.c_str(), 0, 0, bass::kUnicode);
    static HSTREAM second;
    second = BASS_StreamCreateFile(false, b.c_str(), 0, 0, bass::kUnicode);
    static int fade;
    fade = crossFade ? fadeMs : 0;
    SYNCPROC* startNext = [](HSYNC, DWORD channel, DWORD, void*) {
        if (fade > 0) {
            BASS_ChannelSlideAttribute(channel, bass::kAttribVol, 0, static_cast<DWORD>(fade));
            BASS_ChannelSetAttribute(second, bass::kAttribVol, 0);
            BASS_ChannelSlideAttribute(second, bass::kAttribVol, 1, static_cast<DWORD>(fade));
        }
        BASS_ChannelPlay(second, false);
    };
    const QWORD length = BASS_ChannelGetLength(first, bass::kPosByte);
    if (crossFade)
        BASS_ChannelSetSync(first, bass::kSyncPos | bass::kSyncOneTime,
                            length - BASS_ChannelSeconds2Bytes(first, fadeMs / 1000.0), startNext, nullptr);
    else
        BASS_ChannelSetSync(first, bass::kSyncEnd | bass::kSyncOneTime, 0, startNext, nullptr);
    BASS_ChannelPlay(first, false);
    auto out = runOutput(clock, runMs(fadeMs), [] {});
    BASS_StreamFree(first);
    BASS_StreamFree(second);
    return out;
}

std::vector<float> readCapture(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::copy_n(reinterpret_cast<const float*>(bytes.data()), samples.size(), samples.data());
    return samples;
}

// Settings, playlist and the audio library on the chosen clock.
class Setup {
public:
    explicit Setup(Clock clock) : clock_(clock)
    {
        Config = new TKConfig();
        Config->SetDefaults();
        TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
        Config->OFPReadTime = Config->OFPReadID3Tag = false;
        Config->Fader.VolumeEnabled = false;
        Config->PlayMode.Mode = 3;
        Playlist = new TKPlaylist();
        if (clock_ == Clock::RealTime) {
            ::setenv("SDL_AUDIODRIVER", "disk", 1);
            ::setenv("SDL_DISKAUDIOFILE", capture_.c_str(), 1);
            // The buffer length of the default playback priority: a 186 ms output period.
            BASS_SetConfig(bass::kConfigBuffer, 250);
        }
        BASS_Init(clock_ == Clock::Offline ? 0 : -1, 44100, 0, nullptr, nullptr);
    }
    ~Setup()
    {
        delete Playlist;
        delete Config;
        std::filesystem::remove(capture_);
    }
    // Ends the audio library; what the output played.
    std::vector<float> finish(std::vector<float> pulled)
    {
        BASS_Free();
        if (clock_ == Clock::Offline)
            return pulled;
        const audio::SdlAudioUse closed; // the device has written and closed its file
        return readCapture(capture_);
    }
    int periodFrames() const
    {
        BassInfo info{};
        BASS_GetInfo(&info);
        return clock_ == Clock::Offline ? kPeriod : static_cast<int>(info.minbuf * 44100 / 1000);
    }

private:
    Clock clock_;
    std::filesystem::path capture_ = tempFile("capture.raw");
};

using Run = std::vector<float> (*)(Clock, bool, int);

// Runs the track change once per iteration; per run the measured frames and
// how far they are from the wanted ones. Reports the mean and the worst.
template <Run run>
void TrackChange(benchmark::State& state, bool crossFade, const char* name,
                 double (*frames)(const Envelope&, int fadeMs))
{
    const auto clock = static_cast<Clock>(state.range(0));
    const int fadeMs = crossFade ? static_cast<int>(state.range(1)) : 0;
    double sum = 0, worst = 0;
    int period = 1;
    for (auto _ : state) {
        Setup setup(clock);
        period = setup.periodFrames();
        const double measured = frames(measure(setup.finish(run(clock, crossFade, fadeMs))), fadeMs);
        sum += measured;
        worst = std::max(worst, std::fabs(measured - fadeMs * 44.1));
    }
    state.counters[name] = sum / static_cast<double>(state.iterations()) / 44.1;
    state.counters["worst_error_per_period"] = worst / period;
    state.counters["period_ms"] = period / 44.1;
}

template <Run run>
void BM_Gap(benchmark::State& state)
{
    TrackChange<run>(state, false, "gap_ms",
                     [](const Envelope& e, int) { return static_cast<double>(e.firstB - e.lastA - 1); });
}

template <Run run>
void BM_CrossFade(benchmark::State& state)
{
    TrackChange<run>(state, true, "overlap_ms", [](const Envelope& e, int) { return static_cast<double>(e.overlap); });
}

// Arguments: the clock (0 offline, 1 real time), then the fade time.
BENCHMARK(BM_Gap<playSystemRun>)->Name("Gap/PlaySystem")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gap<referenceRun>)->Name("Gap/Reference")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossFade<playSystemRun>)
    ->Name("CrossFade/PlaySystem")
    ->Args({0, 200})
    ->Args({1, 200})
    ->Args({0, 1000})
    ->Args({1, 1000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossFade<referenceRun>)
    ->Name("CrossFade/Reference")
    ->Args({0, 200})
    ->Args({1, 200})
    ->Args({0, 1000})
    ->Args({1, 1000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
