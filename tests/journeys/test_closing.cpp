// Closing the program each way a user can, then starting it again: the same
// windows show and the playlist is kept.
#include <set>

#include "journey.h"

namespace ktest {
namespace {

enum class Way { CloseButton, MainMenu, Signal };

struct Closing {
    Way way;
    const char* name;
    bool hidePlaylist; // the user hides the playlist window before closing
};

class ClosingJourney : public Journey, public ::testing::WithParamInterface<Closing> {
protected:
    std::set<std::string> ShownWindows()
    {
        std::set<std::string> shown;
        for (const TXWindowInfo& w : X().Windows())
            for (const char* title : {kMainTitle, kPlaylistTitle, kMediaControlsTitle})
                if (w.Viewable && w.Title.starts_with(title))
                    shown.insert(title);
        return shown;
    }

    // A point inside the element's rectangle on the main window.
    void ClickMain(const kolvarin::TKSButton& element)
    {
        X().Click(Main().Id, element.FormPos.X + element.Size.Width / 2, element.FormPos.Y + element.Size.Height / 2);
    }
};

TEST_P(ClosingJourney, TheSameWindowsShowAgainWithThePlaylistKept)
{
    const Closing& c = GetParam();
    const auto tracks = MakeTracks({"One", "Two", "Three"}, 2);
    ASSERT_TRUE(Start(Arguments(tracks)));
    ASSERT_TRUE(X().WaitForWindow(kPlaylistTitle));
    ASSERT_TRUE(X().WaitForWindow(kMediaControlsTitle));
    const kolvarin::TKSMain& skin = BuiltinSkin().Main;
    if (c.hidePlaylist) {
        ClickMain(skin.PlaylistCheckbox);
        ASSERT_TRUE(WaitUntil([&] { return !X().Find(kPlaylistTitle) || !X().Find(kPlaylistTitle)->Viewable; }));
    }
    const std::set<std::string> before = ShownWindows();
    Shot("before");

    switch (c.way) {
    case Way::CloseButton: ClickMain(skin.CloseButton); break;
    case Way::MainMenu:
        // "Close" is the menu's last item.
        ASSERT_TRUE(OpenMenu(Main().Id, skin.CaptionBar.FormPos.X + 8,
                             skin.CaptionBar.FormPos.Y + skin.CaptionBar.Size.Height / 2));
        X().Press("Up");
        X().Press("Return");
        break;
    case Way::Signal: ASSERT_EQ(Terminate(), 0); break;
    }
    if (Running()) {
        ASSERT_EQ(WaitForEnd(), 0);
    }

    const kolvarin::TKConfig stored = StoredConfig();
    EXPECT_TRUE(stored.MainVis);
    EXPECT_EQ(stored.PlaylistVis, !c.hidePlaylist);
    EXPECT_TRUE(stored.MediaConVis);
    EXPECT_EQ(StoredPlaylist().size(), tracks.size());

    ASSERT_TRUE(Start());
    ASSERT_TRUE(X().WaitForWindow(kMediaControlsTitle));
    EXPECT_EQ(ShownWindows(), before);
    EXPECT_EQ(Terminate(), 0);
}

// The minimise button takes every window of the program to the task bar;
// the windows are still the user's shown windows.
TEST_F(ClosingJourney, MinimiseTakesEveryWindowAlong)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(X().WaitForWindow(kPlaylistTitle));
    ASSERT_TRUE(X().WaitForWindow(kMediaControlsTitle));
    const std::set<std::string> before = ShownWindows();
    ClickMain(BuiltinSkin().Main.MinimizeButton);
    EXPECT_TRUE(WaitUntil([&] { return ShownWindows().empty(); })) << ShownWindows().size() << " windows still shown";
    Shot("minimised");
    ASSERT_EQ(Terminate(), 0);
    const kolvarin::TKConfig stored = StoredConfig();
    EXPECT_TRUE(stored.MainVis && stored.PlaylistVis && stored.MediaConVis);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(X().WaitForWindow(kMediaControlsTitle));
    EXPECT_EQ(ShownWindows(), before);
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingJourney,
                         ::testing::Values(Closing{Way::CloseButton, "CloseButton", false},
                                           Closing{Way::MainMenu, "MainMenu", true},
                                           Closing{Way::Signal, "Signal", false}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace ktest
