#include <string>

#include <gtest/gtest.h>

#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "temphome.h"

namespace kolvarin {
namespace {

using S = TLanguageSection;

std::u16string Missing(int number, const char16_t* section)
{
    return u"[Language tag \"" + Utf8ToUtf16(std::to_string(number)) + u"\" from section \"" + section +
           u"\" is missing]";
}

class LanguageFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetDefaultLanguage(texts); }
    // Loads a file made of the given sections under the right root.
    void Load(const std::string& sections, const std::string& root = "KolvarinLanguageFile")
    {
        const auto file = dir.write("lang.klang", "<" + root + " Version=\"2.0.0.0\">" + sections + "</" + root + ">");
        LoadLanguageFile(texts, file.string());
    }
    ktest::TempDir dir;
    TKLanguage texts;
};

TEST(LanguageTexts, SectionsCoverTheRecordOnceInFileOrder)
{
    std::vector<int> owner(kLanguageTextCount, -1);
    int section = 0;
    for (const TLanguageSectionInfo& info : LanguageSections()) {
        for (int k = 0; k < info.Count; ++k) {
            ASSERT_EQ(owner[static_cast<size_t>(info.Position + k)], -1) << info.Name;
            owner[static_cast<size_t>(info.Position + k)] = section;
        }
        ++section;
    }
    for (int i = 0; i < kLanguageTextCount; ++i)
        EXPECT_NE(owner[static_cast<size_t>(i)], -1) << i;
    EXPECT_STREQ(LanguageSections().back().Name, "ConfigurationLang");
    EXPECT_EQ(LanguageSection(S::ConfigurationLang).Position, 210);
}

TEST(LanguageTexts, BuiltinEnglishTexts)
{
    TKLanguage texts;
    SetDefaultLanguage(texts);
    struct Case {
        S section;
        int number;
        std::u16string text;
    } cases[] = {
        {S::Status, 1, u"Choose directory"},
        {S::Status, 7, u"[ Volume %3.1f %s ]"},
        {S::Status, 22,
         u"Would you really like to move all selected files to your recyclebin ?\r\n(Warning: If you "
         u"delete more data that can be stored in the recyclebin, you can lost data!)"},
        {S::Status, 48, u"Do you really want to reset all filters ?"},
        {S::MainTellafriend, 1, u"Kolvarin Mediaplayer recommend"},
        {S::MainTellafriend, 10, u""},
        {S::ConfigurationPlaylist, 20, u"OnDrag && Drop"},
        {S::ConfigurationAcceptFileExt, 3, u"Reset"},
        {S::ConfigurationLang, 1, u"Languages"},
        {S::ConfigurationSkin, 1, u"Color Blend"},
        {S::ShortCuts, 42, u"Set digitalzoom to  125%"},
        {S::ShortCuts, 55, u"Change monitor output"},
        {S::NotifiyStatus, 9, u"Audio stream: %s, %d channels, %2.f kbits, %.3f khz"},
        {S::NotifiyStatus, 10, u"Subtitle stream: %s, %s - %s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts.Text(c.section, c.number), c.text) << LanguageSection(c.section).Name << " " << c.number;
    EXPECT_EQ(texts.Text(S::Status, 0), u"");
    EXPECT_EQ(texts.Text(S::Status, 49), u"");
    EXPECT_EQ(texts.Texts[480], u"Subtitle stream: %s, %s - %s");
}

TEST(LanguageTexts, SameArgumentsIgnoresWidthAndFlags)
{
    EXPECT_TRUE(SameFormatArguments(u"[ Volume %3.1f %s ]", u"[ Lautst\u00E4rke %.2f %s ]"));
    EXPECT_TRUE(SameFormatArguments(u"125%", u"125 %"));
    EXPECT_TRUE(SameFormatArguments(u"Chapter %d", u"Kapitel %3d (100%%)"));
    EXPECT_FALSE(SameFormatArguments(u"[ Volume %3.1f %s ]", u"[ Volume %s %3.1f ]"));
    EXPECT_FALSE(SameFormatArguments(u"Title %d", u"Titel %s"));
    EXPECT_FALSE(SameFormatArguments(u"Ready", u"Bereit %s"));
    EXPECT_FALSE(SameFormatArguments(u"Skin: %s", u"Skin"));
    EXPECT_FALSE(SameFormatArguments(u"%d", u"%-%d")) << "no conversion: \"%-%\" then a plain d";
    EXPECT_FALSE(SameFormatArguments(u"%f", u"%1.2.3f"));
}

TEST_F(LanguageFileTest, SavedDefaultsReadBackWhole)
{
    const std::string file = (dir.path() / "english.klang").string();
    SaveLanguageFile(texts, file);
    const std::string bytes = ktest::readFile(file);
    EXPECT_EQ(bytes.rfind("<KolvarinLanguageFile Version=", 0), 0u);
    EXPECT_NE(bytes.find("<Lang id=\"055\">\r\n      <![CDATA[Change monitor output]]>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<Lang id=\"010\">\r\n      <![CDATA[]]>\r\n"), std::string::npos);
    EXPECT_LT(bytes.find("<NotifiyStatus>"), bytes.find("<ConfigurationLang>"));

    TKLanguage read;
    read.Texts.fill(u"junk");
    LoadLanguageFile(read, file);
    EXPECT_EQ(read.Texts, texts.Texts);
}

TEST_F(LanguageFileTest, TextsOutsideTheCodePageAndCDataEndsSurvive)
{
    texts.Texts[3] = u"Bereit \u00E4\u00F6\u00FC \u20AC";
    texts.Texts[4] = u"a ]]> b";
    const std::string file = (dir.path() / "de.klang").string();
    SaveLanguageFile(texts, file);
    TKLanguage read;
    SetDefaultLanguage(read);
    LoadLanguageFile(read, file);
    EXPECT_EQ(read.Texts[3], texts.Texts[3]);
    EXPECT_EQ(read.Texts[4], texts.Texts[4]);
}

TEST_F(LanguageFileTest, OneTextOfASectionMarksTheOthersMissing)
{
    Load("<Status><Lang id=\"004\"><![CDATA[Bereit]]></Lang></Status>");
    EXPECT_EQ(texts.Text(S::Status, 4), u"Bereit");
    EXPECT_EQ(texts.Text(S::Status, 1), Missing(1, u"Status"));
    EXPECT_EQ(texts.Text(S::Status, 48), Missing(48, u"Status"));
    EXPECT_EQ(texts.Text(S::MainPopupMenu, 1), u"About Kolvarin");
}

TEST_F(LanguageFileTest, IdsAndChildren)
{
    Load("<MainPopupMenu_Help>"
         "<Lang id=\"1\"><![CDATA[one]]></Lang>"
         "<Lang id=\"02\"><![CDATA[two]]></Lang>"
         "<Lang id=\"+3\"><![CDATA[x]]></Lang><Lang id=\"3a\"><![CDATA[x]]></Lang><Lang><![CDATA[x]]></Lang>"
         "<Lang id=\"0\"><![CDATA[x]]></Lang><Lang id=\"7\"><![CDATA[x]]></Lang>"
         "<Lang id=\"4\"><![CDATA[a]]><![CDATA[b]]></Lang>"
         "<Lang id=\"3\"></Lang>"
         "<Other id=\"006\"> plain text </Other>"
         "<Lang id=\"005\"><![CDATA[\n\t first \r\n second \t]]></Lang>"
         "</MainPopupMenu_Help>"
         "<NoSuchSection><Lang id=\"1\"><![CDATA[x]]></Lang></NoSuchSection>");
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 1), u"one");
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 2), u"two");
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 3), Missing(3, u"MainPopupMenu_Help"));
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 4), Missing(4, u"MainPopupMenu_Help"));
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 5), u"first \r\n second");
    EXPECT_EQ(texts.Text(S::MainPopupMenu_Help, 6), u"plain text");
}

TEST_F(LanguageFileTest, TranslationWithOtherConversionsKeepsTheBuiltinText)
{
    Load("<Status>"
         "<Lang id=\"7\"><![CDATA[[ Lautst\xE4rke %s %3.1f ]]]></Lang>"
         "<Lang id=\"9\"><![CDATA[[ Tempo %3d %s ]]]></Lang>"
         "<Lang id=\"4\"><![CDATA[Bereit %s]]></Lang>"
         "<Lang id=\"17\"><![CDATA[Kapitel %d, Titel %n]]></Lang>"
         "</Status>");
    EXPECT_EQ(texts.Text(S::Status, 7), u"[ Volume %3.1f %s ]");
    EXPECT_EQ(texts.Text(S::Status, 9), u"[ Tempo %3d %s ]");
    EXPECT_EQ(texts.Text(S::Status, 4), u"Ready");
    EXPECT_EQ(texts.Text(S::Status, 17), u"Chapter %d, title %d");
    EXPECT_EQ(texts.Format(S::Status, 7, 42.5, u"%"), u"[ Volume 42.5 % ]");
}

TEST_F(LanguageFileTest, DamagedFilesChangeNothing)
{
    Load("<Status><Lang id=\"4\"><![CDATA[x]]></Lang></Status>", "OtherRoot");
    const auto broken = dir.write("broken.klang", "<KolvarinLanguageFile><Status><Lang id=\"4\"");
    LoadLanguageFile(texts, broken.string());
    LoadLanguageFile(texts, (dir.path() / "absent.klang").string());
    TKLanguage english;
    SetDefaultLanguage(english);
    EXPECT_EQ(texts.Texts, english.Texts);
}

TEST_F(LanguageFileTest, OversizedIdThrows)
{
    EXPECT_THROW(Load("<Status><Lang id=\"99999999999\"><![CDATA[x]]></Lang></Status>"), std::runtime_error);
}

} // namespace
} // namespace kolvarin
