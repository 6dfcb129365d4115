// What the configuration dialog's Apply re-applies to the skinned windows.
#include <QSlider>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "app/kconfighooks.h"
#include "app/kforms.h"
#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "dialogs/configform.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "temphome.h"
#include "video/kdirectshowside.h"

namespace kolvarin {
namespace {

class ConfigHooksTest : public ::testing::Test {
protected:
    ConfigHooksTest()
    {
        Config = new TKConfig();
        Config->SetDefaults();
        forms_.CreateAll();
        Forms = &forms_;
    }
    ~ConfigHooksTest() override
    {
        Forms = nullptr;
        forms_.DestroyAll();
        delete Config;
        Config = nullptr;
    }
    TKConfigHooks& hooks() { return forms_.ConfigDialog().Hooks; }
    TKSkinnedMain& main() { return *forms_.SkinWindows().Main; }

    TKForms forms_;
};

TEST_F(ConfigHooksTest, TheDialogIsBuiltWhenFirstOpenedWithItsHooks)
{
    EXPECT_EQ(frmConfig, nullptr);
    EXPECT_EQ(forms_.Get(TKForms::frmConfig), nullptr);
    ShowConfigDialog(nullptr);
    ASSERT_NE(frmConfig, nullptr);
    EXPECT_EQ(forms_.Get(TKForms::frmConfig), frmConfig);
    EXPECT_TRUE(frmConfig->isVisible());
    EXPECT_TRUE(frmConfig->Hooks.ApplySkin);
    TfrmConfig* const built = frmConfig;
    ShowConfigDialog(nullptr);
    EXPECT_EQ(frmConfig, built);
    frmConfig->hide();
}

// The bars show the player's values whatever skin draws them.
TEST_F(ConfigHooksTest, ASkinChangeLeavesEveryThumbWhereItsValueIs)
{
    ASSERT_EQ(hooks().ApplySkin("base[default]"), "base[default]");
    Config->Volume = 2500;
    Config->Balance = 160;
    Config->Speed = 8;
    ShowStartStates();
    TKSkinnedMediaControls& controls = *forms_.SkinWindows().MediaControls;
    const auto thumbs = [&] {
        std::vector<QRect> places = {main().imgVolumeSeekbarBar->geometry(), main().imgBalanceBar->geometry(),
                                     controls.imgSpeedBar->geometry()};
        for (const TKImage* band : controls.imgEQBar)
            places.push_back(band->geometry());
        return places;
    };
    const std::vector<QRect> before = thumbs();
    ASSERT_EQ(hooks().ApplySkin("base[default]"), "base[default]");
    EXPECT_EQ(thumbs(), before);
}

TEST_F(ConfigHooksTest, MainWindowCheckBoxesFollowTheSettings)
{
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        Config->PlayMode.Enabled = on;
        Config->AutoFullscreen = on;
        Config->AutoVideoResize = !on;
        hooks().PlayModeChanged();
        hooks().VideoBehaviourChanged();
        const uint8_t state = on ? 3 : 1;
        EXPECT_EQ(GUI.Main.PlaymodeCheckbox.State, state);
        EXPECT_EQ(main().imgPlaymodeCheckbox->Tag, on ? 1 : 0);
        EXPECT_EQ(GUI.Main.AutofullscreenCheckbox.State, state);
        EXPECT_EQ(main().imgAutofullscreenCheckbox->Tag, on ? 1 : 0);
        EXPECT_EQ(GUI.Main.AutoVideoResizeCheckbox.State, 4 - state);
        EXPECT_EQ(main().imgAutoVideoResizeCheckbox->Tag, on ? 0 : 1);
    }
}

TEST_F(ConfigHooksTest, ScrollDirectionMovesOrStopsBothLabels)
{
    TKSScrollLabel& label = GUI.Main.Scrolllabel;
    label.TextWidth = 300;
    label.X1 = -40;
    label.X2 = 261;
    const std::pair<int, uint8_t> cases[] = {{1, smRight}, {2, smLeft}, {0, smStatic}};
    for (const auto& [direction, mode] : cases) {
        hooks().SetScrollDirection(direction);
        EXPECT_EQ(label.Mode, mode) << direction;
        EXPECT_EQ(GUI.VideoFullscreenControl.Scrolllabel.Mode, mode) << direction;
    }
    EXPECT_EQ(label.X1, 0) << "a stopped label starts at its beginning";
    EXPECT_EQ(label.X2, 301);
}

TEST_F(ConfigHooksTest, TheMainMenuCarriesTheDebugItems)
{
    ASSERT_NE(frmMain, nullptr);
    EXPECT_EQ(frmMain->Debug1->actions().size(), 8);
}

TEST_F(ConfigHooksTest, StatusBarAndTrayFollowTheSettings)
{
    const std::pair<uint8_t, bool> aligns[] = {{0, true}, {1, false}, {3, false}};
    for (const auto& [align, hidden] : aligns) {
        Config->SBTextAlign = align;
        hooks().LayoutPlaylist();
        EXPECT_EQ(GUI.Playlist.Statusbar.Hidden, hidden) << int(align);
    }
    for (const int mode : {1, 0, 2}) {
        Config->ShowKolvarinIn = static_cast<int16_t>(mode);
        hooks().SetTrayMode();
        EXPECT_EQ(main().KTrayIcon1.IconVisible(), mode != 0) << mode;
    }
}

TEST_F(ConfigHooksTest, VideoWindowAndPlaySystemFollowTheSettingsAtOnce)
{
    ASSERT_NE(frmVideo, nullptr);
    video::TDSVideoWindowEx2& display = *frmVideo->DSVideoWindowEx;
    for (const bool on : {false, true}) {
        Config->HideCursor = on;
        Config->VideoFSControlActive = on;
        hooks().VideoBehaviourChanged();
        hooks().FullscreenControlChanged();
        EXPECT_EQ(display.AutoHideCursor(), on ? 3000 : 0);
        EXPECT_EQ(display.FSControlActive(), on);
    }
    Config->VideoColorControls.Hue = 90;
    hooks().VideoColorsChanged();
    EXPECT_EQ(display.ColorControl().Hue(), 90);
    // Without a play system or video side nothing is re-applied, and nothing fails.
    hooks().FaderChanged();
    hooks().SpeakersChanged();
    EXPECT_TRUE(hooks().GraphTypes().empty());

    frmConfig->Page(TConfigPage::Video);
    Config->VideoColorControls.Brightness = 1000;
    BrightnessUp();
    EXPECT_EQ(frmConfig->findChild<QSlider*>(QStringLiteral("tbVideoBrightness"))->value(), 1050);
    EXPECT_TRUE(frmConfig->IsMarked(TConfigArea::VideoColour));
}

// Fresh settings: every file type the program's graph scripts declare for
// an extension of the default table shows that table's script.
TEST_F(ConfigHooksTest, FreshSettingsShowTheDefaultScripts)
{
    const std::string kept = ApplicationPath, keptUser = UserPath;
    QTemporaryDir home; // compiled scripts are cached under the user folder
    UserPath = home.path().toStdString() + "/";
    ApplicationPath = (ktest::TestData("../..").lexically_normal() / "").string();
    Config->SetDefaultFilters();
    video::TKDirectShowSide side;
    video::VideoSide = &side;
    // A row stands for the first extension declaring its caption.
    std::map<std::string, std::string> byCaption; // type caption -> default script
    std::set<std::string> captions;
    for (const TKGraphType& type : hooks().GraphTypes())
        for (const auto& [ext, caption] : type.FileTypes)
            if (const int i = Config->FindFilterByExtension(ext); captions.insert(caption).second && i >= 0)
                byCaption[caption] = Config->VideoFilters[static_cast<size_t>(i)].Script;
    auto* table =
        frmConfig->Page(TConfigPage::VideoFilter)->findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList"));
    video::VideoSide = nullptr;
    ApplicationPath = kept;
    UserPath = keptUser;

    EXPECT_GE(byCaption.size(), 10u);
    int shown = 0;
    for (int i = 0; i < table->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = table->topLevelItem(i);
        const auto found = byCaption.find(row->text(0).toStdString());
        if (found == byCaption.end())
            continue;
        EXPECT_EQ(row->text(1).toStdString(), found->second) << row->text(0).toStdString();
        ++shown;
    }
    EXPECT_EQ(shown, static_cast<int>(byCaption.size()));
}

} // namespace
} // namespace kolvarin
