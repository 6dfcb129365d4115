#include <gtest/gtest.h>

#include "skin/kdocking.h"

using namespace kolvarin;

TEST(DockingTest, TouchingNeedsCoincidingEdgesWithOverlap)
{
    const TKWinRect a{100, 100, 200, 100};
    const struct {
        TKWinRect b;
        bool touches;
        const char* what;
    } cases[] = {
        {{300, 120, 50, 50}, true, "right of A"},
        {{50, 120, 50, 50}, true, "left of A"},
        {{100, 200, 200, 80}, true, "below A"},
        {{150, 40, 50, 60}, true, "above A"},
        {{300, 200, 50, 50}, true, "corners meet"},
        {{301, 120, 50, 50}, false, "one pixel apart"},
        {{300, 201, 50, 50}, false, "right edge but no vertical overlap"},
        {{301, 200, 50, 50}, false, "below but no horizontal overlap"},
        {{120, 120, 50, 50}, false, "inside"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TouchesForm(a, c.b), c.touches) << c.what;
}

TEST(DockingTest, TheMasterDocksWhatTouchesItAndWhatTouchesThose)
{
    // Main, playlist below it, media controls below the playlist, a loose window.
    const TKWinRect windows[] = {{0, 0, 300, 100}, {0, 100, 300, 200}, {0, 300, 300, 100}, {600, 600, 50, 50}};
    int tags[] = {kTagMaster, kTagFree, kTagFree, kTagFree};
    MarkDockedWindows(0, windows, tags);
    EXPECT_EQ(tags[0], kTagMaster);
    EXPECT_EQ(tags[1], kTagDocked);
    EXPECT_EQ(tags[2], kTagDocked) << "docked to a docked window";
    EXPECT_EQ(tags[3], kTagFree);
}

TEST(DockingTest, SnapsToTheWorkAreaWithinTheBuffer)
{
    const TKWinRect workArea{0, 0, 1280, 800};
    const TKWinRect here{500, 300, 300, 100};
    const struct {
        int x, y, wantX, wantY;
    } cases[] = {
        {10, 300, 0, 300},    {11, 300, 11, 300}, {-10, 300, 0, 300},   {-11, 300, -11, 300}, {975, 300, 980, 300},
        {990, 300, 980, 300}, {500, 8, 500, 0},   {500, 705, 500, 700}, {500, 689, 500, 689},
    };
    for (const auto& c : cases) {
        const TKSnapResult r = SnapWindowPos(here, false, c.x, c.y, 300, 100, workArea, {}, 10);
        EXPECT_EQ(r.X, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(r.Y, c.wantY) << c.x << "," << c.y;
    }
}

TEST(DockingTest, SnapsAgainstAndAlongOtherWindows)
{
    const TKWinRect workArea{0, 0, 1280, 800};
    const TKSnapWindow other[] = {{{400, 300, 200, 150}, kTagFree}};
    const TKWinRect here{100, 100, 100, 80};
    const struct {
        int x, y, wantX, wantY;
        const char* what;
    } cases[] = {
        {292, 320, 300, 320, "right edge onto its left edge"},
        {609, 320, 600, 320, "left edge onto its right edge"},
        {289, 320, 289, 320, "eleven pixels away"},
        {292, 600, 292, 600, "no vertical overlap"},
        {405, 215, 400, 220, "bottom onto its top, then left edges aligned"},
        {410, 456, 400, 450, "top onto its bottom, then left edges aligned"},
        {505, 455, 500, 450, "right edges aligned when stacked"},
        {296, 306, 300, 300, "top edges aligned side by side"},
        {296, 374, 300, 370, "bottom edges aligned side by side"},
    };
    for (const auto& c : cases) {
        const TKSnapResult r = SnapWindowPos(here, false, c.x, c.y, 100, 80, workArea, other, 10);
        EXPECT_EQ(r.X, c.wantX) << c.what;
        EXPECT_EQ(r.Y, c.wantY) << c.what;
    }
}

TEST(DockingTest, TheMasterCarriesDockedWindowsInsteadOfSnappingToThem)
{
    const TKWinRect workArea{0, 0, 1280, 800};
    const TKSnapWindow others[] = {{{100, 200, 300, 200}, kTagDocked}, {{700, 100, 50, 50}, kTagFree}};
    const TKSnapResult r = SnapWindowPos({100, 100, 300, 100}, true, 130, 150, 300, 100, workArea, others, 10);
    EXPECT_EQ(r.X, 130);
    EXPECT_EQ(r.Y, 150);
    ASSERT_EQ(r.Moves.size(), 1u);
    EXPECT_EQ(r.Moves[0].first, 0);
    EXPECT_EQ(r.Moves[0].second, (TKWinRect{130, 250, 300, 200}));
    // A window that is not the master snaps to a docked one like to any other.
    const TKSnapResult loose = SnapWindowPos({600, 600, 50, 50}, false, 395, 250, 50, 50, workArea, others, 10);
    EXPECT_EQ(loose.X, 400);
    EXPECT_TRUE(loose.Moves.empty());
}

TEST(DockingTest, AWindowTheUserCannotReachIsBroughtOntoTheNearestScreen)
{
    const TKWinRect areas[] = {{0, 0, 1280, 800}, {1280, 0, 1920, 1080}};
    const struct {
        TKWinRect window;
        int wantLeft, wantTop;
        const char* what;
    } cases[] = {
        {{100, 100, 300, 120}, 100, 100, "on the first screen"},
        {{3000, 500, 300, 120}, 3000, 500, "on the second screen"},
        {{-268, -88, 300, 120}, -268, -88, "32 pixels square still on it"},
        {{-269, 100, 300, 120}, 0, 100, "31 pixels across: moved in"},
        {{1 << 20, 50, 300, 120}, 3200 - 300, 50, "far right: right edge onto the nearest screen"},
        {{-(1 << 20), -(1 << 20), 300, 120}, 0, 0, "far up and left"},
        {{100, 5000, 300, 120}, 100, 800 - 120, "below the first screen"},
        {{5000, 100, 4000, 2000}, 1280, 0, "larger than the screen: its top-left on it"},
        {{500, 500, 10, 10}, 500, 500, "a small window needs only itself on it"},
    };
    for (const auto& c : cases) {
        const TKWinRect placed = BringOntoScreen(c.window, areas);
        EXPECT_EQ(placed, (TKWinRect{c.wantLeft, c.wantTop, c.window.Width, c.window.Height})) << c.what;
    }
    EXPECT_EQ(BringOntoScreen({1 << 20, 0, 10, 10}, {}), (TKWinRect{1 << 20, 0, 10, 10})) << "no screen known";
}
