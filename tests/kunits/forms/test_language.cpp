// The language texts put into the windows, and a switch of language file.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "forms/applylanguage.h"
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
        search.setObjectName(QStringLiteral("frmSearch"));
        label = new QLabel(&search);
        label->setObjectName(QStringLiteral("Label1"));
        cancel = new QPushButton(&search);
        cancel->setObjectName(QStringLiteral("btnCancel"));
    }
    void TearDown() override
    {
        SetDefaultLanguage(Language);
        MainFormTest::TearDown();
    }

    // A language file with two texts changed.
    std::string fileWith(const std::string& name, const std::u16string& about, const std::u16string& searchCaption)
    {
        TKLanguage texts;
        SetDefaultLanguage(texts);
        texts.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::MainPopupMenu).Position)] = about;
        texts.Texts[static_cast<size_t>(LanguageSection(TLanguageSection::PlaylistSearch).Position)] = searchCaption;
        const std::string path = (home() / (name + ".klang")).string();
        SaveLanguageFile(texts, path);
        return path;
    }

    QWidget search;
    QLabel* label = nullptr;
    QPushButton* cancel = nullptr;
};

TEST_F(LanguageTest, SwitchingTheLanguageFileChangesTheWindowsTexts)
{
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QStringLiteral("About Kolvarin"));
    EXPECT_EQ(main->Helpcenter1->title(), QStringLiteral("Help center"));
    EXPECT_EQ(main->PlaymodeItems[3]->text(), QStringLiteral("Jump to next until end"));
    EXPECT_EQ(main->imgPlayButton->toolTip(), QStringLiteral("Play"));
    const QString english = search.windowTitle();
    EXPECT_FALSE(english.isEmpty());
    EXPECT_EQ(cancel->text().isEmpty(), false);

    LoadLanguageFile(Language, fileWith("deutsch", u"\u00dcber Kolvarin", u"Suchen"));
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QString::fromUtf8("\u00dcber Kolvarin"));
    EXPECT_EQ(search.windowTitle(), QStringLiteral("Suchen"));

    SetDefaultLanguage(Language);
    LoadLanguageFile(Language, fileWith("francais", u"\u00c0 propos", u"Chercher"));
    ApplyLanguage(Language);
    EXPECT_EQ(main->AboutKolvarin1->text(), QString::fromUtf8("\u00c0 propos"));
    EXPECT_EQ(search.windowTitle(), QStringLiteral("Chercher"));
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
    const QString first = main->Restore1->text() + label->text() + cancel->text();
    ApplyLanguage(Language);
    EXPECT_EQ(main->Restore1->text() + label->text() + cancel->text(), first);
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
