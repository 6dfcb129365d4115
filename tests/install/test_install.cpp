// The installed program run from its installation: it finds its shared data
// there, plays from it, and registers itself with its installed .desktop
// file; the shipped files are what the program itself makes of them.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>

#include <QImageReader>

#include "core/settings/kconfig.h"
#include "core/settings/kformatdb.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dvd_fixture.h"
#include "forms/debugmenu.h"
#include "installed.h"
#include "kolvarinprocess.h"
#include "media_fixtures.h"
#include "playback/kequalizer.h"
#include "temphome.h"

namespace {

namespace fs = std::filesystem;
using namespace ktest;

class InstalledProgramTest : public TempHomeTest {};

TEST_F(InstalledProgramTest, PlaysAudioVideoAndADvdWithTheInstalledLanguageSkinAndGraphScripts)
{
    WriteLoggingConfig(home());
    {
        kolvarin::TKConfig config;
        config.SetDefaults();
        config.LoadFromFile((home() / "config.xml").string());
        config.Language = "English";
        config.Skin = "base";
        config.SaveToFile((home() / "config.xml").string());
    }
    const fs::path audio = media::AudioFixture(), clip = media::MkvFixture(), disc = media::DvdFixture();
    KolvarinProcess program(home(), {"/play", audio.string(), "/play", clip.string(), "/dvd", disc.string()},
                            {"SDL_AUDIODRIVER=dummy"}, {}, installed::Program());
    const fs::path log = home() / "kolvarin.log";
    const std::string ifo = (disc / "VIDEO_TS" / "VIDEO_TS.IFO").string();
    ASSERT_TRUE(WaitForLogLine(log, "TKSystem.Play.Play_DVD - Play video \"" + ifo + "\" ok", 90000));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);

    const std::string data = installed::Data().lexically_normal().string();
    EXPECT_TRUE(InOrder(ReadLogLines(log),
                        {
                            "KInitialize - Load language from file \"" + data + "/languages/English.klang\"",
                            "KInitialize - Loading skin \"base\" from file ok",
                            "TKSystem.Play - Play stream ok",
                            "TfrmVideo.PlayVideo - Script file: " + data + "/dsgraphs/Kolvarin Codec Pack.kgraph",
                            "TfrmVideo.PlayVideo - Play script video ok",
                            "TKSystem.Play.Play_DirectX - Play video \"" + clip.string() + "\" ok",
                            "TKSystem.Play.Play_DVD - Play dvd \"" + ifo + "\"...",
                        }));
}

// "/register" and "/setasdefault" from the build tree write the desktop's
// files into the user's folder; an installed program's registration points
// at its installed .desktop file and leaves no copy (a stale one goes, as it
// would hide the installed file).
struct Registration {
    const char* name;
    bool installed;
};

void PrintTo(const Registration& registration, std::ostream* out) { *out << registration.name; }

class RegistrationTest : public TempHomeTest, public ::testing::WithParamInterface<Registration> {};

TEST_P(RegistrationTest, TheDefaultApplicationIsTheProgramsOwnDesktopFile)
{
    const fs::path desktop = home() / ".local/share/applications/kolvarin.desktop";
    const fs::path icon = home() / ".local/share/icons/hicolor/48x48/apps/kolvarin.png";
    fs::create_directories(desktop.parent_path());
    std::ofstream(desktop) << "[Desktop Entry]\nType=Application\nName=Kolvarin\nExec=/gone/kolvarin %F\n";
    KolvarinProcess program(home(), {"/register", "/setasdefault", "/exit"}, {}, {},
                            GetParam().installed ? installed::Program() : fs::path());
    ASSERT_EQ(program.Wait(), 0);

    const std::string mimeapps = readFile(home() / ".config/mimeapps.list");
    EXPECT_NE(mimeapps.find("audio/flac=kolvarin.desktop;"), std::string::npos) << mimeapps;
    EXPECT_NE(mimeapps.find("video/x-matroska=kolvarin.desktop;"), std::string::npos) << mimeapps;
    if (GetParam().installed) {
        EXPECT_FALSE(fs::exists(desktop));
        EXPECT_FALSE(fs::exists(icon));
    } else {
        EXPECT_EQ(readFile(desktop).find("/gone/"), std::string::npos) << "the copy is the build's program";
        EXPECT_TRUE(fs::exists(icon));
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, RegistrationTest,
                         ::testing::Values(Registration{"BuildTree", false}, Registration{"Installed", true}),
                         [](const auto& test) { return std::string(test.param.name); });

class ShippedFilesTest : public TempHomeTest {};

TEST_F(ShippedFilesTest, TheInstalledProgramFindsTheInstalledDataFolder)
{
    EXPECT_EQ(fs::path(kolvarin::DetectApplicationPath(installed::Program().parent_path().string() + "/")),
              (installed::Share() / "kolvarin/").lexically_normal());
}

TEST_F(ShippedFilesTest, TheLanguageFileHoldsEveryBuiltInText)
{
    kolvarin::TKLanguage texts;
    texts.Texts.fill(u"not loaded");
    kolvarin::LoadLanguageFile(texts, (installed::Data() / "languages/English.klang").string());
    for (int i = 0; i < kolvarin::kLanguageTextCount; ++i)
        EXPECT_EQ(texts.Texts[static_cast<size_t>(i)], kolvarin::BuiltinLanguageText(i)) << i;
}

TEST_F(ShippedFilesTest, TheFormatDatabasesNameTheCodecs)
{
    const struct {
        const char* file;
        uint32_t code;
        const char* name;
    } cases[] = {
        {"db/audioformats.xml", 0x0055, "MPEG1 Layer-3"},
        {"db/audioformats.xml", 0x0001, "PCM"},
        {"db/videoformats.xml", kolvarin::FourCCOf("XVID"), "XviD"},
        {"db/videoformats.xml", kolvarin::FourCCOf("H264"), "H.264"},
    };
    for (const auto& c : cases) {
        kolvarin::TKFormatDatabase db;
        ASSERT_TRUE(db.LoadFromFile((installed::Data() / c.file).string())) << c.file;
        const kolvarin::TKFormatDBEntry* entry = db.Find(c.code);
        ASSERT_NE(entry, nullptr) << c.file << " " << c.name;
        EXPECT_EQ(entry->Description.substr(0, std::string(c.name).size()), c.name);
    }
}

TEST_F(ShippedFilesTest, EveryFileTypeHasAnIconOfThreeSizes)
{
    kolvarin::CheckIcons(installed::Share().string() + "/kolvarin/", home().string() + "/");
    EXPECT_EQ(readFile(home() / "iconswofehlen.txt"), "") << "icons missing";
    for (const char* name : {"mp3.ico", "dvd.ico", "kskz.ico"}) {
        QImageReader reader(QString::fromStdString((installed::Data() / "icons" / name).string()), "ico");
        ASSERT_EQ(reader.imageCount(), 3) << name;
        std::set<int> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            ASSERT_TRUE(reader.jumpToImage(i));
            const QImage image = reader.read();
            ASSERT_FALSE(image.isNull()) << name << " " << i;
            sizes.insert(image.width());
            // The page is opaque in its middle, the corners beside it clear.
            EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << name;
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name;
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 32, 48})) << name;
    }
}

TEST_F(ShippedFilesTest, ThePresetsAreFlatAndTheUsualCurves)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(installed::Data() / "presets")) {
        kolvarin::TEqualizerValues values;
        values.Band.fill(0);
        ASSERT_TRUE(kolvarin::LoadEqualizerPreset(kolvarin::Utf8ToUtf16(entry.path().string()), values));
        const std::string name = entry.path().stem().string();
        names.insert(name);
        const bool flat = values.Band == kolvarin::TEqualizerValues().Band;
        EXPECT_EQ(flat, name == "Flat") << name;
        for (int value : values.Band) {
            EXPECT_GE(value, 0) << name;
            EXPECT_LE(value, kolvarin::EqualizerMaxValue) << name;
        }
    }
    for (const char* usual : {"Flat", "Rock", "Pop", "Jazz", "Classical", "Dance", "Full Bass", "Vocal"})
        EXPECT_TRUE(names.count(usual)) << usual;
}

// The metainfo's screenshots are the README's pictures, by file name.
TEST_F(ShippedFilesTest, TheMetainfoShowsTheReadmesScreenshots)
{
    const std::string metainfo = readFile(installed::Share() / "metainfo/org.kolvarin.Kolvarin.metainfo.xml");
    const std::string readme = readFile(KOLVARIN_README);
    std::set<std::string> shown, pictured;
    for (size_t at = 0; (at = metainfo.find("<image>", at)) != std::string::npos; ++at) {
        const size_t end = metainfo.find("</image>", at);
        const std::string url = metainfo.substr(at + 7, end - at - 7);
        shown.insert(url.substr(url.rfind('/') + 1));
    }
    for (size_t at = 0; (at = readme.find("](docs/screenshots/", at)) != std::string::npos; ++at)
        pictured.insert(readme.substr(at + 19, readme.find(')', at) - at - 19));
    EXPECT_FALSE(pictured.empty());
    EXPECT_EQ(shown, pictured);
}

TEST_F(ShippedFilesTest, TheManualPageNamesEveryOption)
{
    const fs::path page = installed::Root() / KOLVARIN_INSTALLED_MANDIR / "man1/kolvarin.1.gz";
    ASSERT_TRUE(fs::exists(page));
    std::string text;
    if (FILE* gzip = ::popen(("gzip -dc '" + page.string() + "'").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, gzip)) > 0;)
            text.append(buffer, n);
        ASSERT_EQ(::pclose(gzip), 0);
    }
    for (uint8_t option = 1; option < kolvarin::optCount; ++option) {
        const std::string name = kolvarin::TKCmdParameterHandler::OptionText(option);
        const bool listed = text.find("\n.B " + name + "\n") != std::string::npos ||
                            text.find("\n.BI " + name + " ") != std::string::npos;
        EXPECT_TRUE(listed) << name;
    }
}

} // namespace
