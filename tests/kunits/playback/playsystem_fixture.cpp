#include "playsystem_fixture.h"

#include <cmath>

#include "audio/offline.h"
#include "audio_fixtures.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"

namespace ktest {

using namespace kolvarin;

void FakeView::SetTimer(TKPlayTimer t, bool enabled, int interval)
{
    TimerState& state = Timer(t);
    if (interval > 0)
        state.Interval = interval;
    if (enabled && !state.Enabled)
        state.StartedMs = NowMs;
    state.Enabled = enabled;
}

void FakeView::SetProgressBar(int, bool enabled, int64_t max, int64_t position)
{
    ProgressEnabled = enabled;
    ProgressMax = max;
    ProgressPosition = position;
}

void FakeView::SetProgressPosition(bool enabled, int64_t position)
{
    ProgressEnabled = enabled;
    ProgressPosition = position;
}

void FakeView::ShowTime(int h, int m, int s, bool remaining)
{
    Time = {h, m, s};
    TimeRemaining = remaining;
}

void PlaySystemTest::SetUp()
{
    TempHomeTest::SetUp();
    std::filesystem::create_directories(home());
    UserPath = home().string() + "/";
    Config = new TKConfig();
    Config->SetDefaults();
    TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
    Config->OFPReadTime = false;
    Config->Fader.VolumeEnabled = false;
    Config->Notifications.ShowMsgBoxOnProblems = false;
    Playlist = new TKPlaylist();
    PlaylistItemIndex = -1;
    ResetProcessFlags();
    AppInitialized = true; // the timers act only after start-up
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    system = new TKSystem();
    PlaySystem = system;
    system->SetView(&view);
    system->VolumeBar() = {10000, 10000};
}

void PlaySystemTest::TearDown()
{
    delete system;
    PlaySystem = nullptr;
    BASS_Free();
    delete Playlist;
    Playlist = nullptr;
    delete Config;
    Config = nullptr;
    ResetProcessFlags();
    TempHomeTest::TearDown();
}

int PlaySystemTest::add(const std::filesystem::path& file, const std::string& track)
{
    return PlaylistAdd(Utf8ToUtf16(file.stem().string()), Utf8ToUtf16(file.string()), "00:00:00", false, track);
}

void PlaySystemTest::dispatchSyncs()
{
    kolvarin::audio::waitForSyncs();
    if (view.SyncStarts[1].exchange(0))
        view.SetTimer(TKPlayTimer::SyncFadeOutProcStartTimer, true, 1);
    if (view.SyncStarts[2].exchange(0))
        view.SetTimer(TKPlayTimer::SyncEndProcStartTimer, true, 1);
    if (view.Timer(TKPlayTimer::SyncFadeOutProcStartTimer).Enabled)
        system->SyncFadeOutProcStartTimerTimer();
    if (view.Timer(TKPlayTimer::SyncEndProcStartTimer).Enabled)
        system->SyncEndProcStartTimerTimer();
}

int PlaySystemTest::moveOn()
{
    int turns = 0;
    for (; view.Timer(TKPlayTimer::MoveOnTimer).Enabled; ++turns)
        system->MoveOnTimerTimer();
    return turns;
}

std::vector<float> PlaySystemTest::advance(double ms)
{
    std::vector<float> out;
    constexpr int kStep = 441; // 10 ms
    for (double done = 0; done < ms; done += 10) {
        const std::vector<float> part = kolvarin::audio::offlineRender(kStep);
        out.insert(out.end(), part.begin(), part.end());
        view.NowMs += 10;
        dispatchSyncs();
        if (view.Timer(TKPlayTimer::MoveOnTimer).Enabled)
            system->MoveOnTimerTimer();
        auto& fade = view.Timer(TKPlayTimer::FadeOutStopTimer);
        if (fade.Enabled && view.NowMs - fade.StartedMs >= fade.Interval)
            system->FadeOutStopTimerTimer();
        auto& play = view.Timer(TKPlayTimer::PlayTimer);
        if (play.Enabled && view.NowMs - play.StartedMs >= 333) {
            play.StartedMs = view.NowMs;
            system->PlayTimerTimer();
        }
    }
    return out;
}

std::filesystem::path dcWav(const std::string& name, double left, double right, int ms)
{
    const auto file = audio::mediaDir() / name;
    if (!std::filesystem::exists(file)) {
        const int frames = 44100 * ms / 1000;
        audio::writeWav(file, 44100, 2,
                        audio::makeSamples(frames, 2, [&](int, int c) { return c == 0 ? left : right; }));
    }
    return file;
}

double level(const std::vector<float>& stereo, int channel, size_t from, size_t to)
{
    double sum = 0;
    to = std::min(to, stereo.size() / 2);
    if (to <= from)
        return 0;
    for (size_t i = from; i < to; ++i)
        sum += std::fabs(stereo[i * 2 + channel]);
    return sum / static_cast<double>(to - from);
}

} // namespace ktest
