#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "configfixture.h"
#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"
#include "dialogs/configskininfo.h"
#include "zipwriter.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace {

std::string xmlDescription(const std::string& name)
{
    return "<?xml version=\"1.0\"?><KolvarinSkin><Author><FullSkinName Value=\"" + name +
           "\"/><Name Name=\"Ada\"/><Web URL=\"https://example.org/\"/><Email Address=\"ada@example.org\"/>"
           "</Author></KolvarinSkin>";
}

std::string ksknDescription(const std::string& name)
{
    return "l1\r\nl2\r\nl3\r\nl4\r\nl5\r\nName=" + name +
           "\r\nl7\r\nAuth=Bob\r\nl9\r\nWeb =https://b.example/\r\nl11\r\nMail=bob@b.example\r\n";
}

using SkinPageTest = ktest::ConfigPageTest;

TEST_F(SkinPageTest, ListsEachSkinOnceFromBothFolders)
{
    package(UserPath + "data/skins/mine.kskz", {{"m.xml", xmlDescription("Mine")}});
    package(ApplicationPath + "data/skins/theirs.kskz", {{"t.xml", xmlDescription("Theirs")}});
    fs::create_directories(ApplicationPath + "data/skins/mine");
    fs::create_directories(ApplicationPath + "data/skins/folderskin");
    EXPECT_EQ(ListSkinNames(), (std::vector<std::string>{"base[default]", "mine", "theirs", "folderskin"}));
}

TEST_F(SkinPageTest, PreviewReadsTheDescriptionOfPackagesAndFolders)
{
    TZipHandler zip;
    package(UserPath + "data/skins/both.kskz",
            {{"a/skin.kskn", ksknDescription("K")}, {"a/skin.xml", xmlDescription("X")}});
    package(ApplicationPath + "data/skins/old.kskz", {{"skin.kskn", ksknDescription("Old one")}});
    package(ApplicationPath + "data/skins/escape.kskz", {{"../../escape.xml", xmlDescription("Out")}});
    package(ApplicationPath + "data/skins/broken.kskz", {{"skin.xml", "<KolvarinSkin><Author"}});
    fs::create_directories(ApplicationPath + "data/skins/folder");
    std::ofstream(ApplicationPath + "data/skins/folder/f.kskn") << ksknDescription("Folder");
    std::ofstream(ApplicationPath + "data/skins/damaged.kskz") << "PK\x03\x04 not an archive";

    // A package in the user's folder is previewed too, its XML before its .kskn.
    EXPECT_EQ(ReadSkinInfo("both", zip),
              (std::vector<std::u16string>{u"X", u"Ada", u"https://example.org/", u"ada@example.org"}));
    EXPECT_EQ(ReadSkinInfo("old", zip),
              (std::vector<std::u16string>{u"Old one", u"by Bob", u"https://b.example/", u"bob@b.example"}));
    EXPECT_EQ(ReadSkinInfo("folder", zip)[0], u"Folder");
    EXPECT_TRUE(ReadSkinInfo("escape", zip).empty());
    EXPECT_FALSE(fs::exists(dir().path() / "escape.xml"));
    EXPECT_FALSE(fs::exists(UserPath + "escape.xml"));
    EXPECT_EQ(ReadSkinInfo("broken", zip), (std::vector<std::u16string>{u"Skin corrupted."}));
    EXPECT_EQ(ReadSkinInfo("damaged", zip), (std::vector<std::u16string>{u"Skin corrupted."}));
    EXPECT_TRUE(ReadSkinInfo("../skins/old", zip).empty());
    // Every temporary folder is gone.
    EXPECT_TRUE(fs::is_empty(UserPath + "data/temp"));
}

TEST_F(SkinPageTest, ChoosingASkinAppliesItOnApply)
{
    package(ApplicationPath + "data/skins/night.kskz", {{"n.xml", xmlDescription("Night")}});
    std::vector<std::string> applied;
    open();
    form_->Hooks.ApplySkin = [&applied](const std::string& name) {
        applied.push_back(name);
        return name == "night" ? std::string("base[default]") : name; // night fails to load
    };
    form_->ShowPage(TConfigPage::Skins);
    EXPECT_EQ(items("lbSkins"), (QStringList{QStringLiteral("base[default]"), QStringLiteral("night")}));
    pick("lbSkins", QStringLiteral("night"));
    EXPECT_TRUE(form_->findChild<QPlainTextEdit*>(QStringLiteral("memoSkinInfo"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("Night\nAda")));
    EXPECT_TRUE(form_->btnApply()->isEnabled());
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(applied, (std::vector<std::string>{"night"}));
    EXPECT_EQ(config_.Skin, "base[default]"); // the fall-back is what is stored
    EXPECT_EQ(form_->findChild<QLabel*>(QStringLiteral("lblLastSkin"))->text(), QStringLiteral("Skin: base[default]"));
}

TEST_F(SkinPageTest, ColourBlendReappliesTheCurrentSkin)
{
    config_.Skin = "base[default]";
    std::vector<std::string> applied;
    open();
    form_->Hooks.ApplySkin = [&applied](const std::string& name) {
        applied.push_back(name + " " + std::to_string(Config->SkinColorBlend.Strength));
        return name;
    };
    form_->ShowPage(TConfigPage::Skins);
    form_->findChild<QSlider*>(QStringLiteral("tbSkinCBAlpha"))->setValue(96);
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(applied, (std::vector<std::string>{"base[default] 96"}));
}

TEST_F(SkinPageTest, LanguagesSwitchAndDamagedFilesAreRefused)
{
    TKLanguage german;
    SetDefaultLanguage(german);
    german.Texts[132] = u"Allgemein";
    SaveLanguageFile(german, ApplicationPath + "data/languages/deutsch.klang");
    std::ofstream(ApplicationPath + "data/languages/broken.klang") << "<KolvarinLanguageFile><Status";
    int applied = 0;
    open();
    form_->Hooks.ApplyLanguage = [&applied] { ++applied; };
    form_->ShowPage(TConfigPage::Languages);
    EXPECT_EQ(items("lbLanguages"),
              (QStringList{QStringLiteral("english[default]"), QStringLiteral("broken"), QStringLiteral("deutsch")}));

    pick("lbLanguages", QStringLiteral("broken"));
    EXPECT_FALSE(form_->Apply());
    EXPECT_TRUE(form_->ErrorText().contains(QStringLiteral("damaged")));
    EXPECT_EQ(config_.Language, "english[default]");
    EXPECT_EQ(applied, 0);

    pick("lbLanguages", QStringLiteral("deutsch"));
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(config_.Language, "deutsch");
    EXPECT_EQ(Language.Texts[132], u"Allgemein");
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(form_->tvConfigNodes()->topLevelItem(0)->text(0), QStringLiteral("Allgemein"));

    form_->ShowPage(TConfigPage::Languages);
    pick("lbLanguages", QStringLiteral("english[default]"));
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(config_.Language, "english");
    EXPECT_EQ(Language.Texts[132], u"General");
}

} // namespace
