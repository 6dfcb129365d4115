#include <clocale>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "base/bounds.h"
#include "core/settings/kconfig.h"
#include "temphome.h"

namespace kolvarin {
namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override { config.SetDefaults(); }

    // Loads a config.xml whose root holds Body.
    void load(const std::string& body)
    {
        config.LoadFromFile(
            dir.write("config.xml", "<?xml version=\"1.0\"?>\r\n<KolvarinConfigFile Version=\"1.0.0.0\">" + body +
                                        "</KolvarinConfigFile>")
                .string());
    }
    std::string path(const char* name) const { return (dir.path() / name).string(); }

    ktest::TempDir dir;
    TKConfig config;
};

TEST_F(ConfigFileTest, DefaultsOfTheSettingsObject)
{
    TKConfig fresh;
    EXPECT_EQ(fresh.Volume, 0) << "creation sets no defaults";
    LastPlayedIndex = 7;
    fresh.SetDefaults();
    EXPECT_EQ(LastPlayedIndex, -1);
    EXPECT_EQ(fresh.Skin, "base[default]");
    EXPECT_EQ(fresh.Language, "english[default]");
    EXPECT_EQ(fresh.Volume, 5000);
    EXPECT_EQ(fresh.Balance, 100);
    EXPECT_EQ(fresh.Spectrum.Type, 1);
    EXPECT_EQ(fresh.Fader.Count, 1000);
    EXPECT_EQ(fresh.PlaylistPos.X, 300);
    EXPECT_EQ(fresh.MediaControlsPos.Y, 100);
    EXPECT_EQ(fresh.PlayMode.Mode, 3);
    EXPECT_EQ(fresh.ShowKolvarinIn, 2);
    EXPECT_EQ(fresh.OSD.Font.Name, "Tahoma");
    EXPECT_EQ(fresh.OSD.Font.Color, RGBColor(0, 255, 0));
    EXPECT_EQ(fresh.SkinColorBlend.Color, RGBColor(255, 255, 0));
    EXPECT_EQ(fresh.BassDevice, 1);
    EXPECT_FLOAT_EQ(fresh.Ratio.User.X, 1.0f);
    EXPECT_EQ(fresh.DVDGraph, "Kolvarin Codec Pack");
    EXPECT_EQ(fresh.VideoFSForceDisplay, -1);
    EXPECT_FALSE(fresh.AcceptAllFiles);
    EXPECT_FALSE(fresh.Logging.EnableTextFile);
    EXPECT_TRUE(fresh.Notifications.ShowMediaInfoBalloon);
    for (int band : fresh.Equalizer)
        EXPECT_EQ(band, 12);
    EXPECT_TRUE(fresh.VideoFilters.empty()) << "the tables are filled by their own routines";
}

TEST_F(ConfigFileTest, EmptyRootKeepsEveryDefault)
{
    TKConfig defaults;
    defaults.SetDefaults();
    defaults.SaveToFile(path("defaults.xml"));
    load("");
    config.SaveToFile(path("loaded.xml"));
    EXPECT_EQ(ktest::readFile(path("loaded.xml")), ktest::readFile(path("defaults.xml")));
    EXPECT_EQ(LastPlayedIndex, -1);
}

// Every non-default value survives a save and a load.
TEST_F(ConfigFileTest, RoundTripOfNonDefaultValues)
{
    config.Skin = "dark";
    config.Language = "deutsch";
    config.Volume = -3;
    config.LastDir = u"/home/\u00e9l\u00e8ve/\u266b";
    config.Spectrum.Type = 0;
    config.Spectrum.PeaksFallOff = -7;
    config.TimeMode = 1;
    config.Fader.Count = 2500;
    config.MainPos = {-40, 1200};
    config.PlayMode.Mode = 4;
    config.OSD.Position = 8;
    config.OSD.Font = {"DejaVu Sans", 18, RGBColor(1, 2, 3)};
    config.SBTextAlign = 3;
    config.Equalizer[0] = 0;
    config.Equalizer[9] = 24;
    config.Ratio.Mode = 7;
    config.Ratio.User.X = 1.33f;
    config.Ratio.User.Y = 0.5f;
    config.SkinColorBlend = {RGBColor(10, 20, 30), 200};
    config.LSAS.FormatMask = "%ARTIST% - %TITLE%";
    config.LSAS.OutputPath = "/tmp/rec";
    config.VidDefault.Subtitle = "en";
    config.VideoFSForceDisplay = -1;
    config.LatestNews = "42";
    config.NewsServer = {"news.example.org", 8443, "/n/current.xml"};
    config.AcceptAllFiles = true;
    config.AudioPlaybackPriority.UseMulticore = !config.AudioPlaybackPriority.UseMulticore;
    config.Logging.EnableTextFile = true;
    config.SplashScreen = false;
    LastPlayedIndex = 17;
    config.SaveToFile(path("config.xml"));
    const std::string first = ktest::readFile(path("config.xml"));

    TKConfig loaded;
    loaded.SetDefaults();
    loaded.LoadFromFile(path("config.xml"));
    EXPECT_EQ(LastPlayedIndex, 17);
    EXPECT_EQ(loaded.LastDir, config.LastDir);
    EXPECT_EQ(loaded.OSD.Font.Color, RGBColor(1, 2, 3));
    EXPECT_FLOAT_EQ(loaded.Ratio.User.X, 1.33f);
    EXPECT_EQ(loaded.Equalizer[9], 24);
    EXPECT_EQ(loaded.NewsServer.Host, "news.example.org");
    EXPECT_EQ(loaded.NewsServer.Port, 8443);
    EXPECT_EQ(loaded.NewsServer.Path, "/n/current.xml");
    loaded.SaveToFile(path("again.xml"));
    EXPECT_EQ(ktest::readFile(path("again.xml")), first);
}

TEST_F(ConfigFileTest, WrittenForm)
{
    config.SaveToFile(path("config.xml"));
    const std::string text = ktest::readFile(path("config.xml"));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                         "<!--This file is automatic created by Kolvarin-->\r\n"
                         "<!--Do not edit by hand !-->\r\n"
                         "<KolvarinConfigFile",
                         0),
              0u);
    for (const char* line :
         {"  <Skin Name=\"base[default]\" />\r\n",
          "  <Spectrum Show=\"true\" Type=\"Bars\" Blur=\"true\" ShowPeaks=\"true\" PeaksFallOff=\"1\" "
          "LinesFallOff=\"3\" />\r\n",
          "  <OSD Position=\"TopLeft\" Enabled=\"true\">\r\n    <Font Name=\"Tahoma\" Size=\"12\" "
          "Color=\"0,255,0\" />\r\n  </OSD>\r\n",
          "  <LastPlayed Index=\"-1\" Remember=\"true\" />\r\n  <SBTextAlign Align=\"Left\" />\r\n"
          "  <Equalizer>\r\n    <Band id=\"0\" Value=\"12\" />\r\n",
          "    <Band id=\"9\" Value=\"12\" />\r\n  </Equalizer>\r\n  <Ratio Mode=\"Letterbox\">\r\n"
          "    <User X=\"1\" Y=\"1\" />\r\n  </Ratio>\r\n",
          "  <VideoFSForceDisplay MonitorIndex=\"-1\" />\r\n",
          "  <SplashScreen Show=\"true\" />\r\n</KolvarinConfigFile>\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("AutoRecord"), std::string::npos);
}

// An element that is present but lacks an attribute takes the reader's own
// value, which for some keys differs from the default.
TEST_F(ConfigFileTest, MissingAttributeTable)
{
    load("<Skin/><Volume/><Balance/><PlayMode Enabled=\"true\"/><TryURLTime/><ShowKolvarinIn/><AutoLiveUpdate/>"
         "<BassDevice/><LSAS/><DVDGraph/><AcceptAllFiles/><VideoFSForceDisplay/><Notifications/><Logging/>"
         "<LastDir/><Spectrum/><OSD/><Ratio/><Equalizer><Band/><Band id=\"3\"/></Equalizer>");
    EXPECT_EQ(config.Skin, "");
    EXPECT_EQ(config.Volume, 0);
    EXPECT_EQ(config.Balance, 0);
    EXPECT_EQ(config.PlayMode.Mode, 0);
    EXPECT_EQ(config.TryURLTime, 500);
    EXPECT_EQ(config.ShowKolvarinIn, 0);
    EXPECT_TRUE(config.AutoLiveUpdate);
    EXPECT_EQ(config.BassDevice, 0);
    EXPECT_FALSE(config.LSAS.AutoChangeTitle);
    EXPECT_EQ(config.LSAS.FormatMask, "%TITLE%");
    EXPECT_EQ(config.DVDGraph, "");
    EXPECT_TRUE(config.AcceptAllFiles);
    EXPECT_EQ(config.VideoFSForceDisplay, 1);
    EXPECT_FALSE(config.Notifications.ShowMediaInfoBalloon);
    EXPECT_TRUE(config.Notifications.ShowBalloonOnProblems);
    EXPECT_TRUE(config.Logging.EnableTextFile);
    EXPECT_EQ(config.LastDir, u"");
    EXPECT_EQ(config.Spectrum.Type, 1);
    EXPECT_EQ(config.Spectrum.LinesFallOff, 3);
    EXPECT_EQ(config.Equalizer[3], 12);
    // A child that is absent keeps its values.
    EXPECT_EQ(config.OSD.Font.Name, "Tahoma");
    EXPECT_FLOAT_EQ(config.Ratio.User.Y, 1.0f);
    EXPECT_TRUE(config.AudioPlaybackPriority.Priority == 2);
}

TEST_F(ConfigFileTest, ValueForms)
{
    struct Case {
        std::string body;
        std::function<bool(const TKConfig&)> check;
    } cases[] = {
        {"<Ratio Mode=\"5:4\"/>", [](const TKConfig& c) { return c.Ratio.Mode == 4; }},
        {"<Ratio Mode=\"2.35:1\"/>", [](const TKConfig& c) { return c.Ratio.Mode == 7; }},
        {"<Ratio Mode=\"userdef\"/>", [](const TKConfig& c) { return c.Ratio.Mode == 0; }},
        {"<Spectrum Type=\"lines\"/>", [](const TKConfig& c) { return c.Spectrum.Type == 1; }},
        {"<OSD Position=\"BottomRight\"/>", [](const TKConfig& c) { return c.OSD.Position == 8; }},
        {"<MainVis Value=\"TRUE\"/>", [](const TKConfig& c) { return c.MainVis; }},
        {"<AutoFullscreen Value=\"1\"/>", [](const TKConfig& c) { return c.AutoFullscreen; }},
        {"<MainVis Value=\"yes\"/>", [](const TKConfig& c) { return !c.MainVis; }},
        {"<Skin Name=\"" + std::string(70, 'k') + "\"/>",
         [](const TKConfig& c) { return c.Skin == std::string(60, 'k'); }},
        {"<VideoFSForceDisplay MonitorIndex=\"-1\"/>", [](const TKConfig& c) { return c.VideoFSForceDisplay == -1; }},
        {"<OSD><Font Color=\"300,-1,7\"/></OSD>",
         [](const TKConfig& c) { return c.OSD.Font.Color == RGBColor(44, 255, 7); }},
        {"<OSD><Font Color=\"red\"/></OSD>", [](const TKConfig& c) { return c.OSD.Font.Color == RGBColor(0, 255, 0); }},
        {"<Ratio><User X=\"1,5\" Y=\"0.25\"/></Ratio>",
         [](const TKConfig& c) { return c.Ratio.User.X == 1.5f && c.Ratio.User.Y == 0.25f; }},
        {"<Equalizer><Band id=\"10\" Value=\"0\"/><Band id=\"-1\" Value=\"0\"/><Band id=\"2\" Value=\"99\"/>"
         "<Band id=\"4\" Value=\"-5\"/></Equalizer>",
         [](const TKConfig& c) { return c.Equalizer[0] == 12 && c.Equalizer[2] == 24 && c.Equalizer[4] == 0; }},
        {"<Volume Value=\"1\"/><Volume Value=\"2\"/>", [](const TKConfig& c) { return c.Volume == 2; }},
        {"<volume Value=\"1\"/><Unknown Value=\"1\"/><!-- note -->",
         [](const TKConfig& c) { return c.Volume == 5000; }},
        {"<LastPlayed Index=\"12\"/>", [](const TKConfig&) { return LastPlayedIndex == 12; }},
    };
    for (const auto& c : cases) {
        config.SetDefaults();
        load(c.body);
        EXPECT_TRUE(c.check(config)) << c.body;
    }
}

TEST_F(ConfigFileTest, BadNumberFailsTheLoad)
{
    for (const char* body : {"<Volume Value=\"loud\"/>", "<Volume Value=\"99999999999\"/>", "<Volume Value=\"\"/>",
                             "<Ratio><User X=\"wide\"/></Ratio>", "<Ratio><User X=\"nan\"/></Ratio>",
                             "<Equalizer><Band id=\"x\"/></Equalizer>"})
        EXPECT_THROW(load(body), std::runtime_error) << body;
}

TEST_F(ConfigFileTest, UnreadableDocumentChangesNothingAndSaysWhy)
{
    using enum TKConfigLoadStatus;
    config.Volume = 77;
    const struct {
        const char* bytes;
        TKConfigLoadStatus status;
    } cases[] = {
        {"", NoRoot},
        {"<KolvarinConfigFile><Volume Value=\"1\"", NotParsed},
        {"<KolvarinConfigFile><Volume Value=\"1\"/>", NotParsed},
        {"<Other><Volume Value=\"1\"/></Other>", NoRoot},
        {"\x01\xff garbage", NoRoot},
    };
    for (const auto& c : cases) {
        const TKConfigLoadResult result = config.LoadFromFile(dir.write("config.xml", c.bytes).string());
        EXPECT_EQ(result.Status, c.status) << c.bytes;
        EXPECT_FALSE(result.Text.empty()) << c.bytes;
        EXPECT_EQ(config.Volume, 77) << c.bytes;
    }
    EXPECT_EQ(config.LoadFromFile(path("missing.xml")).Status, Unreadable);
    EXPECT_EQ(config.Volume, 77);
    EXPECT_TRUE(config.LoadFromFile(dir.write("config.xml", "<KolvarinConfigFile/>").string()));
}

TEST_F(ConfigFileTest, WindowSizesPositionsAndTheOsdFontAreBoundedWhereTheyAreRead)
{
    load("<PlaylistSize Width=\"8193\" Height=\"-5\"/><MainPos X=\"2147483647\" Y=\"-2147483648\"/>"
         "<PlaylistPos X=\"2147483647\" Y=\"12\"/><MediaControlsPos X=\"-99999999\" Y=\"99999999\"/>"
         "<OSD><Font Size=\"-2147483648\"/></OSD>");
    EXPECT_EQ(config.PlaylistSize.Width, kMaxExtent);
    EXPECT_EQ(config.PlaylistSize.Height, 0);
    EXPECT_EQ(config.MainPos.X, kMaxPosition);
    EXPECT_EQ(config.MainPos.Y, -kMaxPosition);
    EXPECT_EQ(config.PlaylistPos.X, kMaxPosition);
    EXPECT_EQ(config.PlaylistPos.Y, 12);
    EXPECT_EQ(config.MediaControlsPos.X, -kMaxPosition);
    EXPECT_EQ(config.MediaControlsPos.Y, kMaxPosition);
    EXPECT_EQ(config.OSD.Font.Size, -kMaxFontSize);
}

TEST_F(ConfigFileTest, FloatsUseAPointWhateverTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_TRUE(ktest::SetTestLocale(LC_NUMERIC, "de_DE.UTF-8"));
    config.Ratio.User.X = 1.5f;
    config.SaveToFile(path("config.xml"));
    TKConfig loaded;
    loaded.LoadFromFile(path("config.xml"));
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_NE(ktest::readFile(path("config.xml")).find("X=\"1.5\""), std::string::npos);
    EXPECT_FLOAT_EQ(loaded.Ratio.User.X, 1.5f);
}

TEST_F(ConfigFileTest, MulticoreDefaultFollowsTheProcessor)
{
    // The core count is read at the time of the defaults, not taken from a
    // value the start-up may not have set yet.
    config.SetDefaults();
    const bool several = std::thread::hardware_concurrency() > 1;
    EXPECT_EQ(config.AudioPlaybackPriority.UseMulticore, several);
}

} // namespace
} // namespace kolvarin
