// The main window's video menu and the full-screen bar reach the video
// window and the user actions.
#include <QAction>

#include <gtest/gtest.h>

#include "app/kwindowhooks.h"
#include "core/settings/kconfig.h"
#include "forms/mainform.h"
#include "forms/videoform.h"
#include "forms/videomenus.h"

namespace kolvarin {
namespace {

TEST(WindowHooksTest, TheMainVideoMenuRunsTheVideoWindowsItemsAndShowsItsChecks)
{
    Config = new TKConfig();
    Config->SetDefaults();
    {
        TfrmMain main;
        TfrmVideo video;
        InstallWindowHooks();
        for (size_t i = 0; i < video.Menu.RatioItems.size(); ++i) {
            const std::array<QAction*, 9> items = {main.RatStretched, main.RatLetterbox, main.RatCrop,
                                                   main.Rat43,        main.Rat54,        main.Rat169,
                                                   main.Rat1610,      main.Rat2351,      main.RatUserDef};
            items[i]->trigger();
            EXPECT_EQ(Config->Ratio.Mode, ItemTag(video.Menu.RatioItems[i])) << i;
        }
        video.OnDisplayModeChecked(vdmDesktop);
        EXPECT_TRUE(main.Desktop1->isChecked());
        EXPECT_FALSE(main.Fullscreen1->isChecked());
    }
    delete Config;
    Config = nullptr;
}

} // namespace
} // namespace kolvarin
