// The language, hot keys, hook, templates and format databases in a real run,
// and the registrations of the command line.
#include <csignal>
#include <string>

#include "kolvarinprocess.h"
#include "registry/registry.h"
#include "temphome.h"

namespace {

class LangStartupTest : public ktest::TempHomeTest {
protected:
    std::filesystem::path Log() const { return home() / "kolvarin.log"; }
};

// Two hot keys: Ctrl+Shift+P (global, action 5) and a reserved byte to keep.
const std::string kHotKeys("\x02\0\0\0"
                           "\x50\0\x05\x05\x01\0"
                           "\x20\0\0\x04\0\x07",
                           16);

TEST_F(LangStartupTest, LoadsAndSavesItsFilesInOrder)
{
    ktest::WriteLoggingConfig(home());
    dir().write("home/hotkeys.kkeys", kHotKeys);
    dir().write("home/data/templates/mediainfo_osd.txt", "osd");
    {
        ktest::KolvarinProcess program(home());
        ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 0);
    }
    const std::string user = home().string() + "/";
    EXPECT_TRUE(ktest::InOrder(
        ktest::ReadLogLines(Log()),
        {
            "KInitialize - Set default language",
            "KInitialize - Apply language to objects",
            "KInitialize - Create hotkeys class",
            "KInitialize - Load hotkeys from file \"" + user + "hotkeys.kkeys\"",
            "KInitialize - Activate hook...",
            "KInitialize - Activate hook ok",
            "KInitialize - Create template loader classes",
            "KInitialize - Load media info balloon template from file \"" + user +
                "data/templates/mediainfo_balloon.txt\" failed!",
            "KInitialize - Set default media info balloon template.",
            "KInitialize - Load media info osd template from file \"" + user + "data/templates/mediainfo_osd.txt\" ok",
            "KInitialize - Create format database classes",
            "KInitialize - Leave with result: true",
            "KKill - Release format databases ok",
            "KKill - Release template databases ok",
            "KKill - Release history ok",
            "KKill - Deactivate hook ok",
            "KKill - Save hotkeys to file \"" + user + "hotkeys.kkeys\" ok",
            "KKill - Release hotkeys class ok",
            "KKill - Release config class ok",
        }));
    EXPECT_EQ(ktest::readFile(home() / "hotkeys.kkeys"), kHotKeys);
}

TEST_F(LangStartupTest, RegisterAndUnregisterFromTheCommandLine)
{
    // The program runs with HOME at the user folder and no XDG variables.
    const auto desktop = home() / ".local/share/applications/kolvarin.desktop";
    const auto mimeApps = home() / ".config/mimeapps.list";
    {
        ktest::KolvarinProcess program(home(), {"/register", "/setasdefault", "/exit"});
        EXPECT_EQ(program.Wait(), 0);
    }
    EXPECT_TRUE(std::filesystem::exists(desktop));
    const auto HKCR = kolvarin::registry::TRegistry::Root::ClassesRoot;
    EXPECT_EQ(kolvarin::registry::TRegistry((home() / "registry").string()).ReadString(HKCR, ".MP3", ""),
              u"Kolvarin.MP3");
    EXPECT_NE(ktest::readFile(mimeApps).find("audio/mpeg=kolvarin.desktop;"), std::string::npos);
    {
        ktest::KolvarinProcess program(home(), {"/unregister", "/exit"});
        EXPECT_EQ(program.Wait(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(desktop));
    EXPECT_FALSE(kolvarin::registry::TRegistry((home() / "registry").string()).KeyExists(HKCR, ".MP3"));
    EXPECT_EQ(ktest::readFile(mimeApps).find("kolvarin"), std::string::npos);
}

} // namespace
