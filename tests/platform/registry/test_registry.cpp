#include "registry/registry.h"

#include "temphome.h"

using kolvarin::registry::TRegistry;
constexpr auto HKCU = TRegistry::Root::CurrentUser;
constexpr auto HKCR = TRegistry::Root::ClassesRoot;

TEST(Registry, ValuesSurviveAFlushAndKeysIgnoreLetterCase)
{
    ktest::TempDir dir;
    const std::string file = (dir.path() / "registry").string();
    {
        TRegistry registry(file);
        registry.WriteInteger(HKCU, "Software\\Kolvarin", "FirstStart", 1);
        registry.WriteString(HKCU, "Software\\Kolvarin", "InstallerLanguage", u"deutsch \u00e4\n\t ");
        registry.WriteBinary(HKCR, ".mp3", "Bytes", std::string("\0\xff\n", 3));
        ASSERT_TRUE(registry.Flush());
    }
    TRegistry registry(file);
    EXPECT_EQ(registry.ReadInteger(HKCU, "software\\KOLVARIN", "firststart"), 1);
    EXPECT_EQ(registry.ReadString(HKCU, "Software\\Kolvarin\\", "InstallerLanguage"), u"deutsch \u00e4\n\t ");
    EXPECT_EQ(registry.ReadBinary(HKCR, ".MP3", "Bytes"), std::string("\0\xff\n", 3));
    EXPECT_FALSE(registry.ReadInteger(HKCU, "Software\\Kolvarin", "InstallerLanguage")) << "wrong type";
    EXPECT_TRUE(registry.KeyExists(HKCU, "Software")) << "parents exist with their children";
    EXPECT_EQ(registry.GetKeyNames(HKCU, "software"), std::vector<std::string>{"Kolvarin"});
}

TEST(Registry, DefaultValuesAndEmptyStringsSurviveAFlush)
{
    ktest::TempDir dir;
    const std::string file = (dir.path() / "registry").string();
    {
        TRegistry registry(file);
        registry.WriteString(HKCR, ".mp3", "", u"Kolvarin.MP3");
        registry.WriteString(HKCR, ".mp3", "Kolvarin.Backup", u"");
        registry.WriteBinary(HKCR, ".mp3", "Nothing", "");
        ASSERT_TRUE(registry.Flush());
    }
    TRegistry registry(file);
    EXPECT_EQ(registry.ReadString(HKCR, ".MP3", ""), u"Kolvarin.MP3");
    EXPECT_EQ(registry.ReadString(HKCR, ".MP3", "Kolvarin.Backup"), u"");
    EXPECT_EQ(registry.ReadBinary(HKCR, ".MP3", "Nothing"), "");
}

TEST(Registry, DeletingAKeyTakesItsSubkeys)
{
    ktest::TempDir dir;
    TRegistry registry((dir.path() / "registry").string());
    registry.WriteString(HKCR, "Kolvarin.mp3\\shell\\open\\command", "", u"kolvarin \"%1\"");
    registry.WriteString(HKCR, "Kolvarin.mp3x", "", u"other");
    EXPECT_TRUE(registry.DeleteKey(HKCR, "Kolvarin.mp3"));
    EXPECT_FALSE(registry.KeyExists(HKCR, "Kolvarin.mp3\\shell\\open\\command"));
    EXPECT_TRUE(registry.KeyExists(HKCR, "Kolvarin.mp3x"));
    EXPECT_FALSE(registry.DeleteKey(HKCR, "Kolvarin.mp3"));
}

TEST(Registry, DamagedFileGivesAnEmptyStore)
{
    ktest::TempDir dir;
    for (const std::string& bytes : {std::string("garbage"), std::string("KOLVARIN-REGISTRY 1\nK zz\n"),
                                     std::string("KOLVARIN-REGISTRY 1\nI 41 31\n")}) {
        auto file = dir.write("registry", bytes);
        TRegistry registry(file.string());
        EXPECT_TRUE(registry.GetKeyNames(HKCU, "").empty());
        EXPECT_FALSE(registry.ValueExists(HKCU, "", "A"));
    }
}
