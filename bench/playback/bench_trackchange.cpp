// Track changes on the offline clock, one output period (10 ms) at a time
// with the main-thread timers run between periods as the event loop would:
// the silence between two tracks without cross-fade, and the overlap of a
// cross-fade, both against a reference that chains the streams directly in
// the audio layer's sync callback.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/offline.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"

namespace {

using namespace kolvarin;

constexpr int kPeriod = 441; // 10 ms at 44.1 kHz

// A 16-bit stereo WAV of constant levels.
std::string dcWav(const std::string& name, double left, double right, int ms)
{
    const std::string file = (std::filesystem::temp_directory_path() / ("kolvarin-bench-" + name)).string();
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

// The play system: syncs start timers, handlers run between periods.
Envelope playSystemRun(bool crossFade, int fadeMs)
{
    Config->Fader.Enabled = crossFade;
    Config->Fader.Count = static_cast<int16_t>(fadeMs);
    Playlist->Clear();
    PlaylistAdd(u"a", Utf8ToUtf16(dcWav("a.wav", 0.5, 0, 503)), "", false, "00");
    PlaylistAdd(u"b", Utf8ToUtf16(dcWav("b.wav", 0, 0.5, 500)), "", false, "00");
    LoopView view;
    TKSystem system;
    system.SetView(&view);
    system.VolumeBar() = {10000, 10000};
    system.Play(0);
    std::vector<float> out;
    for (int period = 0; period < 150; ++period) {
        const auto part = audio::offlineRender(kPeriod);
        out.insert(out.end(), part.begin(), part.end());
        audio::waitForSyncs();
        if (view.fade.exchange(false))
            system.SyncFadeOutProcStartTimerTimer();
        if (view.end.exchange(false))
            system.SyncEndProcStartTimerTimer();
    }
    system.Stop(true);
    return measure(out);
}

// The reference: the sync callback itself starts the next stream.
Envelope referenceRun(bool crossFade, int fadeMs)
{
    const std::u16string a = Utf8ToUtf16(dcWav("a.wav", 0.5, 0, 503)), b = Utf8ToUtf16(dcWav("b.wav", 0, 0.5, 500));
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
    std::vector<float> out;
    for (int period = 0; period < 150; ++period) {
        const auto part = audio::offlineRender(kPeriod);
        out.insert(out.end(), part.begin(), part.end());
        audio::waitForSyncs();
    }
    BASS_StreamFree(first);
    BASS_StreamFree(second);
    return measure(out);
}

struct Setup {
    Setup()
    {
        Config = new TKConfig();
        Config->SetDefaults();
        TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
        Config->OFPReadTime = Config->OFPReadID3Tag = false;
        Config->Fader.VolumeEnabled = false;
        Config->PlayMode.Mode = 3;
        Playlist = new TKPlaylist();
        BASS_Init(0, 44100, 0, nullptr, nullptr);
    }
    ~Setup()
    {
        BASS_Free();
        delete Playlist;
        delete Config;
    }
};

template <Envelope (*Run)(bool, int)>
void BM_Gap(benchmark::State& state)
{
    Setup setup;
    Envelope e;
    for (auto _ : state)
        e = Run(false, 0);
    const double gap = static_cast<double>(e.firstB - e.lastA - 1);
    state.counters["gap_frames"] = gap;
    state.counters["gap_per_period"] = gap / kPeriod;
}

template <Envelope (*Run)(bool, int)>
void BM_CrossFade(benchmark::State& state)
{
    Setup setup;
    const int fadeMs = static_cast<int>(state.range(0));
    Envelope e;
    for (auto _ : state)
        e = Run(true, fadeMs);
    const double expected = fadeMs * 44.1;
    state.counters["overlap_ms"] = static_cast<double>(e.overlap) / 44.1;
    state.counters["error_per_period"] = std::fabs(static_cast<double>(e.overlap) - expected) / kPeriod;
}

BENCHMARK(BM_Gap<playSystemRun>)->Name("Gap/PlaySystem")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gap<referenceRun>)->Name("Gap/Reference")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossFade<playSystemRun>)->Name("CrossFade/PlaySystem")->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossFade<referenceRun>)->Name("CrossFade/Reference")->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
