// The language texts put into the windows, and a switch of language file.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "forms/applylanguage.h"
#include "forms/searchform.h"
#include "mainformfixture.h"

using namespace kolvarin;

namespace ktest {
namespace {

class LanguageTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        SetDefaultLanguage(Language);
    }
    void TearDown() override
    {
        SetDefaultLanguage(Language);
        MainFormTest::TearDown();
    }

    // A language file with two texts changed.
    std::string fileWith(const std::string& name, const std::u16string& about, const std::u16string& keyword)
    {
        TKLanguage texts;
        SetDefaultLanguage(texts);
        texts.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::MainPopupMenu).Position)] = about;
        texts.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::PlaylistSearch).Position) + 1] = keyword;
        const std::string path = (home() / (name + ".klang")).string();
        SaveLanguageFile(texts, path);
        return path;
    }

    TfrmSearch search;
};

TEST_F(LanguageTest, SwitchingTheLanguageFileChangesTheWindowsTexts)
{
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QStringLiteral("About Kolvarin"));
    EXPECT_EQ(main->Helpcenter1->title(), QStringLiteral("Help center"));
    EXPECT_EQ(main->PlaymodeItems[3]->text(), QStringLiteral("Jump to next until end"));
    EXPECT_EQ(main->imgPlayButton->toolTip(), QStringLiteral("Play"));
    EXPECT_EQ(search.Label1->text(), QStringLiteral("Keyword"));

    LoadLanguageFile(Language, fileWith("deutsch", u"\u00dcber Kolvarin", u"Suchbegriff"));
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QString::fromUtf8("\u00dcber Kolvarin"));
    EXPECT_EQ(search.Label1->text(), QStringLiteral("Suchbegriff"));

    SetDefaultLanguage(Language);
    LoadLanguageFile(Language, fileWith("francais", u"\u00c0 propos", u"Mot-cl\u00e9"));
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QString::fromUtf8("\u00c0 propos"));
    EXPECT_EQ(search.Label1->text(), QString::fromUtf8("Mot-cl\u00e9"));
}

TEST_F(LanguageTest, TextsKeepCharactersOutsideTheOldCodePage)
{
    Language.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::MainPopupMenu).Position) + 5] =
        u"\u0417\u0430\u043a\u0440\u044b\u0442\u044c";
    ApplyLanguage(Language);
    EXPECT_EQ(main->Close1->text(), QString::fromUtf8("\u0417\u0430\u043a\u0440\u044b\u0442\u044c"));
}

TEST_F(LanguageTest, ApplyingTheSameTextsTwiceChangesNothing)
{
    ApplyLanguage(Language);
    const QString first = main->Restore1->text() + search.windowTitle() + search.Label2->text() +
                          search.RadioGroup1->title() + search.btnCancel->text();
    ApplyLanguage(Language);
    EXPECT_EQ(main->Restore1->text() + search.windowTitle() + search.Label2->text() + search.RadioGroup1->title() +
                  search.btnCancel->text(),
              first);
    EXPECT_EQ(first, QStringLiteral("RestoreSearchResultsSearch forCancel"));
}

TEST_F(LanguageTest, ThePlaySystemsStatusTextsComeFromTheLanguage)
{
    Language.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::Status).Position) + 3] = u"Bereit";
    ApplyLanguage(Language);
    EXPECT_EQ(system->Texts().Ready, u"Bereit");
    EXPECT_EQ(system->Texts().IsPlaying, u"[ %s is playing ]");
}

} // namespace
} // namespace ktest
