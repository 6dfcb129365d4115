// The windows of a program whose folder is the installation: the
// configuration dialog lists the installed language and skin, the skin
// package loads, and the media controls' preset menu offers the installed
// presets and loads the one chosen.
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/configform.h"
#include "dialogs/configskininfo.h"
#include "forms/mainform.h"
#include "forms/mediacontrolsform.h"
#include "installed.h"
#include "playback/kequalizer.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "temphome.h"
#include "zip/ziphandler.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace {

class InstalledWindowsTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ResetProcessFlags();
        UserPath = home().string() + "/";
        ApplicationPath = DetectApplicationPath(ktest::installed::Program().parent_path().string() + "/");
        config_.SetDefaults();
        Config = &config_;
        SetDefaultLanguage(Language);
    }
    void TearDown() override
    {
        FreeGUI(GUI);
        GUI.Loaded = false;
        Config = nullptr;
        ResetProcessFlags();
        TempHomeTest::TearDown();
    }

    static QStringList Items(const TfrmConfig& form, const char* list)
    {
        QStringList names;
        auto* widget = form.findChild<QListWidget*>(QString::fromLatin1(list));
        for (int i = 0; widget && i < widget->count(); ++i)
            names << widget->item(i)->text();
        return names;
    }

    TKConfig config_;
};

TEST_F(InstalledWindowsTest, TheConfigurationDialogListsTheInstalledLanguageAndSkin)
{
    TfrmConfig form;
    form.show();
    form.ShowPage(TConfigPage::Languages);
    EXPECT_EQ(Items(form, "lbLanguages"), (QStringList{"english[default]", "English"}));
    form.ShowPage(TConfigPage::Skins);
    EXPECT_EQ(Items(form, "lbSkins"), (QStringList{"base[default]", "base"}));

    // The package is the built-in skin, for a skin author to start from.
    TZipHandler zip;
    EXPECT_FALSE(ReadSkinInfo("base", zip).empty());
    InitGUI(GUI);
    TKGUI builtin;
    InitGUI(builtin);
    ASSERT_EQ(LoadSkinByName(GUI, "base", false, zip), kSkinLoaded) << LastSkinError();
    ASSERT_EQ(LoadSkinByName(builtin, kDefaultSkinName, true, zip), kSkinLoaded) << LastSkinError();
    EXPECT_EQ(GUI.Main.PlayButton.FormPos.X, builtin.Main.PlayButton.FormPos.X);
    EXPECT_EQ(GUI.Main.PlayButton.FormPos.Y, builtin.Main.PlayButton.FormPos.Y);
    FreeGUI(builtin);
}

TEST_F(InstalledWindowsTest, ThePresetMenuOffersTheInstalledPresets)
{
    AppInitialized = true;
    TKSystem system;
    InitGUI(GUI);
    TZipHandler zip;
    ASSERT_EQ(LoadSkinByName(GUI, kDefaultSkinName, true, zip), kSkinLoaded) << LastSkinError();
    TfrmMain main(GUI);
    TfrmMediaControls form(GUI);
    form.System = &system;
    ApplySkin(GUI, TKSkinWindows{nullptr, nullptr, &form, nullptr, nullptr});
    for (TKSSeekBar& band : GUI.MediaControls.Equalizer) {
        band.Min = 0;
        band.Max = 24;
        band.Value = 12;
    }
    form.PlaceSliders();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.BuildPresetMenu();
    QStringList offered;
    QAction* rock = nullptr;
    for (QAction* item : form.Presets1->actions()) {
        offered << item->text();
        if (item->text() == "Rock")
            rock = item;
    }
    QStringList files;
    for (const auto& entry : fs::directory_iterator(ApplicationPath + "data/presets"))
        files << QString::fromStdString(entry.path().stem().string());
    offered.sort();
    files.sort();
    EXPECT_EQ(offered, files);
    ASSERT_NE(rock, nullptr);

    rock->trigger();
    TEqualizerValues expected;
    ASSERT_TRUE(LoadEqualizerPreset(Utf8ToUtf16(ApplicationPath + "data/presets/Rock.keqp"), expected));
    for (int i = 0; i < EqualizerBandCount; ++i)
        EXPECT_EQ(GUI.MediaControls.Equalizer[i].Value, expected.Band[i]) << i;
    EXPECT_NE(expected.Band, TEqualizerValues().Band);
}

} // namespace
