#pragma once

// The play system on the audio layer's offline clock, with a view that
// records what the main window would show and a small event loop that runs
// the main window's timers in offline time.

#include <array>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "playback/ksystem.h"
#include "temphome.h"

namespace ktest {

class FakeView : public kolvarin::TKPlayerView {
public:
    struct TimerState {
        bool Enabled = false;
        int Interval = 0;
        double StartedMs = 0; // offline time when it was last enabled
    };
    std::array<TimerState, 5> Timers;
    std::array<std::atomic<int>, 5> SyncStarts{};
    double NowMs = 0;
    std::u16string Status;
    kolvarin::TKStatusIcon Icon = kolvarin::TKStatusIcon::Stopped;
    int64_t ProgressMax = 0, ProgressPosition = 0;
    bool ProgressEnabled = false;
    std::array<int, 3> Time{-1, -1, -1};
    bool TimeRemaining = false;
    std::vector<std::u16string> Balloons;
    int VideoMenuDisabled = 0;
    bool VideoMenuEnabled = false, AudioMenuEnabled = true;

    TimerState& Timer(kolvarin::TKPlayTimer t) { return Timers[static_cast<size_t>(t)]; }
    void SetTimer(kolvarin::TKPlayTimer t, bool enabled, int interval) override;
    void StartTimerFromSync(kolvarin::TKPlayTimer t) override { ++SyncStarts[static_cast<size_t>(t)]; }
    std::u16string StatusText() const override { return Status; }
    void SetStatusText(const std::u16string& text) override { Status = text; }
    kolvarin::TKStatusIcon StatusIcon() const override { return Icon; }
    void SetStatusIcon(kolvarin::TKStatusIcon icon) override { Icon = icon; }
    void SetProgressBar(int, bool enabled, int64_t max, int64_t position) override;
    void SetProgressPosition(bool enabled, int64_t position) override;
    void ShowTime(int h, int m, int s, bool remaining) override;
    void ShowBalloon(const std::u16string&, const std::u16string& text, int, bool) override
    {
        Balloons.push_back(text);
    }
    void DisableVideoMenu() override
    {
        ++VideoMenuDisabled;
        VideoMenuEnabled = false;
    }
    void UpdateVideoMenu() override { VideoMenuEnabled = true; }
    void SetAudioMenu(bool audioEnabled, bool) override { AudioMenuEnabled = audioEnabled; }
};

class PlaySystemTest : public TempHomeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Appends an entry for the file; its index.
    int add(const std::filesystem::path& file, const std::string& track = "00");
    // Renders ms of offline output in 10 ms steps, running due timers after
    // each step the way the event loop would. Returns the stereo frames.
    std::vector<float> advance(double ms);
    // Runs the timers whose start the sync callbacks asked for.
    void dispatchSyncs();
    // Runs the move-ons failed starts posted, as the event loop would, until
    // none is left; how many ran.
    int moveOn();

    FakeView view;
    kolvarin::TKSystem* system = nullptr;
};

// Stereo 16-bit WAV of constant levels (left, right) for ms milliseconds at
// 44.1 kHz, in the test's media folder.
std::filesystem::path dcWav(const std::string& name, double left, double right, int ms);
// Mean of the absolute samples of channel (0 left, 1 right) over frames [from, to).
double level(const std::vector<float>& stereo, int channel, size_t from, size_t to);

} // namespace ktest
