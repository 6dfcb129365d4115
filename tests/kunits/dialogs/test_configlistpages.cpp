#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <tuple>

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
    // An item of the extension list's popup menu, as shown for the list's selection.
    QAction* menuItem(const char* name) const
    {
        auto* menu = form_->findChild<QMenu*>(QStringLiteral("pmIncludeExtensionsEdit"));
        return menu->findChild<QAction*>(QString::fromLatin1(name));
    }

    std::deque<QString> answers_;
};

TEST_F(ListPagesTest, ExtensionsAreAddedOnceInUpperCase)
{
    form_->ShowPage(TConfigPage::AcceptedExtensions);
    EXPECT_EQ(items("lbIncludeExtensions"), (QStringList{QStringLiteral(".MP3"), QStringLiteral(".OGG")}));
    answers_ = {QStringLiteral("flac"), QStringLiteral(".Mp3"), QStringLiteral("a/b"), QStringLiteral("")};
    EXPECT_FALSE(menuItem("miIncExtEdit")->isEnabled()) << "nothing chosen";
    EXPECT_FALSE(menuItem("miIncExtRemove")->isEnabled());
    for (int i = 0; i < 4; ++i)
        menuItem("miIncExtAdd")->trigger();
    EXPECT_EQ(items("lbIncludeExtensions"),
              (QStringList{QStringLiteral(".FLAC"), QStringLiteral(".MP3"), QStringLiteral(".OGG")}));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_[0], QStringLiteral("Extension already exists !"));
    EXPECT_TRUE(messages_[1].contains(QStringLiteral("not a file extension")));
    EXPECT_EQ(config_.AcceptedExtensions.size(), 2u); // nothing stored before Apply

    pick("lbIncludeExtensions", QStringLiteral(".OGG"));
    answers_ = {QStringLiteral("opus")};
    menuItem("miIncExtEdit")->trigger();
    pick("lbIncludeExtensions", QStringLiteral(".MP3"));
    auto* list = form_->findChild<QListWidget*>(QStringLiteral("lbIncludeExtensions"));
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(items("lbIncludeExtensions"), (QStringList{QStringLiteral(".FLAC"), QStringLiteral(".OPUS")}));
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

// One row per type caption the graph scripts declare; Apply stores an entry
// per extension of that caption and keeps the entries no row covers.
TEST_F(ListPagesTest, GraphScriptRowsFollowTheDeclaredTypes)
{
    std::filesystem::create_directories(ApplicationPath + "data/dsgraphs");
    for (const std::string script : {"Codec Pack", "MPEG"})
        std::ofstream(ApplicationPath + "data/dsgraphs/" + script + ".kgraph") << "void Filetypes() {}";
    form_->Hooks.GraphTypes = [] {
        return std::vector<TKGraphType>{
            {"Codec Pack", {{".avi", "Audio Video Interleave"}, {".mpg", "MPEG video"}, {".mpeg", "MPEG video"}}},
            {"MPEG", {{".mpg", "MPEG video"}}},
            {"Gone", {{".rm", "RealMedia"}}},
        };
    };
    config_.VideoFilters = {{".MPG", "MPEG", true}, {".rm", "Gone", false}, {".flv", "Flash", false}};
    form_->ShowPage(TConfigPage::VideoFilter);
    auto* table = form_->findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList"));
    auto* script = form_->findChild<QComboBox*>(QStringLiteral("cbDSActualGraphScript"));
    auto* ask = form_->findChild<QCheckBox*>(QStringLiteral("cbDSActualGraphScriptAsk"));
    auto row = [table](int i) {
        const QTreeWidgetItem* item = table->topLevelItem(i);
        return QStringList{item->text(0), item->text(1), item->text(2)};
    };
    ASSERT_EQ(table->topLevelItemCount(), 3);
    EXPECT_EQ(row(0), (QStringList{QStringLiteral("Audio Video Interleave"), QStringLiteral("No script"), {}}));
    EXPECT_EQ(row(1), (QStringList{QStringLiteral("MPEG video"), QStringLiteral("MPEG"), QStringLiteral("X")}));
    EXPECT_EQ(row(2), (QStringList{QStringLiteral("RealMedia"), QStringLiteral("No script"), {}})) << "file missing";
    EXPECT_FALSE(script->isEnabled());

    table->setCurrentItem(table->topLevelItem(1));
    ASSERT_TRUE(script->isEnabled());
    QStringList scripts;
    for (int i = 0; i < script->count(); ++i)
        scripts << script->itemText(i);
    EXPECT_EQ(scripts,
              (QStringList{QStringLiteral("No script"), QStringLiteral("Codec Pack"), QStringLiteral("MPEG")}));
    EXPECT_EQ(script->currentText(), QStringLiteral("MPEG"));
    EXPECT_TRUE(ask->isChecked());
    script->setCurrentIndex(1);
    emit script->activated(1);
    ask->click();
    EXPECT_EQ(config_.VideoFilters.size(), 3u) << "nothing before Apply";
    ASSERT_TRUE(form_->Apply());
    const std::vector<std::tuple<std::string, std::string, bool>> expected = {
        {".avi", "No script", false}, {".mpg", "Codec Pack", false}, {".mpeg", "Codec Pack", false},
        {".rm", "No script", false},  {".flv", "Flash", false},
    };
    std::vector<std::tuple<std::string, std::string, bool>> stored;
    for (const TVideoFilterEntry& e : config_.VideoFilters)
        stored.emplace_back(e.Extension, e.Script, e.CanAsk);
    EXPECT_EQ(stored, expected);

    bool asked = false;
    form_->Hooks.AskYesNo = [&asked](const QString&) { return asked = true, false; };
    button("btnResetAllFilters")->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(config_.VideoFilters.size(), 5u); // "No" changes nothing
    form_->Hooks.AskYesNo = [](const QString&) { return true; };
    button("btnResetAllFilters")->click();
    EXPECT_EQ(config_.VideoFilters.size(), 26u);
    EXPECT_EQ(table->topLevelItemCount(), 3);
    EXPECT_FALSE(form_->IsMarked(TConfigArea::GraphScriptTable));
}

// The chosen row is navy with white text, the others white with black; the
// caption starts 5 pixels in.
TEST_F(ListPagesTest, GraphScriptRowsAreDrawnNavyWhenChosen)
{
    form_->Hooks.GraphTypes = [] {
        return std::vector<TKGraphType>{{"Codec Pack", {{".avi", "Audio Video Interleave"}, {".mkv", "Matroska"}}}};
    };
    form_->ShowPage(TConfigPage::VideoFilter);
    auto* table = form_->findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList"));
    table->setCurrentItem(table->topLevelItem(1));
    const QImage image = table->viewport()->grab().toImage();
    for (int i = 0; i < 2; ++i) {
        const QRect rect = table->visualItemRect(table->topLevelItem(i));
        const QColor back = i == 1 ? QColor(0, 0, 128) : QColor(Qt::white);
        const QColor ink = i == 1 ? QColor(Qt::white) : QColor(Qt::black);
        int firstInk = -1;
        for (int x = 0; x < rect.width() && firstInk < 0; ++x)
            for (int y = rect.top(); y <= rect.bottom() && firstInk < 0; ++y)
                if (image.pixelColor(x, y) != back)
                    firstInk = x;
        EXPECT_EQ(image.pixelColor(1, rect.center().y()), back) << i;
        EXPECT_GE(firstInk, 5) << i;
        bool inked = false;
        for (int x = 5; x < 120 && !inked; ++x)
            for (int y = rect.top(); y <= rect.bottom() && !inked; ++y)
                inked = image.pixelColor(x, y) == ink;
        EXPECT_TRUE(inked) << i;
    }
}

// Choosing the "Video" node reads the scripts again and refills the table
// from the settings, with no row chosen.
TEST_F(ListPagesTest, TheVideoNodeRefillsTheGraphScriptTable)
{
    config_.SetDefaultFilters();
    std::vector<TKGraphType> types = {{"Codec Pack", {{".avi", "Audio Video Interleave"}}}};
    form_->Hooks.GraphTypes = [&types] { return types; };
    form_->ShowPage(TConfigPage::VideoFilter);
    auto* table = form_->findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList"));
    auto* script = form_->findChild<QComboBox*>(QStringLiteral("cbDSActualGraphScript"));
    table->setCurrentItem(table->topLevelItem(0));
    ASSERT_TRUE(script->isEnabled());
    types.push_back({"Tracker", {{".mod", "ProTracker module"}}});
    std::filesystem::create_directories(ApplicationPath + "data/dsgraphs");
    std::ofstream(ApplicationPath + "data/dsgraphs/Tracker.kgraph") << "void Filetypes() {}";
    form_->tvConfigNodes()->setCurrentItem(form_->tvConfigNodes()->topLevelItem(5)); // "Video"
    EXPECT_EQ(form_->CurrentPage(), TConfigPage::Video);
    ASSERT_EQ(table->topLevelItemCount(), 2);
    EXPECT_EQ(table->topLevelItem(1)->text(1), QStringLiteral("Tracker")) << "the default table's script";
    EXPECT_EQ(table->currentItem(), nullptr);
    EXPECT_FALSE(script->isEnabled());
    EXPECT_EQ(script->count(), 0);
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
