// The video side's four kinds of medium go through TKVideoSide: what the
// play system asks of it for each, and how it converts the controls.
#include <set>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playsystem_fixture.h"

using namespace kolvarin;

namespace {

class RecordingVideo : public TKVideoSide {
public:
    bool InitEngine(bool) override { return engineStarts; }
    bool BuildGraph(TKSystem&, const std::u16string& fileName, bool dvd) override
    {
        calls.push_back("play " + Utf16ToUtf8(fileName) + (dvd ? " dvd" : ""));
        frames.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
        return graphBuilds && !failing.count(Utf16ToUtf8(fileName));
    }
    bool Duration(int64_t& length) override
    {
        calls.push_back("duration");
        length = 30 * 10000000LL;
        return true;
    }
    bool Run(std::string& message) override
    {
        message = "no clock";
        return graphRuns;
    }
    bool Prepare(TKSystem&, bool, int) override { return showsVideo; }
    void Stop() override { calls.push_back("stop"); }
    void Reset(bool fullStop) override { calls.push_back(fullStop ? "reset full" : "reset"); }
    bool Pause() override { return calls.push_back("pause"), true; }
    bool Resume() override { return calls.push_back("resume"), true; }
    void SetVolume(int volume) override { calls.push_back("volume " + std::to_string(volume)); }
    void SetBalance(int balance) override { calls.push_back("balance " + std::to_string(balance)); }
    void SetRate(double rate) override { calls.push_back("rate " + std::to_string(rate)); }
    void SetEqualizerBand(int band, int gain) override
    {
        if (band == 0)
            calls.push_back("band0 " + std::to_string(gain));
    }
    std::vector<std::string> calls;
    bool engineStarts = true, graphBuilds = true, graphRuns = true, showsVideo = true;
    std::set<std::string> failing; // files whose graph cannot be built
    std::vector<uintptr_t> frames; // the stack frame of each build
};

class VideoPlayerTest : public ktest::PlaySystemTest {
protected:
    void SetUp() override
    {
        PlaySystemTest::SetUp();
        system->SetVideoSide(&video);
    }
    void TearDown() override
    {
        system->SetVideoSide(nullptr);
        PlaySystemTest::TearDown();
    }
    RecordingVideo video;
};

TEST_F(VideoPlayerTest, EachKindPlaysStopsAndPausesThroughTheVideoSide)
{
    struct Case {
        const char16_t* name;
        TSystemType type;
        const char* play;
        const char* duration;
        const char* fullReset; // what Stop(true) resets
        bool picture;
        int menusDisabled; // at the start without a picture, at the stop of sound and discs
    } cases[] = {
        {u"/v/clip.avi", TSystemType::DirectXVideo, "play /v/clip.avi", "duration", "reset full", true, 0},
        {u"/v/song.wma", TSystemType::DirectXAudio, "play /v/song.wma", "duration", "reset", false, 2},
        // A stream has no length to ask for, a DVD none yet.
        {u"http://host/live.wmv", TSystemType::DirectXStream, "play http://host/live.wmv", nullptr, "reset full", true,
         0},
        {u"/v/VIDEO_TS.IFO", TSystemType::DVD, "play /v/VIDEO_TS.IFO dvd", nullptr, "reset full", true, 1},
    };
    for (const Case& c : cases) {
        video.calls.clear();
        video.showsVideo = c.picture;
        view.VideoMenuDisabled = 0;
        view.VideoMenuEnabled = !c.picture;
        view.AudioMenuEnabled = true;
        const int index = PlaylistAdd(u"x", c.name, "00:00:00", false, "00");
        system->Play(index);
        EXPECT_EQ(system->SystemType(), c.type) << c.play;
        EXPECT_EQ(view.VideoMenuEnabled, c.picture) << "the main window's video menu serves a picture";
        EXPECT_FALSE(view.AudioMenuEnabled) << c.play;
        system->Pause();
        system->Pause();
        system->Stop(true);
        std::vector<std::string> expected{c.play};
        if (c.duration)
            expected.push_back(c.duration);
        expected.insert(expected.end(), {"pause", "resume", "stop", c.fullReset});
        // The start applies the controls too; only the sequence matters here.
        std::erase_if(video.calls, [](const std::string& call) {
            return call.starts_with("volume") || call.starts_with("balance") || call.starts_with("rate") ||
                   call.starts_with("band0");
        });
        EXPECT_EQ(video.calls, expected) << c.play;
        EXPECT_EQ(view.VideoMenuDisabled, c.menusDisabled) << c.play;
        EXPECT_FALSE(SysActive);
    }
}

TEST_F(VideoPlayerTest, TheLengthReadAtTheStartIsTheTimeTheMediaInformationShows)
{
    Config->OFPReadTime = true;
    const int index = PlaylistAdd(u"x", u"/v/clip.avi", "00:00:00", false, "00");
    system->Play(index);
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(PlaylistGetItem(index)->Time, "00:00:30");
    EXPECT_EQ(system->CurrentEntry().Time, "00:00:30") << "the on-screen text and the balloon read the playing entry";
    system->Stop(true);
}

TEST_F(VideoPlayerTest, AFailedStartReportsItsProblemAndTearsTheGraphDown)
{
    Config->Notifications.ShowBalloonOnProblems = true;
    struct Case {
        const char16_t* name;
        bool engine, builds, runs;
        const char* balloon; // 1003 has none
    } cases[] = {
        // The engine failing to start used to return without a word; a file
        // reports a file's problem, not the DVD's.
        {u"/v/a.avi", false, true, true, "File \"a.avi\" could not be played!"},
        {u"/v/e.IFO", false, true, true, "DVD \"e.IFO\" could not be played!"},
        {u"/v/b.avi", true, false, true, "File \"b.avi\" could not be played!"},
        {u"/v/c.IFO", true, false, true, "DVD \"c.IFO\" could not be played!"},
        {u"/v/d.avi", true, true, false, ""},
    };
    for (const Case& c : cases) {
        video.calls.clear();
        view.Balloons.clear();
        video.engineStarts = c.engine;
        video.graphBuilds = c.builds;
        video.graphRuns = c.runs;
        const std::u16string before = view.Status;
        system->Play(PlaylistAdd(u"x", c.name, "00:00:00", false, "00"));
        EXPECT_FALSE(SysActive) << Utf16ToUtf8(c.name);
        EXPECT_EQ(view.Status, before) << "the status text from before the start";
        EXPECT_NE(std::find(video.calls.begin(), video.calls.end(), "stop"), video.calls.end()) << Utf16ToUtf8(c.name);
        if (*c.balloon) {
            ASSERT_EQ(view.Balloons.size(), 1u) << Utf16ToUtf8(c.name);
            EXPECT_NE(Utf16ToUtf8(view.Balloons[0]).find(c.balloon), std::string::npos)
                << Utf16ToUtf8(view.Balloons[0]);
        }
    }
}

TEST_F(VideoPlayerTest, ThePlayModeGoesOnPastMediaThatCannotPlay)
{
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3; // next until the end
    for (const char16_t* name : {u"/v/a.avi", u"/v/b.avi", u"/v/c.avi"})
        PlaylistAdd(u"x", name, "00:00:00", false, "00");
    auto builds = [&] {
        std::vector<std::string> list;
        for (const auto& call : video.calls)
            if (call.starts_with("play "))
                list.push_back(call.substr(5));
        return list;
    };
    video.failing = {"/v/a.avi", "/v/b.avi"};
    system->Play(0);
    EXPECT_EQ(moveOn(), 2);
    EXPECT_TRUE(SysActive);
    EXPECT_EQ(PlaylistPlayingIndex(), 2);
    EXPECT_EQ(builds(), (std::vector<std::string>{"/v/a.avi", "/v/b.avi", "/v/c.avi"}));

    // Looping over a list where nothing plays: one round, then it stops.
    system->Stop(true);
    Config->PlayMode.Mode = 4;
    video.failing.insert("/v/c.avi");
    video.calls.clear();
    system->Play(1);
    EXPECT_EQ(moveOn(), 2);
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(builds(), (std::vector<std::string>{"/v/b.avi", "/v/c.avi", "/v/a.avi"}));

    // Repeating the entry would only fail again.
    Config->PlayMode.Mode = 1;
    video.calls.clear();
    system->Play(0);
    EXPECT_EQ(moveOn(), 0);
    EXPECT_EQ(builds(), (std::vector<std::string>{"/v/a.avi"}));
}

// Each failed start used to call the next from inside itself, so a long list
// of media that cannot play ran deeper into the stack with every entry (and
// was cut off after 64 to survive). Now Play returns after one start and the
// event loop starts the next: every start runs at the same depth.
TEST_F(VideoPlayerTest, ALongRunOfMediaThatCannotPlayGoesOnWithoutNesting)
{
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3;
    constexpr int kEntries = 200;
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "/v/bad" + std::to_string(i) + ".avi";
        video.failing.insert(name);
        PlaylistAdd(u"x", Utf8ToUtf16(name), "00:00:00", false, "00");
    }
    system->Play(0);
    EXPECT_EQ(video.frames.size(), 1u) << "Play tries its own entry only";
    EXPECT_EQ(moveOn(), kEntries - 1);
    ASSERT_EQ(video.frames.size(), size_t{kEntries}) << "every entry tried once, then the end of the list";
    EXPECT_FALSE(SysActive);
    const auto [low, high] = std::minmax_element(video.frames.begin(), video.frames.end());
    // Nested, each start lay a few hundred bytes below the one before.
    EXPECT_LT(*high - *low, 4096u) << "bytes of stack between the shallowest and the deepest start";

    // A stop between two turns of the loop ends the run.
    video.frames.clear();
    system->Play(0);
    system->Stop(true);
    EXPECT_EQ(moveOn(), 0);
    EXPECT_EQ(video.frames.size(), 1u);
}

TEST_F(VideoPlayerTest, ControlsAreConvertedToTheVideoSidesScales)
{
    PlaylistAdd(u"x", u"/v/clip.avi", "00:00:00", false, "00");
    system->Play(0);
    video.calls.clear();
    TKBar bar{10000, 2550};
    system->SetVolume(false, bar);
    Config->Mute = true;
    system->SetVolume(false, bar);
    system->SetBalance(100);
    system->SetBalance(0);
    system->SetSpeed(8);
    system->SetEqualizerBandBass(0, 0);
    system->ApplyEqualizer();
    EXPECT_EQ(video.calls, (std::vector<std::string>{"volume 2500", "volume 0", "balance 0", "balance 10000",
                                                     "rate 2.000000", "band0 -100"}));
    EXPECT_EQ(bar.Position, 2500) << "the bar moves in steps of 100";
}

} // namespace
