// The configuration dialog follows what the main window switches.
#include <QCheckBox>
#include <QRadioButton>

#include "dialogs/configform.h"
#include "mainformfixture.h"
#include "skin/kskinelements.h"

using namespace kolvarin;

namespace ktest {
namespace {

// The dialog shows what the main window's check boxes and play-mode menu
// set, and marks it, so Apply cannot write an older value back.
TEST_F(MainFormTest, TheConfigurationDialogFollowsTheMainWindow)
{
    TfrmConfig form;
    frmConfig = &form;
    form.Page(TConfigPage::Video);
    form.Page(TConfigPage::System);
    Config->AutoFullscreen = false;
    form.Page(TConfigPage::Video)->Load();
    ClickAt(Centre(GUI.Main.AutofullscreenCheckbox));
    EXPECT_TRUE(form.findChild<QCheckBox*>(QStringLiteral("cbAutoFS"))->isChecked());
    EXPECT_TRUE(form.IsMarked(TConfigArea::VideoBehaviour));

    main->SetPlayMode(3);
    EXPECT_TRUE(form.findChild<QRadioButton*>(QStringLiteral("rgPlaymode_3"))->isChecked());
    ClickAt(Centre(GUI.Main.PlaymodeCheckbox)); // off
    EXPECT_TRUE(form.findChild<QRadioButton*>(QStringLiteral("rgPlaymode_0"))->isChecked());
    ASSERT_TRUE(form.Apply());
    EXPECT_TRUE(Config->AutoFullscreen);
    EXPECT_FALSE(Config->PlayMode.Enabled);
    EXPECT_EQ(Config->PlayMode.Mode, 3);
    frmConfig = nullptr;
}

} // namespace
} // namespace ktest
