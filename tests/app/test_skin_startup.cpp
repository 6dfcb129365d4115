// The skin steps of start-up and shutdown, in the real program.
#include <csignal>
#include <cstdlib>

#include "core/settings/kconfig.h"
#include "gdi/bmpcodec.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace {

// A description that keeps every default but gives each window a size.
const char* const kSizedDescription = "<KolvarinSkin><Forms>"
                                      "<Main><Form><Size Width=\"4\" Height=\"4\"/></Form></Main>"
                                      "<Playlist><ResizeForm><Size Width=\"4\" Height=\"4\"/></ResizeForm></Playlist>"
                                      "<MediaControls><Form><Size Width=\"4\" Height=\"4\"/></Form></MediaControls>"
                                      "<Video><ResizeForm><Size Width=\"4\" Height=\"4\"/></ResizeForm></Video>"
                                      "</Forms></KolvarinSkin>";

class SkinStartupTest : public ktest::TempHomeTest {
protected:
    std::filesystem::path Log() const { return home() / "kolvarin.log"; }

    void WriteConfig(const std::string& skin) const
    {
        kolvarin::TKConfig config;
        config.SetDefaults();
        config.Logging.EnableTextFile = true;
        config.SplashScreen = false;
        config.Skin = skin;
        config.SaveToFile((home() / "config.xml").string());
    }

    std::vector<std::string> RunUntilShown(std::vector<std::string> args = {})
    {
        ktest::KolvarinProcess program(home(), std::move(args));
        EXPECT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 0);
        return ktest::ReadLogLines(Log());
    }

    std::string SavedSkin() const
    {
        kolvarin::TKConfig config;
        config.LoadFromFile((home() / "config.xml").string());
        return config.Skin;
    }
};

} // namespace

TEST_F(SkinStartupTest, TheBuiltInSkinIsLoadedAppliedAndReleased)
{
    WriteConfig("base[default]");
    EXPECT_TRUE(ktest::InOrder(RunUntilShown(), {
                                                    "KInitialize - Initialize GUI...",
                                                    "KInitialize - Initialize GUI ok",
                                                    "KInitialize - Load default skin...",
                                                    "KInitialize - Load default skin ok",
                                                    "KInitialize - Apply surfaces",
                                                    "KInitialize - Apply video fullscreen control",
                                                    "KInitialize - Leave with result: true",
                                                    "KKill - Release GUI...",
                                                    "KKill - Release GUI ok",
                                                }));
}

TEST_F(SkinStartupTest, ADamagedPackageFallsBackToTheBuiltInSkin)
{
    WriteConfig("broken");
    const std::filesystem::path skins = home() / "data/skins";
    std::filesystem::create_directories(skins);
    dir().write("home/data/skins/broken.kskz", "PK\x03\x04 not a zip archive at all");
    EXPECT_TRUE(ktest::InOrder(RunUntilShown(), {
                                                    "KInitialize - Loading skin \"broken\" from file...",
                                                    "KInitialize - Loading skin \"broken\" from file failed: Error "
                                                    "while loading files!",
                                                    "KInitialize - Load default skin (Fallback)...",
                                                    "KInitialize - Load default skin (Fallback) ok",
                                                    "KInitialize - Apply surfaces",
                                                    "KInitialize - Leave with result: true",
                                                }));
    EXPECT_EQ(SavedSkin(), "base[default]");
}

TEST_F(SkinStartupTest, AMissingSkinFallsBackAndASkinFolderLoads)
{
    WriteConfig("nowhere");
    EXPECT_TRUE(ktest::InOrder(RunUntilShown(), {
                                                    "KInitialize - Loading skin \"nowhere\" from file failed: Files "
                                                    "not found!",
                                                    "KInitialize - Load default skin (Fallback) ok",
                                                }));
    // A folder skin: a bitmap and a description that keeps the defaults.
    std::filesystem::remove(Log());
    WriteConfig("plain");
    dir().write("home/data/skins/plain/skin.xml", kSizedDescription);
    const auto bmp = kolvarin::gdi::EncodeBmp24(kolvarin::gdi::Bitmap(4, 4));
    dir().write("home/data/skins/plain/skin.bmp", std::string(bmp.begin(), bmp.end()));
    EXPECT_TRUE(ktest::InOrder(RunUntilShown(), {"KInitialize - Loading skin \"plain\" from file ok"}));
    EXPECT_EQ(SavedSkin(), "plain");
}

TEST_F(SkinStartupTest, ASkinPackageOnTheCommandLineIsCopiedAndApplied)
{
    WriteConfig("base[default]");
    // A package made by the zip command: a folder skin zipped.
    const std::filesystem::path source = dir().path() / "pkg";
    const auto bmp = kolvarin::gdi::EncodeBmp24(kolvarin::gdi::Bitmap(4, 4));
    dir().write("pkg/skin.bmp", std::string(bmp.begin(), bmp.end()));
    dir().write("pkg/skin.xml", kSizedDescription);
    const std::filesystem::path package = dir().path() / "Night Owl.kskz";
    const std::string command = "cd '" + source.string() + "' && zip -q '" + package.string() + "' skin.bmp skin.xml";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto lines = RunUntilShown({package.string()});
    EXPECT_TRUE(ktest::InOrder(lines, {"KLoadParameter.HandleFilename - Skin file detected.",
                                       "KLoadParameter.HandleFilename - Changing skin \"Night Owl\""}));
    EXPECT_TRUE(std::filesystem::exists(home() / "data/skins/Night Owl.kskz"));
    EXPECT_EQ(SavedSkin(), "Night Owl") << "loaded and kept";
}
