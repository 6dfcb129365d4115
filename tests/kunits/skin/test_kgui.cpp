#include <gtest/gtest.h>

#include "skin/kgui.h"

using namespace kolvarin;

TEST(KGUITest, InitGUIGivesTheDefaultsAndEmptyImages)
{
    TKGUI skin;
    skin.Loaded = true;
    skin.Main.PlayButton.Bitmaps[2].setSize(3, 3);
    skin.Main.ConfigButton.Visible = true;
    InitGUI(skin);
    EXPECT_TRUE(skin.Loaded) << "kept until the next load";
    EXPECT_EQ(skin.TransparentColor, gdi::RGB(0, 255, 0));
    EXPECT_TRUE(skin.Main.PlayButton.Bitmaps[2].empty());
    EXPECT_EQ(skin.Main.PlayButton.State, 1);
    EXPECT_FALSE(skin.Main.ConfigButton.Visible);
    EXPECT_FALSE(skin.Main.PlaylistCheckbox.Visible);
    EXPECT_TRUE(skin.Main.MuteCheckbox.Visible);
    EXPECT_FALSE(skin.Main.ProgressSeekBar.Visible);
    EXPECT_EQ(skin.Main.ProgressSeekBar.BarSkinBorder, 0);
    EXPECT_EQ(skin.Main.Balance.BarSkinBorder, 2);
    EXPECT_TRUE(skin.Main.Balance.Visible);
    EXPECT_EQ(skin.MediaControls.Equalizer[4].BarAlign, sbaDownToUp);
    EXPECT_EQ(skin.Main.Analyzer.NumLines, 81);
    EXPECT_EQ(skin.Playlist.PlaylistEditor.SelectedBgColor, gdi::RGB(106, 106, 106));
    EXPECT_EQ(skin.Playlist.PlaylistEditor.DropTextColor, gdi::RGB(200, 200, 200));
    EXPECT_EQ(skin.Playlist.Statusbar.Align, 1);
    EXPECT_EQ(skin.VideoFullscreenControl.Align, bpBottom);
}

TEST(KGUITest, FreeThenInitEqualsAFreshStart)
{
    TKGUI a, b;
    InitGUI(a);
    a.Main.Time.Chars[4].X = 999;
    a.Main.Form.Bitmap.setSize(4, 4);
    FreeGUI(a);
    EXPECT_TRUE(a.Main.Form.Bitmap.empty());
    InitGUI(a);
    InitGUI(b);
    EXPECT_EQ(a.Main.Time.Chars[4].X, b.Main.Time.Chars[4].X);
    EXPECT_EQ(a.Playlist.ResizeForm.Edges[eBottomRight].Y, b.Playlist.ResizeForm.Edges[eBottomRight].Y);
}

TEST(KGUITest, GridAndDigitRulesPlaceTheirCells)
{
    std::array<TKSRect, eCount> edges;
    SkinGridRects({10, 20, 5, 7}, 2, edges);
    EXPECT_EQ(edges[eTopLeft].X, 5);
    EXPECT_EQ(edges[eTopRight].X, 5 + 2 * 12);
    EXPECT_EQ(edges[eLeft].Y, 7 + 22);
    EXPECT_EQ(edges[eBottomRight].Y, 7 + 2 * 22);
    EXPECT_EQ(edges[eCenter].Width, 10);

    TKSTime time;
    time.SkinBorder = 3;
    SkinDigitRects({9, 13, 100, 50}, time);
    EXPECT_EQ(time.Chars[0].X, 100);
    EXPECT_EQ(time.Chars[tcMinus].X, 100 + 12 * 12);
    EXPECT_EQ(time.Chars[tcMinusSpace].X, time.Chars[tcSpace].X);
    EXPECT_EQ(time.Chars[7].Y, 50);

    // Coordinates that overflow 32 bits stay at the largest value.
    SkinGridRects({2000000000, 1, 2000000000, 0}, 255, edges);
    EXPECT_EQ(edges[eTopRight].X, std::numeric_limits<int32_t>::max());
}
