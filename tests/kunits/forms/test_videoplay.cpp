// The video window as the video side's host: a clip played by the play
// system shows in the window, fills its stream, filter and monitor menus,
// and a stop hides it again; the built graph and its events reach the trace
// log, the sound the analyser, and the picture a screenshot.
#include <algorithm>
#include <array>
#include <filesystem>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "forms/appstates.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videoshots.h"
#include "media/controlif.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "skin/kgui.h"
#include "tracefile.h"
#include "video/kdirectshowside.h"
#include "videoplay_fixture.h"

using namespace kolvarin;
namespace fx = ktest::media;

namespace {

class VideoPlayTest : public ktest::VideoPlayFixture {
protected:
    void SetUp() override
    {
        VideoPlayFixture::SetUp();
        form = &StartSystem(std::make_unique<TfrmVideo>());
        PlaySystem = system.get();
        VideoDisplayMode = vdmNone;
    }
    void Play(const std::filesystem::path& clip)
    {
        system->Play(Add(clip));
        QCoreApplication::processEvents();
    }
    static std::vector<std::u16string> Captions(const QMenu& menu)
    {
        std::vector<std::u16string> captions;
        for (QAction* a : MenuItems(menu))
            captions.push_back(a->text().toStdU16String());
        return captions;
    }

    TfrmVideo* form = nullptr;
};

// The same with the program's graph scripts and their table, which put the
// subtitle filter in.
class VideoScriptPlayTest : public VideoPlayTest {
protected:
    void SetUp() override
    {
        UseSourceScripts();
        VideoPlayTest::SetUp();
        Config->SetDefaultFilters();
    }
};

} // namespace

TEST_F(VideoPlayTest, APlayedClipShowsInTheWindowWithItsMenus)
{
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(VideoDisplayMode, vdmWindow);
    EXPECT_TRUE(form->Menu.Windowmode1->isChecked());
    EXPECT_EQ(side->Display().parentWidget(), form->pnlVideo);

    const std::vector<std::u16string> audio{u"English - Main", u"German - Kommentar"};
    EXPECT_EQ(Captions(*form->Menu.Audio1), audio);
    EXPECT_TRUE(MenuItems(*form->Menu.Audio1)[0]->isChecked()) << "no language set: the first is chosen";
    EXPECT_EQ(MenuItems(*form->Menu.Filter1).size() > 2, true);
    EXPECT_EQ(MenuItems(*form->Menu.MonitorOutput1).size(), size_t(QGuiApplication::screens().size()));
    EXPECT_FALSE(form->Menu.Showmenu1->menuAction()->isVisible());
    EXPECT_TRUE(form->Menu.Next1->isVisible());

    // The German track: the splitter switches to its stream.
    MenuItems(*form->Menu.Audio1)[1]->trigger();
    EXPECT_TRUE(MenuItems(*form->Menu.Audio1)[1]->isChecked());
    EXPECT_FALSE(MenuItems(*form->Menu.Audio1)[0]->isChecked());

    ASSERT_TRUE(WaitFor(
        [&] {
            int64_t position = 0;
            return side->Position(position) && position > 3000000;
        },
        3000));
    const QImage shown = media::GrabVideoWindow(side->Display().GetFilter().get());
    EXPECT_FALSE(shown.isNull());

    // A double click on the video toggles full screen and back.
    QTest::mouseDClick(&side->Display(), Qt::LeftButton, {}, side->Display().rect().center());
    EXPECT_EQ(VideoDisplayMode, vdmFullscreen);
    EXPECT_TRUE(side->Display().FullScreen());
    QTest::mouseDClick(&side->Display(), Qt::LeftButton, {}, side->Display().rect().center());
    EXPECT_EQ(VideoDisplayMode, vdmWindow);

    system->Stop(true);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(VideoDisplayMode, vdmNone);
}

TEST_F(VideoPlayTest, APlayingVideoKeepsTheScreenSaverAwayInAnyModeWhileTheSettingAsks)
{
    struct Recording : TKScreensaver {
        std::optional<uint32_t> Inhibit() override
        {
            ++inhibits;
            return 7u;
        }
        void UnInhibit(uint32_t cookie) override { released.push_back(cookie); }
        int inhibits = 0;
        std::vector<uint32_t> released;
    } screensaver;
    form->SetScreensaver(screensaver);
    auto held = [&](bool on) { return WaitFor([&] { return form->ScreensaverInhibited() == on; }, 2000); };
    Config->NoScreensaver = false;
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    QTest::qWait(200);
    EXPECT_EQ(screensaver.inhibits, 0) << "the setting is off";
    Config->NoScreensaver = true;
    EXPECT_TRUE(held(true)) << "in window mode";
    system->Pause();
    EXPECT_TRUE(held(false)) << "paused";
    system->Pause();
    EXPECT_TRUE(held(true)) << "playing again";
    form->Fullscreen1Click();
    form->Windowmode1Click();
    QTest::qWait(200);
    EXPECT_EQ(screensaver.inhibits, 2) << "the mode changes nothing";
    system->Stop(true);
    EXPECT_FALSE(form->ScreensaverInhibited());
    EXPECT_EQ(screensaver.released, (std::vector<uint32_t>{7u, 7u}));
}

TEST_F(VideoPlayTest, TheOnScreenTextIsAsManyPointsHighAsTheWindowHeightGives)
{
    Config->OSD.Font.Size = 20;
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    form->resize(400, 400);
    QCoreApplication::processEvents();
    OSDText = u"Timejump 00:00:01";
    OSDShown = true;
    form->PaintOSD();
    const QWidget* osd = form->findChild<QWidget*>(QStringLiteral("OSD"));
    ASSERT_NE(osd, nullptr);
    ASSERT_TRUE(osd->isVisible());
    // The window's client height div (50 - 20) points, at 96 pixels per inch.
    const int points = form->height() / 30;
    EXPECT_EQ(osd->font().pixelSize(), (points * 96 + 36) / 72);
    system->Stop(true);
}

TEST_F(VideoScriptPlayTest, TheMenusFollowPauseAndOfferEachSubtitleStreamOnce)
{
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(Captions(*form->Menu.Subtitles1), (std::vector<std::u16string>{u"Off", u"English"}))
        << "the splitter's stream and the filter's language it feeds are one choice";
    struct Step {
        bool paused;
        bool pauseOffered, playOffered;
    };
    for (const Step step : {Step{true, false, true}, Step{false, true, false}}) {
        system->Pause();
        ASSERT_EQ(SysPaused, step.paused);
        EXPECT_EQ(form->Menu.Pause1->isEnabled(), step.pauseOffered) << step.paused;
        EXPECT_EQ(form->Menu.Play1->isEnabled(), step.playOffered) << step.paused;
    }
    system->Stop(true);
}

TEST_F(VideoPlayTest, AnAnamorphicClipShowsInItsOwnShape)
{
    Play(fx::AnamorphicFixture());
    ASSERT_TRUE(SysActive);
    ASSERT_EQ(form->GetVideoSize(), QSize(fx::kWidth, fx::kHeight));
    int32_t left = 0, top = 0, width = 0, height = 1;
    side->Display().GetFilter().as<media::IVideoWindow>()->GetWindowPosition(&left, &top, &width, &height);
    EXPECT_NEAR(double(width) / height, 16.0 / 9, 0.02) << "letter box fits the picture as it is meant to show";
    system->Stop(true);
}

TEST_F(VideoPlayTest, APlayedClipsMediaInformationNamesItsVideoAudioAndSubtitleStreams)
{
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    const std::vector<TKStreamInfo>& infos = system->StreamInfos();
    ASSERT_EQ(infos.size(), 3u);
    EXPECT_TRUE(infos[0].Valid && infos[1].Valid);
    EXPECT_EQ(infos[2].Kind, 3);
    const QStringList lines =
        QString::fromStdU16String(BuildStreamInfoText(infos)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"Video stream: ") && lines[0].endsWith(u", 160x120 24 bits"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(u"Audio stream: ") && lines[1].endsWith(u" khz")) << lines[1].toStdString();
    // The subtitle shows when a filter took it, else its decoder is reported missing.
    EXPECT_TRUE(lines[2].startsWith(infos[2].Valid ? u"Subtitle stream: " : u"No subtitle decoder for format '"))
        << lines[2].toStdString();
}

TEST_F(VideoPlayTest, ATimeJumpMovesTheVideoByTheInterval)
{
    Config->JumpInterval = 1000;
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    ASSERT_TRUE(system->Seekable());
    // No main window here to give the bar the clip's length.
    TKSSeekBar& seek = GUI.Main.ProgressSeekBar;
    (seek.Visible ? seek.Max : GUI.Main.ProgressBar.Max) = 20000000;
    int64_t& value = seek.Visible ? seek.Value : GUI.Main.ProgressBar.Value;
    value = 0;
    SeekForward();
    EXPECT_EQ(value, 10000000) << "one second in the video side's 100 ns units";
    EXPECT_TRUE(WaitFor(
        [&] {
            int64_t position = 0;
            return side->Position(position) && position >= 10000000;
        },
        3000));
    // The step is whole seconds, halves to even.
    (seek.Visible ? seek.Max : GUI.Main.ProgressBar.Max) = 100000000;
    for (const auto& [interval, seconds] : {std::pair{1600, 2}, {2500, 2}, {3500, 4}, {400, 0}}) {
        Config->JumpInterval = interval;
        value = 0;
        SeekForward();
        EXPECT_EQ(value, seconds * int64_t{10000000}) << interval;
    }
    system->Stop(true);
}

TEST_F(VideoPlayTest, APlayedClipsGraphEventsSoundAndPictureReachTheLogTheAnalyserAndAScreenshot)
{
    const ktest::TraceFile trace(dir().path() / "trace.log");
    Config->QxDSPFilterActive = true;
    form->AttachDSP(&side->DSPFilter());
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);

    std::array<float, 512> values{};
    ASSERT_TRUE(WaitFor(
        [&] { return system->GetSpectrumData(values) && *std::max_element(values.begin(), values.end()) > 0; }, 5000))
        << "the clip's tone in the main window's analyser";

    // A screenshot leaves a paused clip paused and a playing one playing.
    auto shot = [](const char* counter) {
        return std::filesystem::exists(UserPath + "data/images/" + fx::MkvFixture().filename().string() + "." +
                                       counter + ".bmp");
    };
    system->Pause();
    form->Menu.Angepasst1->trigger();
    EXPECT_TRUE(shot("001"));
    EXPECT_TRUE(SysPaused);
    system->Pause();
    form->Menu.Original1->trigger();
    EXPECT_TRUE(shot("002"));
    EXPECT_FALSE(SysPaused);

    ASSERT_TRUE(WaitFor([] { return !SysActive; }, 5000));
    const std::string text = trace.Text();
    EXPECT_NE(text.find("TfrmVideo.WriteFilterGraphToLog - Find not connected filters ok, got: "), std::string::npos);
    for (const char* line :
         {"-- Video width: 160", "-- Video height: 120", "-- Audio streams (2)", "-- Audio [1]: German - Kommentar"})
        EXPECT_NE(text.find(std::string("TKSystem.PrepareVideo - ") + line + "\r\n"), std::string::npos) << line;
    // The source is named by its file; its video chain runs through the decoder.
    const size_t chain = text.find("TfrmVideo.WriteFilterGraphToLog - " + fx::MkvFixture().string() + " [Video, ");
    ASSERT_NE(chain, std::string::npos);
    EXPECT_NE(text.substr(chain, text.find('\r', chain) - chain).find("] Video Decoder [Out, "), std::string::npos);
    EXPECT_NE(text.find("TfrmVideo.FilterGraphDSEvent - Graph Event: EC_COMPLETE - All data from a particular stream "
                        "has been rendered."),
              std::string::npos);
}

TEST_F(VideoPlayTest, WithDebuggingOnAVideoRunWritesTheGraphLogAndEveryStepOfItsStartToTheTrace)
{
    const ktest::TraceFile trace(dir().path() / "trace.log");
    Config->DebugEnabled = true;
    SetApplicationState("PROGRAMMSTART");
    Play(fx::MkvFixture());
    ASSERT_TRUE(SysActive);
    system->Stop(true);
    const std::string graphLog = ktest::readFile(UserPath + "dxlog.txt");
    EXPECT_NE(graphLog.find("Run\r\n"), std::string::npos) << graphLog;

    // A file no graph can be built for fails through the steps of a failed start.
    const std::filesystem::path broken = dir().write("broken.avi", "no video at all");
    Play(broken);
    ASSERT_FALSE(SysActive);

    const std::string text = trace.Text();
    const std::string clip = "\"" + fx::MkvFixture().string() + "\"";
    const std::pair<const char*, std::string> steps[] = {
        {"TKSystem.Play.Play_DirectX", "Enter with IsStream=\"false\""},
        {"TKSystem.Play", "Save scrolllabel"},
        {"TKSystem.Play", "Change to wait status"},
        {"TKSystem.Play.Play_DirectX", "Initialize video engine..."},
        {"TKSystem.Play.InitVideoEngine", "Clear filtergraph..."},
        {"TKSystem.Play.InitVideoEngine", "Set filtergraph edit"},
        {"TKSystem.Play.InitVideoEngine", "Set filtergraph normal mode"},
        {"TKSystem.Play.InitVideoEngine", "Deactivate filtergraph..."},
        {"TKSystem.Play.InitVideoEngine", "Activate filtergraph..."},
        {"TKSystem.Play.InitVideoEngine", "Clear filtergraph volume"},
        {"TKSystem.Play.InitVideoEngine", "Initialize video engine ok"},
        {"TKSystem.Play.Play_DirectX", "Initialize video DSP"},
        {"TKSystem.Play.Play_DirectX", "Initialize video equalizer"},
        {"TKSystem.Play.Play_DirectX", "Refresh media filter graph types..."},
        {"TKSystem.Play.Play_DirectX", "Play video " + clip + "..."},
        {"TKSystem.Play.Play_DirectX", "Play video " + clip + " ok"},
        {"TKSystem.Play.Play_DirectX", "Prepare video with index \"0\"..."},
        {"TKSystem.PrepareVideo", "Enter with DVD \"false\", Index=\"0\""},
        {"TKSystem.PrepareVideo", "Check system type..."},
        {"TKSystem.PrepareVideo", "Query video interfaces..."},
        {"TKSystem.PrepareVideo", "Clear audio streams in menuitem"},
        {"TKSystem.PrepareVideo", "Clear subtitle streams in menuitem"},
        {"TKSystem.PrepareVideo", "Clear jump to in menuitem"},
        {"TKSystem.PrepareVideo", "Clear monitor output menuitem"},
        {"TKSystem.PrepareVideo", "Get directshow media properties..."},
        {"TKSystem.PrepareVideo", "Set video color control..."},
        {"TKSystem.PrepareVideo", "Disable video menu"},
        {"TKSystem.PrepareVideo", "Disable audio menu"},
        {"TKSystem.PrepareVideo", "Disable audio livestream menu"},
        {"TKSystem.PrepareVideo", "Check if video is present..."},
        {"TKSystem.PrepareVideo", "Show video window..."},
        {"TKSystem.PrepareVideo", "Set window zoom..."},
        {"TKSystem.PrepareVideo", "Media mode, assign menu image"},
        {"TKSystem.PrepareVideo", "Enable video menu"},
        {"TKSystem.PrepareVideo", "Refresh output monitors..."},
        {"TKSystem.PrepareVideo", "Set video menu..."},
        {"TKSystem.PrepareVideo", "Videomode is none"},
        {"TKSystem.PrepareVideo", "-- Autofullscreen inactive"},
        {"TKSystem.PrepareVideo", "Disable digital zoom..."},
        {"TKSystem.PrepareVideo", "Set video menu states..."},
        {"TKSystem.PrepareVideo", "-- Video enabled"},
        {"TKSystem.PrepareVideo", "Get filters from graph..."},
        {"TKSystem.PrepareVideo", "Get video size"},
        {"TKSystem.GetVideoSize", "Leave with result width=\"160\", height=\"120\""},
        {"TKSystem.PrepareVideo", "-- Video width: 160"},
        {"TKSystem.PrepareVideo", "-- Video height: 120"},
        {"TKSystem.PrepareVideo", "-- Audio streams (2)"},
        {"TKSystem.PrepareVideo", "-- Audio [0]: English - Main"},
        {"TKSystem.PrepareVideo", "-- Subtitle streams:"},
        {"TKSystem.PrepareVideo", "Set video defaults..."},
        {"TKSystem.PrepareVideo", "Leave"},
        {"TKSystem.Play.Play_DirectX", "Get duration from media seeking..."},
        {"TKSystem.Play.Play_DirectX", "Play filtergraph..."},
        {"TKSystem.Play.Play_DirectX", "Activate play system"},
        {"TKSystem.Play.Play_DirectX", "Video window to the foreground"},
        {"TKSystem.Play.Play_DirectX", "Calculate video ratio"},
        {"TKSystem.Play.Play_DirectX", "Leave"},
        {"TKSystem.Play.Play_DirectX", "Play video \"" + broken.string() + "\" failed!"},
        {"TKSystem.Play.Play_DirectX", "Change to ready status"},
        {"TKSystem.Play", "Change to ready icon"},
        {"TKSystem.Play", "Restore scrolllabel"},
        {"TKSystem.Play.Play_DirectX", "Show media problems 1001"},
        {"TKSystem.Play.Play_DirectX", "Stop full..."},
        {"TKSystem.Play.Play_DirectX", "Exiting"},
    };
    for (const auto& [proc, line] : steps)
        EXPECT_NE(text.find(std::string(proc) + " - " + line + "\r\n"), std::string::npos) << proc << " - " << line;
    EXPECT_NE(text.find("TKSystem.Play.Play_DirectX - -- Video length: "), std::string::npos);
    EXPECT_EQ(system->StreamError().Code, 1001);
    EXPECT_EQ(system->StreamError().Text, "Could not play video!");
}
