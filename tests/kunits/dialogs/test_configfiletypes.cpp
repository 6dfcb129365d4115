#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>

#include "configfixture.h"
#include "core/system/kfiletypes.h"
#include "htmllist/markupchecklist.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace {

class FileTypesPageTest : public ktest::ConfigPageTest {
protected:
    void SetUp() override
    {
        ConfigPageTest::SetUp();
        // Another program owns .OGG.
        ChangeUserRegistry([](registry::TRegistry& reg) {
            reg.WriteString(registry::TRegistry::Root::ClassesRoot, ".OGG", "", u"OtherPlayer.ogg");
        });
        open();
        form_->ShowPage(TConfigPage::Filetypes);
        list_ = form_->findChild<TMarkupCheckList*>(QStringLiteral("clbFiletypes"));
        ASSERT_NE(list_, nullptr);
    }
    int find(const std::string& text) const
    {
        for (int i = 0; i < list_->Count(); ++i)
            if (list_->Item(i) == text)
                return i;
        return -1;
    }
    void choose(const char* name) { form_->findChild<QRadioButton*>(QString::fromLatin1(name))->click(); }
    bool registered(const std::string& ext) const { return IsExtensionRegistered(OpenUserRegistry(), ext); }

    TMarkupCheckList* list_ = nullptr;
};

TEST_F(FileTypesPageTest, ListsTheTypesUnderThreeHeadings)
{
    const int audio = find("<b>[ Audio ]</b>"), video = find("<b>[ Video ]</b>"), other = find("<b>[ Other ]</b>");
    EXPECT_EQ(audio, 0);
    EXPECT_LT(find(".MP3"), video);
    EXPECT_GT(find(".AVI"), video);
    EXPECT_LT(find(".AVI"), other);
    EXPECT_GT(find(".KSKZ"), other);
    EXPECT_FALSE(list_->GetChecked(find(".OGG"))); // registered to another program
    EXPECT_FALSE(form_->btnApply()->isEnabled());
}

TEST_F(FileTypesPageTest, HeadingChecksItsGroupOnly)
{
    list_->Toggle(find("<b>[ Video ]</b>"));
    EXPECT_TRUE(list_->GetChecked(find(".AVI")));
    EXPECT_TRUE(list_->GetChecked(find(".VOB")));
    EXPECT_FALSE(list_->GetChecked(find(".MP3")));
    EXPECT_FALSE(list_->GetChecked(find(".KSKZ")));
    list_->Toggle(find("<b>[ Video ]</b>"));
    EXPECT_FALSE(list_->GetChecked(find(".AVI")));
}

TEST_F(FileTypesPageTest, RegistersAndUnregistersTheCheckedTypes)
{
    choose("rbRegFiletypes");
    list_->SetChecked(find(".MP3"), true);
    list_->SetChecked(find(".AVI"), true);
    ASSERT_TRUE(form_->Apply());
    ASSERT_EQ(messages_, QStringList{QStringLiteral("Filetypes registered successfully.")});
    EXPECT_TRUE(registered(".MP3"));
    EXPECT_TRUE(registered(".AVI"));
    EXPECT_FALSE(registered(".FLAC"));
    const std::string desktop = ktest::readFile(DesktopFileName());
    EXPECT_NE(desktop.find("audio/mpeg"), std::string::npos);
    EXPECT_TRUE(list_->GetChecked(find(".MP3"))); // the list shows the registry again

    choose("rbUnregFiletypes");
    ASSERT_TRUE(form_->Apply());
    EXPECT_FALSE(registered(".MP3"));
    EXPECT_FALSE(registered(".AVI"));
    EXPECT_FALSE(fs::exists(DesktopFileName())); // nothing left to claim
    EXPECT_EQ(messages_.back(), QStringLiteral("Filetypes unregistered successfully."));
}

TEST_F(FileTypesPageTest, NoneTouchesNothing)
{
    const TColor none = list_->Color();
    choose("rbRegFiletypes");
    EXPECT_NE(list_->Color(), none) << "the list is a field to fill in";
    list_->SetChecked(find(".MP3"), true);
    choose("rbNoneFiletypes");
    EXPECT_EQ(list_->Color(), none);
    EXPECT_FALSE(form_->btnApply()->isEnabled());
    form_->Apply();
    EXPECT_FALSE(registered(".MP3"));
    EXPECT_TRUE(messages_.isEmpty());
}

// A registration that could not be saved says so instead of reporting success.
TEST_F(FileTypesPageTest, AFailedRegistrationIsReported)
{
    fs::remove(UserPath + "registry");
    fs::create_directories(UserPath + "registry/blocked"); // the store cannot be replaced
    choose("rbRegFiletypes");
    list_->SetChecked(find(".MP3"), true);
    ASSERT_TRUE(form_->Apply());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("The file types could not be registered")))
        << messages_[0].toStdString();
}

TEST_F(FileTypesPageTest, ContextMenusFollowTheirBoxes)
{
    auto* box = form_->findChild<QCheckBox*>(QStringLiteral("cbGeneralEnableContextMenu"));
    EXPECT_FALSE(box->isChecked());
    box->setChecked(true);
    ASSERT_TRUE(form_->Apply());
    EXPECT_TRUE(IsContextMenuRegistered(OpenUserRegistry()));
    box->setChecked(false);
    ASSERT_TRUE(form_->Apply());
    EXPECT_FALSE(IsContextMenuRegistered(OpenUserRegistry()));
}

} // namespace
