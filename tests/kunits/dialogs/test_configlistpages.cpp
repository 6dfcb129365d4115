#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>

#include "configfixture.h"
#include "core/text/ktemplates.h"
#include "dialogs/templateeditor.h"

using namespace kolvarin;

namespace {

class ListPagesTest : public ktest::ConfigPageTest {
protected:
    void SetUp() override
    {
        ConfigPageTest::SetUp();
        config_.AcceptedExtensions = {".MP3", ".OGG"};
        open();
        form_->Hooks.AskText = [this](const QString&, const QString&, const QString&) -> std::optional<QString> {
            if (answers_.empty())
                return std::nullopt;
            QString answer = answers_.front();
            answers_.pop_front();
            return answer;
        };
    }
    QPushButton* button(const char* name) const { return form_->findChild<QPushButton*>(QString::fromLatin1(name)); }

    std::deque<QString> answers_;
};

TEST_F(ListPagesTest, ExtensionsAreAddedOnceInUpperCase)
{
    form_->ShowPage(TConfigPage::AcceptedExtensions);
    EXPECT_EQ(items("lbIncludeExtensions"), (QStringList{QStringLiteral(".MP3"), QStringLiteral(".OGG")}));
    answers_ = {QStringLiteral("flac"), QStringLiteral(".Mp3"), QStringLiteral("a/b"), QStringLiteral("")};
    for (int i = 0; i < 4; ++i)
        button("miIncExtAdd")->click();
    EXPECT_EQ(items("lbIncludeExtensions"),
              (QStringList{QStringLiteral(".FLAC"), QStringLiteral(".MP3"), QStringLiteral(".OGG")}));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_[0], QStringLiteral("Extension already exists !"));
    EXPECT_TRUE(messages_[1].contains(QStringLiteral("not a file extension")));
    EXPECT_EQ(config_.AcceptedExtensions.size(), 2u); // nothing stored before Apply

    pick("lbIncludeExtensions", QStringLiteral(".OGG"));
    answers_ = {QStringLiteral("opus")};
    button("miIncExtEdit")->click();
    pick("lbIncludeExtensions", QStringLiteral(".MP3"));
    button("miIncExtRemove")->click();
    form_->findChild<QCheckBox*>(QStringLiteral("cbAddAllFileExtensions"))->setChecked(true);
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(config_.AcceptedExtensions, (std::vector<std::string>{".FLAC", ".OPUS"}));
    EXPECT_TRUE(config_.AcceptAllFiles);
    EXPECT_FALSE(form_->findChild<QListWidget*>(QStringLiteral("lbIncludeExtensions"))->isEnabled());

    button("btnIncludeExtSetDefault")->click();
    ASSERT_TRUE(form_->Apply());
    std::vector<std::string> known;
    TKConfig::FillKnownExtensions(known);
    EXPECT_EQ(config_.AcceptedExtensions.size(), known.size());
}

TEST_F(ListPagesTest, GraphScriptTableStoresItsRows)
{
    std::filesystem::create_directories(ApplicationPath + "data/dsgraphs");
    std::ofstream(ApplicationPath + "data/dsgraphs/Kolvarin Codec Pack.kgraph") << "void Filetypes() {}";
    config_.VideoFilters = {{".avi", "Kolvarin Codec Pack", false}, {".mkv", "Missing Script", true}};
    form_->ShowPage(TConfigPage::VideoFilter);
    auto* table = form_->findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList"));
    ASSERT_EQ(table->topLevelItemCount(), 2);
    EXPECT_EQ(table->topLevelItem(1)->text(1), QStringLiteral("No script")); // its file is missing
    table->setCurrentItem(table->topLevelItem(0));
    auto* ask = form_->findChild<QCheckBox*>(QStringLiteral("cbDSActualGraphScriptAsk"));
    ask->click();
    ASSERT_TRUE(form_->Apply());
    ASSERT_EQ(config_.VideoFilters.size(), 2u);
    EXPECT_TRUE(config_.VideoFilters[0].CanAsk);
    EXPECT_EQ(config_.VideoFilters[1].Script, "No script");

    bool asked = false;
    form_->Hooks.AskYesNo = [&asked](const QString&) { return asked = true, false; };
    button("btnResetAllFilters")->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(config_.VideoFilters.size(), 2u); // "No" changes nothing
    form_->Hooks.AskYesNo = [](const QString&) { return true; };
    button("btnResetAllFilters")->click();
    EXPECT_EQ(config_.VideoFilters.size(), 26u);
    EXPECT_EQ(table->topLevelItemCount(), 26);
}

TEST_F(ListPagesTest, TemplateEditorSavesOnOkOnly)
{
    TKTemplateLoader balloon;
    balloon.Text = u"%CAPTION%\r\n%TIME%\r\n";
    const std::string file = UserPath + "data/templates/mediainfo_balloon.txt";
    // Cancel: nothing changes, nothing is written.
    EXPECT_TRUE(EditTemplate(balloon, file, nullptr, [](TfrmTemplateEditor& editor) {
                    EXPECT_EQ(editor.TemplateText(), u"%CAPTION%\n%TIME%\n");
                    editor.SetTemplateText(u"changed");
                    return false;
                }).empty());
    EXPECT_EQ(balloon.Text, u"%CAPTION%\r\n%TIME%\r\n");
    EXPECT_FALSE(std::filesystem::exists(file));
    // OK: line breaks and non-Latin text come through unchanged and are saved.
    const std::u16string text = u"\u65e5\u672c %CAPTION%\n\u0416 %STREAMINFOS%";
    EXPECT_TRUE(EditTemplate(balloon, file, nullptr, [&text](TfrmTemplateEditor& editor) {
                    editor.SetTemplateText(text);
                    EXPECT_EQ(editor.TemplateText(), text);
                    return true;
                }).empty());
    EXPECT_EQ(balloon.Text, u"\u65e5\u672c %CAPTION%\r\n\u0416 %STREAMINFOS%");
    TKTemplateLoader reread;
    ASSERT_TRUE(reread.LoadFromFile(file));
    EXPECT_EQ(reread.Text.substr(0, 12), balloon.Text.substr(0, 12));
}

} // namespace
