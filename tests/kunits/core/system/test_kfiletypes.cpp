#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/system/kfiletypes.h"
#include "core/system/kpaths.h"
#include "core/system/kprogramicon.h"
#include "core/text/klanguage.h"
#include "temphome.h"

namespace kolvarin {
namespace {

using registry::TRegistry;
constexpr auto HKCR = TRegistry::Root::ClassesRoot;
constexpr auto HKLM = TRegistry::Root::LocalMachine;
const std::string kExe = "/opt/kolvarin/kolvarin";

class FileTypesTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        ktest::TempHomeTest::SetUp();
        SetDefaultLanguage(Language);
        UserPath = home().string() + "/";
        ApplicationPath = "/opt/kolvarin/";
    }
    void TearDown() override
    {
        UserPath.clear();
        ApplicationPath.clear();
        ktest::TempHomeTest::TearDown();
    }
    std::u16string Default(const std::string& key) const { return reg.ReadString(HKCR, key, "").value_or(u"<none>"); }
    bool HasBackup(const std::string& key) const { return reg.ValueExists(HKCR, key, "Kolvarin.Backup"); }
    // The program's icon in the user's hicolor theme: each PNG as large as
    // its folder says, and the scalable SVG; or none of them.
    void ExpectProgramIcons(bool installed) const
    {
        ASSERT_EQ(IconThemeFolder(), (dir().path() / "xdg-data/icons/").string());
        for (const std::string& file : ProgramIconFiles()) {
            const std::string bytes = ktest::readFile(IconThemeFolder() + file);
            EXPECT_EQ(!bytes.empty(), installed) << file;
            if (!installed || file.ends_with(".svg")) {
                EXPECT_TRUE(!installed || bytes.find("<svg") != std::string::npos) << file;
                continue;
            }
            ASSERT_GE(bytes.size(), 24u) << file;
            EXPECT_EQ(bytes.substr(1, 3), "PNG") << file;
            const auto be32 = [&](size_t at) {
                return static_cast<unsigned char>(bytes[at]) << 24 | static_cast<unsigned char>(bytes[at + 1]) << 16 |
                       static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
            };
            const int size = std::stoi(file.substr(file.find('/') + 1));
            EXPECT_EQ(be32(16), size) << file;
            EXPECT_EQ(be32(20), size) << file;
        }
    }

    ktest::TempDir registryDir;
    TRegistry reg{(registryDir.path() / "registry").string()};
};

TEST_F(FileTypesTest, ExtensionRoundTripKeepsTheFirstBackup)
{
    reg.WriteString(HKCR, ".MP3", "", u"mp3file");
    reg.WriteString(HKCR, ".MP3", "Content Type", u"audio/mpeg");
    RegisterExtension(reg, ".MP3", kExe, "/icons/mp3.ico");
    EXPECT_EQ(Default(".MP3"), u"Kolvarin.MP3");
    EXPECT_EQ(reg.ReadString(HKCR, ".MP3", "Kolvarin.Backup"), u"mp3file");
    EXPECT_EQ(Default("Kolvarin.MP3\\DefaultIcon"), u"/icons/mp3.ico,0");
    EXPECT_EQ(Default("Kolvarin.MP3\\shell\\open\\command"), u"\"/opt/kolvarin/kolvarin\" %1");
    EXPECT_EQ(Default("Kolvarin.MP3\\shell\\Play"), u"Play in Kolvarin");
    EXPECT_EQ(Default("Kolvarin.MP3\\shell\\Play\\command"), u"\"/opt/kolvarin/kolvarin\" /play %1");
    EXPECT_EQ(Default("Kolvarin.MP3\\shell\\Add"), u"Add to Kolvarin");
    EXPECT_EQ(Default("Kolvarin.MP3\\shell\\Add\\command"), u"\"/opt/kolvarin/kolvarin\" /add %1");

    RegisterExtension(reg, ".MP3", kExe, "/icons/mp3.ico");
    EXPECT_EQ(reg.ReadString(HKCR, ".MP3", "Kolvarin.Backup"), u"mp3file");

    UnregisterExtension(reg, ".MP3");
    EXPECT_EQ(Default(".MP3"), u"mp3file");
    EXPECT_FALSE(HasBackup(".MP3"));
    EXPECT_EQ(reg.ReadString(HKCR, ".MP3", "Content Type"), u"audio/mpeg");
    EXPECT_FALSE(reg.KeyExists(HKCR, "Kolvarin.MP3"));
}

TEST_F(FileTypesTest, UnregisteringTouchesOnlyWhatRegistrationMade)
{
    // Created by the registration: removed again.
    RegisterExtension(reg, ".OGG", kExe, "i");
    UnregisterExtension(reg, ".OGG");
    EXPECT_FALSE(reg.KeyExists(HKCR, ".OGG"));
    // Never registered: left alone.
    reg.WriteString(HKCR, ".WAV", "", u"wavfile");
    UnregisterExtension(reg, ".WAV");
    EXPECT_EQ(Default(".WAV"), u"wavfile");
    // Taken over by another program since: its choice stays.
    reg.WriteString(HKCR, ".FLAC", "", u"flacfile");
    RegisterExtension(reg, ".FLAC", kExe, "i");
    reg.WriteString(HKCR, ".FLAC", "", u"OtherPlayer.FLAC");
    UnregisterExtension(reg, ".FLAC");
    EXPECT_EQ(Default(".FLAC"), u"OtherPlayer.FLAC");
    EXPECT_FALSE(HasBackup(".FLAC"));
    // An existing key without a default gets no default back.
    reg.WriteString(HKCR, ".AAC", "PerceivedType", u"audio");
    RegisterExtension(reg, ".AAC", kExe, "i");
    UnregisterExtension(reg, ".AAC");
    EXPECT_FALSE(reg.ValueExists(HKCR, ".AAC", ""));
    EXPECT_EQ(reg.ReadString(HKCR, ".AAC", "PerceivedType"), u"audio");
}

TEST_F(FileTypesTest, ContextMenuDvdAndMediaClient)
{
    RegisterApplicationContextMenu(reg, kExe);
    EXPECT_TRUE(IsContextMenuRegistered(reg));
    EXPECT_EQ(Default("Applications\\Kolvarin.exe\\DefaultIcon"), u"/opt/kolvarin/kolvarin,0");
    EXPECT_EQ(Default("Directory\\shell\\Kolvarin.Add\\command"), u"\"/opt/kolvarin/kolvarin\" /add %1");
    UnregisterApplication(reg);
    EXPECT_FALSE(IsContextMenuRegistered(reg));
    EXPECT_TRUE(reg.KeyExists(HKCR, "Directory\\shell\\Kolvarin.Play"));

    reg.WriteString(HKCR, "DVD", "", u"DVD Video");
    RegisterDVD(reg, kExe, "/icons/dvd.ico");
    EXPECT_TRUE(IsDVDContextRegistered(reg));
    EXPECT_EQ(Default("DVD"), u"Kolvarin");
    EXPECT_EQ(Default("DVD\\shell\\Kolvarin.Play"), u"Play DVD with Kolvarin");
    EXPECT_EQ(reg.ReadBinary(HKCR, "Kolvarin.DVDHandler", "EditFlags"), std::string("\x02\0\0\0", 4));
    const std::string handler = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers\\Ko"
                                "lvarinPlayDVDMovieOnArrival";
    EXPECT_EQ(reg.ReadString(HKLM, handler, "Action"), u"Play DVD movie");
    UnregisterDVD(reg);
    EXPECT_FALSE(IsDVDContextRegistered(reg));
    EXPECT_EQ(Default("DVD"), u"DVD Video");
    EXPECT_FALSE(reg.KeyExists(HKLM, handler));
    EXPECT_FALSE(reg.KeyExists(HKCR, "Kolvarin.DVDHandler"));

    RegisterMediaClient(reg, kExe);
    const std::string client = "Software\\Clients\\Media\\Kolvarin Media Player";
    EXPECT_EQ(reg.ReadString(HKLM, client + "\\InstallInfo", "ReinstallCommand"),
              u"\"/opt/kolvarin/kolvarin\" /register");
    EXPECT_EQ(reg.ReadInteger(HKLM, client + "\\InstallInfo", "IconsVisible"), 1);
    EXPECT_TRUE(reg.KeyExists(HKLM, client + "\\shell\\open\\command"));
}

TEST_F(FileTypesTest, AllTypesCoverTheTablesPlaylistsAndSkins)
{
    const auto types = RegisteredFileTypes();
    EXPECT_EQ(types.size(), 19u + 25 + 33 + 2 + 1 + 3 + 1);
    EXPECT_EQ(types.front().Extension, ".WAV");
    EXPECT_EQ(types.back().Extension, ".KSKZ");
    EXPECT_EQ(types.back().IconFile, "kskz.ico");
    RegisterAllFileTypes(reg, kExe);
    EXPECT_EQ(Default(".M3U"), u"Kolvarin.M3U");
    EXPECT_EQ(Default("Kolvarin.KSKZ\\DefaultIcon"), u"/opt/kolvarin/data/icons/kskz.ico,0");
    UnregisterAllFileTypes(reg);
    for (const auto& type : types)
        EXPECT_FALSE(reg.KeyExists(HKCR, type.Extension)) << type.Extension;
}

TEST_F(FileTypesTest, DesktopFileAndDefaultApplicationsRoundTrip)
{
    const auto mimeTypes = RegisteredMimeTypes();
    ASSERT_NE(std::find(mimeTypes.begin(), mimeTypes.end(), "audio/mpeg"), mimeTypes.end());
    ASSERT_NE(std::find(mimeTypes.begin(), mimeTypes.end(), "video/x-matroska"), mimeTypes.end());
    EXPECT_EQ(std::find(mimeTypes.begin(), mimeTypes.end(), "text/vnd.trolltech.linguist"), mimeTypes.end());
    const std::string desktop = (dir().path() / "xdg-data/applications/kolvarin.desktop").string();
    const std::string mimeApps = (dir().path() / "xdg-config/mimeapps.list").string();
    EXPECT_EQ(DesktopFileName(), desktop);
    EXPECT_EQ(MimeAppsFileName(), mimeApps);
    const std::string before = "[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
                               "[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=gedit.desktop\n\n"
                               "[Removed Associations]\n";
    dir().write("xdg-config/mimeapps.list", before);

    RegisterAllFileTypes(reg, "/opt/my player/kolvarin");
    const std::string entry = ktest::readFile(desktop);
    EXPECT_NE(entry.find("Exec=\"/opt/my player/kolvarin\" %F\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=kolvarin\n"), std::string::npos);
    EXPECT_EQ(std::system(("desktop-file-validate '" + desktop + "'").c_str()), 0);
    ExpectProgramIcons(true);
    EXPECT_NE(entry.find("MimeType=audio/x-wav;"), std::string::npos) << entry;
    EXPECT_NE(entry.find(";audio/mpeg;"), std::string::npos);
    EXPECT_NE(entry.find("video/x-matroska;"), std::string::npos);
    EXPECT_EQ(ktest::readFile(mimeApps), before);

    RegisterMediaClient(reg, kExe);
    RegisterMediaClient(reg, kExe); // a second time must not save the player as "what was there"
    const std::string set = ktest::readFile(mimeApps);
    EXPECT_NE(set.find("[Default Applications]\naudio/mpeg=kolvarin.desktop;\ntext/plain=gedit.desktop\n"),
              std::string::npos)
        << set;
    EXPECT_NE(set.find("video/x-matroska=kolvarin.desktop;\n"), std::string::npos);
    EXPECT_NE(set.find("=kolvarin.desktop;\n\n[Removed Associations]"), std::string::npos) << set;
    EXPECT_NE(set.find("[Added Associations]\naudio/mpeg=vlc.desktop;\n"), std::string::npos);

    UnregisterAllFileTypes(reg);
    EXPECT_FALSE(std::filesystem::exists(desktop));
    EXPECT_EQ(ktest::readFile(mimeApps), before);
    ExpectProgramIcons(false);
}

TEST_F(FileTypesTest, UnregisteringWithoutRegisteringLeavesTheDesktopAlone)
{
    const std::string before = "[Default Applications]\naudio/mpeg=vlc.desktop;\n";
    dir().write("xdg-config/mimeapps.list", before);
    UnregisterAllFileTypes(reg);
    EXPECT_EQ(ktest::readFile(dir().path() / "xdg-config/mimeapps.list"), before);
}

} // namespace
} // namespace kolvarin
