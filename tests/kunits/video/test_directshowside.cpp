// The DirectShow side in the play system: a local clip plays its picture and
// sound through the filter graph, ends the medium when the graph completes,
// and a file that does not play reports the problem and leaves no graph; a
// DVD's information file plays its menu through the DVD graph script; a
// playlist of media that cannot play, or only in part, is played through to
// its good last entry.
#include "video/kdirectshowside.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <numbers>
#include <thread>

#include <sys/resource.h>

#include <QColor>
#include <QImage>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "dvd_fixture.h"
#include "loopback_server.h"
#include "media/dvdif.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "video/dskitvideowindow.h"
#include "video/graphbuilder.h"
#include "videoplay_fixture.h"

using namespace kolvarin;
using namespace kolvarin::video;
namespace fx = ktest::media;

namespace {

class RecordingView : public TKPlayerView {
public:
    // The main window's timer: the move-on a failed start posts runs from
    // the event loop.
    void SetTimer(TKPlayTimer timer, bool enabled, int) override
    {
        if (timer == TKPlayTimer::MoveOnTimer && enabled)
            QTimer::singleShot(1, [this] {
                if (System)
                    System->MoveOnTimerTimer();
            });
    }
    void ShowBalloon(const std::u16string&, const std::u16string& text, int, bool) override
    {
        Balloons.push_back(Utf16ToUtf8(text));
    }
    void SetProgressBar(int tag, bool, int64_t max, int64_t) override
    {
        ProgressTag = tag;
        ProgressMax = max;
    }
    void SetProgressPosition(bool, int64_t position) override { ProgressPosition = position; }
    TKSystem* System = nullptr;
    std::vector<std::string> Balloons;
    int ProgressTag = 0;
    int64_t ProgressMax = 0, ProgressPosition = 0;
};

class ErrorRecorder : public TErrorDialog {
public:
    void Show(const std::u16string&, const std::u16string& text, Icon) override { Texts.push_back(Utf16ToUtf8(text)); }
    std::vector<std::string> Texts;
};

class DirectShowSideTest : public ktest::VideoPlayFixture {
protected:
    void SetUp() override
    {
        VideoPlayFixture::SetUp();
        UseSourceScripts();
        Config->SetDefaultFilters();
        Config->Notifications.ShowBalloonOnProblems = true;
        StartSystem();
        system->SetView(&view);
        view.System = system.get();
        SetErrorDialog(&errors);
    }
    void TearDown() override
    {
        SetErrorDialog(nullptr);
        VideoPlayFixture::TearDown();
    }

    RecordingView view;
    ErrorRecorder errors;
};

// A Sun audio file: a 440 Hz tone, 16-bit mono, big-endian.
std::string AuTone(int rate, int frames)
{
    std::string bytes = ".snd";
    auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>(v >> shift & 0xFF);
    };
    for (uint32_t v : {24u, uint32_t(frames * 2), 3u, uint32_t(rate), 1u})
        put32(v);
    for (int i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440 * i / rate));
        bytes += static_cast<char>(sample >> 8 & 0xFF);
        bytes += static_cast<char>(sample & 0xFF);
    }
    return bytes;
}

// The Matroska element of an audio track's rate: 0xB5, an 8-byte float.
std::string RateElement(double hz)
{
    std::string bytes = "\xB5\x88";
    const auto bits = std::bit_cast<uint64_t>(hz);
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes += static_cast<char>(bits >> shift & 0xFF);
    return bytes;
}

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void ExpectColour(const QImage& image, QPoint at, unsigned rgb, int tolerance = 14)
{
    const QColor c = image.pixelColor(at);
    EXPECT_NEAR(c.red(), int(rgb >> 16 & 0xFF), tolerance);
    EXPECT_NEAR(c.green(), int(rgb >> 8 & 0xFF), tolerance);
    EXPECT_NEAR(c.blue(), int(rgb & 0xFF), tolerance);
}

} // namespace

TEST_F(DirectShowSideTest, ALocalClipPlaysPictureAndSoundAndEndsTheMedium)
{
    Config->VideoColorControls.Brightness = 800;
    system->Play(Add(fx::MkvFixture()));
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(system->SystemType(), TSystemType::DirectXVideo);
    EXPECT_EQ(side->GraphState(), 3);
    EXPECT_TRUE(side->SplitterFilter()) << "stream selection goes through the splitter";
    EXPECT_EQ(side->Display().ColorControl().Brightness(), 800) << "the configured colour controls";
    EXPECT_NEAR(view.ProgressMax, 20000000, 500000) << "the progress bar spans the length in 100 ns units";

    int kinds[4] = {};
    for (const auto& info : system->StreamInfos())
        ++kinds[info.Kind & 3];
    // One record per splitter pin: the selected stream of each kind.
    EXPECT_EQ(kinds[1], 1);
    EXPECT_EQ(kinds[2], 1);

    ASSERT_TRUE(WaitFor(
        [&] {
            int64_t position = 0;
            return side->Position(position) && position > 3000000;
        },
        3000));
    const QImage shown = media::GrabVideoWindow(side->Display().GetFilter().get());
    ASSERT_FALSE(shown.isNull());
    ExpectColour(shown, {shown.width() / 4, shown.height() / 2}, fx::kLeftColour);
    ExpectColour(shown, {shown.width() * 3 / 4, shown.height() / 2}, fx::kRightColour);
    system->Update();
    EXPECT_GT(view.ProgressPosition, 0);

    system->Pause();
    EXPECT_EQ(side->GraphState(), 2);
    system->SetPosition(TKBar{view.ProgressMax, 15000000}); // the bar spans the length
    int64_t position = 0;
    EXPECT_TRUE(side->Position(position));
    EXPECT_NEAR(position, 15000000, 1000000);
    system->Pause();
    EXPECT_EQ(side->GraphState(), 3);

    ASSERT_TRUE(WaitFor([] { return !SysActive; }, 5000)) << "the graph's completion ends the medium";
    EXPECT_EQ(side->GraphState(), 0) << "the graph is torn down";
    EXPECT_TRUE(view.Balloons.empty());
}

// The settings' colour controls as they come are the display's neutral
// ones: a picture shows in its own colours, not brighter.
TEST_F(DirectShowSideTest, DefaultColourSettingsShowTheSourceColours)
{
    TKConfig defaults;
    defaults.SetDefaults();
    Config->VideoColorControls = defaults.VideoColorControls;
    system->Play(Add(fx::Mp4Fixture()));
    ASSERT_TRUE(SysActive);
    TColorControl& colors = side->Display().ColorControl();
    EXPECT_EQ(colors.Brightness(), colors.Defaults().lBrightness);
    // Pictures that came after the controls were set.
    ASSERT_TRUE(WaitFor(
        [&] {
            int64_t position = 0;
            return side->Position(position) && position > 5000000;
        },
        5000));
    const QImage shown = media::CurrentVideoImage(side->Display().GetFilter().get());
    ASSERT_FALSE(shown.isNull());
    ExpectColour(shown, {shown.width() / 4, shown.height() / 2}, fx::kLeftColour, 4);
    ExpectColour(shown, {shown.width() * 3 / 4, shown.height() / 2}, fx::kRightColour, 4);
}

TEST_F(DirectShowSideTest, AGraphAbortedByAnErrorEndsItsMediumAndThePlayModeGoesOn)
{
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3; // next until the end
    system->Play(Add(fx::TimedClip("long.mp4", 20, 160, 120, 10)));
    const int next = Add(fx::Mp4Fixture());
    ASSERT_TRUE(SysActive);
    side->FilterGraph().Query<media::IMediaEventSink>()->Notify(media::EC_ERRORABORT, media::E_FAIL, 0);
    EXPECT_TRUE(WaitFor([&] { return SysActive && PlaylistPlayingIndex() == next; }, 10000))
        << "long before the 20 s of the first clip";
}

// A sound file of the video side: no video window, the sound plays to its end.
TEST_F(DirectShowSideTest, ADirectShowAudioFilePlaysWithoutAVideoWindow)
{
    system->Play(Add(fx::WriteFile("tone.au", AuTone(22050, 11025))));
    ASSERT_TRUE(SysActive) << (view.Balloons.empty() ? "" : view.Balloons[0]);
    EXPECT_EQ(system->SystemType(), TSystemType::DirectXAudio);
    EXPECT_EQ(side->GraphState(), 3);
    EXPECT_FALSE(side->Display().isVisible());
    EXPECT_FALSE(side->SplitterFilter()) << "stream selection is for video files";
    ASSERT_TRUE(WaitFor([] { return !SysActive; }, 5000)) << "the graph's completion ends the medium";
    EXPECT_TRUE(view.Balloons.empty());
}

TEST_F(DirectShowSideTest, AVideoStreamPlaysWithoutALength)
{
    const std::string bytes = ktest::readFile(fx::MkvFixture());
    ktest::LoopbackServer server([&](int socket, const std::string&, const std::atomic<bool>&) {
        ktest::LoopbackServer::send(socket, "HTTP/1.0 200 OK\r\nContent-Type: video/x-ms-wmv\r\n\r\n" + bytes);
    });
    const std::string url = server.url("/live.wmv");
    system->Play(PlaylistAdd(u"live", Utf8ToUtf16(url), "00:00:00", false, "00"));
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(system->SystemType(), TSystemType::DirectXStream);
    EXPECT_EQ(view.ProgressTag, -1) << "a stream has no length to show";
    EXPECT_TRUE(view.Balloons.empty());
    system->Stop(true);
    EXPECT_EQ(side->GraphState(), 0);
}

// An .asx list over http: the start waits for the list in the event loop,
// which goes on meanwhile, then its first reference plays; a list that cannot
// be fetched or refers to nothing is reported like any stream that does not
// play, and a list that arrives after a stop starts nothing.
TEST_F(DirectShowSideTest, AStreamListOverHttpPlaysItsFirstReferenceWhenItArrives)
{
    const std::string bytes = ktest::readFile(fx::MkvFixture());
    ktest::LoopbackServer server([&](int socket, const std::string& request, const std::atomic<bool>&) {
        if (request.find("GET /live.wmv") != std::string::npos)
            ktest::LoopbackServer::send(socket, "HTTP/1.0 200 OK\r\nContent-Type: video/x-ms-wmv\r\n\r\n" + bytes);
        else if (request.find("GET /list.asx") != std::string::npos) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ktest::LoopbackServer::send(socket, "HTTP/1.0 200 OK\r\nContent-Type: video/x-ms-asf\r\n\r\n"
                                                "<ASX VERSION=\"3.0\"><ENTRY><REF HREF=\"live.wmv\"/></ENTRY>"
                                                "<ENTRY><REF HREF=\"other.wmv\"/></ENTRY></ASX>");
        } else if (request.find("GET /empty.asx") != std::string::npos)
            ktest::LoopbackServer::send(socket, "HTTP/1.0 200 OK\r\n\r\n<asx><entry></entry></asx>");
        else
            ktest::LoopbackServer::send(socket, "HTTP/1.0 404 Not Found\r\n\r\n");
    });
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(10);
    const int list = PlaylistAdd(u"list", Utf8ToUtf16(server.url("/list.asx")), "00:00:00", false, "00");
    system->Play(list);
    EXPECT_FALSE(SysActive) << "the list is still on its way";
    EXPECT_EQ(side->GraphState(), 0);
    ASSERT_TRUE(WaitFor([&] { return SysActive; }, 10000));
    EXPECT_GE(ticks, 5) << "the event loop went on while the list came";
    EXPECT_EQ(system->SystemType(), TSystemType::DirectXStream);
    EXPECT_EQ(side->GraphState(), 3);
    EXPECT_TRUE(view.Balloons.empty());
    system->Stop(true);

    system->Play(list);
    system->Stop(true);
    EXPECT_FALSE(WaitFor([&] { return SysActive || side->GraphState() != 0; }, 800));
    EXPECT_TRUE(view.Balloons.empty());

    for (const char* path : {"/empty.asx", "/missing.asx"}) {
        view.Balloons.clear();
        system->Play(PlaylistAdd(u"list", Utf8ToUtf16(server.url(path)), "00:00:00", false, "00"));
        EXPECT_TRUE(WaitFor([&] { return !view.Balloons.empty(); }, 10000)) << path;
        EXPECT_FALSE(SysActive) << path;
        EXPECT_EQ(side->GraphState(), 0) << path;
        EXPECT_EQ(view.Balloons.size(), 1u) << path;
    }
}

TEST_F(DirectShowSideTest, ADvdPlaysThroughItsGraphScript)
{
    Config->DVDGraph = "Kolvarin Codec Pack";
    system->Play(Add(fx::DvdFixture() / "VIDEO_TS" / "VIDEO_TS.IFO"));
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(system->SystemType(), TSystemType::DVD);
    EXPECT_TRUE(side->GraphBuilder().DvdControl);
    EXPECT_EQ(view.ProgressTag, -1) << "no length until the disc reports a time";
    system->Stop(true);
    EXPECT_FALSE(side->GraphBuilder().DvdControl) << "released at the stop";
    EXPECT_EQ(side->GraphState(), 0);
}

// A header that claims 100,000,000 Hz sized a ring of gigabytes from it; it is
// refused before anything is allocated, reported, and the next entry plays.
TEST_F(DirectShowSideTest, AnAbsurdSampleRateIsRefusedAndTheNextEntryPlays)
{
    std::string bytes = ktest::readFile(fx::PcmMkvFixture());
    const size_t at = bytes.find(RateElement(44100));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, RateElement(1e8).size(), RateElement(1e8));
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3; // next until the end
    const int lying = Add(fx::WriteFile("hz1e8.mkv", bytes));
    const int next = Add(fx::Mp4Fixture());
    const long peakBefore = PeakResidentKiB();
    system->Play(lying);
    ASSERT_TRUE(WaitFor([&] { return SysActive && PlaylistPlayingIndex() == next; }, 10000));
    EXPECT_LT(PeakResidentKiB() - peakBefore, 256L * 1024) << "KiB more at the peak";
    ASSERT_EQ(view.Balloons.size(), 1u);
    EXPECT_EQ(view.Balloons[0], "File \"hz1e8.mkv\" could not be played!");
}

TEST_F(DirectShowSideTest, AFileThatDoesNotPlayReportsTheProblemAndLeavesNoGraph)
{
    const auto garbage = fx::WriteFile("damaged.mkv", std::string(4096, '\x5a'));
    system->Play(Add(garbage));
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(side->GraphState(), 0);
    ASSERT_EQ(view.Balloons.size(), 1u);
    EXPECT_NE(view.Balloons[0].find("damaged.mkv"), std::string::npos) << view.Balloons[0];
}

TEST_F(DirectShowSideTest, WithoutTheRealSideEveryStartReportsThatTheEngineCannotStart)
{
    system->SetVideoSide(nullptr);
    system->Play(Add(fx::MkvFixture()));
    EXPECT_FALSE(SysActive);
    ASSERT_EQ(view.Balloons.size(), 1u);
}

TEST_F(DirectShowSideTest, AnInformationFilePlaysTheDiscsMenuThroughTheDvdScript)
{
    system->Play(Add(fx::DvdFixture() / "VIDEO_TS" / "VIDEO_TS.IFO"));
    ASSERT_TRUE(SysActive) << (view.Balloons.empty() ? "" : view.Balloons[0]);
    EXPECT_EQ(system->SystemType(), TSystemType::DVD);
    auto& builder = side->GraphBuilder();
    ASSERT_TRUE(builder.DvdControl);
    ASSERT_TRUE(builder.DvdInfo);
    EXPECT_EQ(side->SeekingCaps(), 0u);
    ASSERT_TRUE(WaitFor(
        [&] {
            media::DVD_DOMAIN domain{};
            builder.DvdInfo->GetCurrentDomain(&domain);
            return domain == media::DVD_DOMAIN_VideoManagerMenu;
        },
        5000));
    uint32_t titles = 0;
    builder.DvdInfo->GetDVDVolumeInfo(nullptr, nullptr, nullptr, &titles);
    EXPECT_EQ(titles, 2u);
    int kinds[4] = {};
    for (const auto& info : system->StreamInfos())
        ++kinds[info.Kind & 3];
    EXPECT_EQ(kinds[1], 1); // the navigator's pins are the graph's streams
    EXPECT_EQ(kinds[2], 1);
    EXPECT_TRUE(view.Balloons.empty());
}

TEST_F(DirectShowSideTest, ADiscWithBrokenInformationFilesReportsTheProblem)
{
    const auto disc = fx::DvdCopy("broken-dvd");
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.IFO", 64);
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.BUP", 64);
    system->Play(Add(disc / "VIDEO_TS" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(side->GraphState(), 0);
    ASSERT_EQ(view.Balloons.size(), 1u);
    EXPECT_NE(view.Balloons[0].find("VIDEO_TS.IFO"), std::string::npos) << view.Balloons[0];
}

// Damaged clips made from good ones, a disc whose information files are
// broken and a graph script whose filters refuse to connect: each plays what
// it can or is reported, its graph is torn down, and the play mode goes on
// to the good clip at the end.
TEST_F(DirectShowSideTest, ThePlayModeGoesOnPastMediaThatCannotPlay)
{
    const std::string mkv = ktest::readFile(fx::MkvFixture());
    std::string holed = ktest::readFile(fx::Mp4Fixture());
    std::fill(holed.begin() + holed.size() * 2 / 5, holed.begin() + holed.size() * 3 / 5, '\x5a');
    const auto disc = fx::DvdCopy("broken-dvd-list");
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.IFO", 64);
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.BUP", 64);
    // The scripts: the shipped one for the clips, and one whose sound goes to the video decoder.
    const auto scripts = dir().path() / "scripts";
    std::filesystem::create_directories(scripts);
    std::filesystem::copy_file(std::filesystem::path(ApplicationPath) / "data/dsgraphs/Kolvarin Codec Pack.kgraph",
                               scripts / "Kolvarin Codec Pack.kgraph");
    std::ofstream(scripts / "Refusing.kgraph") << R"(void Filetypes() { AddFileType(".wmx", "x"); }
void Filter() { AddFilter("Media Splitter"); AddFilter("Video Decoder"); Export("filesource", "Media Splitter"); }
void Connect() { ConnectPins("Media Splitter", "Audio", "Video Decoder", ""); })";
    side->GraphBuilder().ScriptFolder = scripts.string() + "/";
    Config->VideoFilters.push_back({".wmx", "Refusing", false});
    Config->DSGraphFallback = false;
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 3; // next until the end

    Add(fx::WriteFile("cut.mkv", mkv.substr(0, mkv.size() / 2)));
    Add(fx::WriteFile("holed.mp4", holed));
    Add(disc / "VIDEO_TS" / "VIDEO_TS.IFO");
    Add(fx::WriteFile("refused.wmx", mkv));
    const int good = Add(fx::Mp4Fixture());
    system->Play(0);
    ASSERT_TRUE(WaitFor([&] { return SysActive && PlaylistPlayingIndex() == good; }, 30000))
        << "playing " << PlaylistPlayingIndex();
    EXPECT_EQ(side->GraphState(), 3);
    std::string reported;
    for (const auto& balloon : view.Balloons)
        reported += balloon + "\n";
    EXPECT_NE(reported.find("VIDEO_TS.IFO"), std::string::npos) << reported;
    EXPECT_NE(reported.find("refused.wmx"), std::string::npos) << reported;
    EXPECT_TRUE(errors.Texts.empty()) << "no script failed to compile";
    ASSERT_TRUE(WaitFor([] { return !SysActive; }, 10000)) << "the last entry ends";
    EXPECT_EQ(side->GraphState(), 0);
}
