// A DVD through the play system: its information file plays the menu by the
// DVD graph script, the navigator's interfaces reach the graph builder, and a
// disc whose information files are broken reports the problem and leaves
// no graph.
#include <chrono>
#include <filesystem>
#include <functional>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "dvd_fixture.h"
#include "media/dvdif.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "temphome.h"
#include "video/graphbuilder.h"
#include "video/kdirectshowside.h"

using namespace kolvarin;
using namespace kolvarin::video;
namespace fx = ktest::media;

namespace {

class BalloonView : public TKPlayerView {
public:
    void ShowBalloon(const std::u16string&, const std::u16string& text, int, bool) override
    {
        Balloons.push_back(Utf16ToUtf8(text));
    }
    std::vector<std::string> Balloons;
};

class DvdPlaybackTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        std::filesystem::create_directories(home());
        UserPath = home().string() + "/";
        Config = new TKConfig();
        Config->SetDefaults();
        TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
        Config->Notifications.ShowMsgBoxOnProblems = false;
        Config->Notifications.ShowBalloonOnProblems = true;
        Config->PlayMode.Enabled = false;
        Playlist = new TKPlaylist();
        PlaylistItemIndex = -1;
        ResetProcessFlags();
        AppInitialized = true;
        system = std::make_unique<TKSystem>();
        system->SetView(&view);
        system->SetVideoSide(&side);
    }
    void TearDown() override
    {
        system->Stop(true);
        system.reset();
        delete Playlist;
        Playlist = nullptr;
        delete Config;
        Config = nullptr;
        ResetProcessFlags();
        TempHomeTest::TearDown();
    }
    int add(const std::filesystem::path& file)
    {
        return PlaylistAdd(u"dvd", fx::FileName(file), "00:00:00", false, "00");
    }
    static bool waitFor(const std::function<bool()>& done, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    BalloonView view;
    TKDirectShowSide side;
    std::unique_ptr<TKSystem> system;
};

} // namespace

TEST_F(DvdPlaybackTest, AnInformationFilePlaysTheDiscsMenuThroughTheDvdScript)
{
    system->Play(add(fx::DvdFixture() / "VIDEO_TS" / "VIDEO_TS.IFO"));
    ASSERT_TRUE(SysActive) << (view.Balloons.empty() ? "" : view.Balloons[0]);
    EXPECT_EQ(system->SystemType(), TSystemType::DVD);
    auto& builder = side.GraphBuilder();
    ASSERT_TRUE(builder.DvdControl);
    ASSERT_TRUE(builder.DvdInfo);
    EXPECT_EQ(side.SeekingCaps(), 0u);
    ASSERT_TRUE(waitFor(
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

TEST_F(DvdPlaybackTest, ADiscWithBrokenInformationFilesReportsTheProblem)
{
    const auto disc = fx::DvdCopy("broken-dvd");
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.IFO", 64);
    std::filesystem::resize_file(disc / "VIDEO_TS" / "VIDEO_TS.BUP", 64);
    system->Play(add(disc / "VIDEO_TS" / "VIDEO_TS.IFO"));
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(side.GraphState(), 0);
    ASSERT_EQ(view.Balloons.size(), 1u);
    EXPECT_NE(view.Balloons[0].find("VIDEO_TS.IFO"), std::string::npos) << view.Balloons[0];
}
