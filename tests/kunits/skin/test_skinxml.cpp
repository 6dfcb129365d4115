#include <functional>

#include <gtest/gtest.h>

#include "base/bounds.h"
#include "skin/kskinxml.h"
#include "skinfixture.h"

using namespace kolvarin;

namespace {

// One element of every kind, each with its own values.
const char* const kDescription = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- test skin -->
<KolvarinSkin Version="2.60.0.0" Name="test">
  <Common><TransparentColor Color="1,2,3" /></Common>
  <Forms>
    <Main>
      <Form><SkinPos X="1" Y="2" /><Size Width="300" Height="120" /><Masked Enabled="false" /></Form>
      <CaptionBar><FormPos X="3" Y="4" /><SkinPos X="5" Y="6" /><SkinBorder Border="7" /><Size Width="8" Height="9" /></CaptionBar>
      <PlayButton><FormPos X="10" Y="11" /><SkinPos X="12" Y="13" /><Size Width="14" Height="15" /><SkinBorder Border="3" /><Visible Enabled="1" /></PlayButton>
      <MuteCheckbox><FormPos X="20" Y="21" /><Visible Enabled="TRUE" /></MuteCheckbox>
      <ConfigButton><Visible Enabled="yes" /></ConfigButton>
      <Analyzer><FormPos X="30" Y="31" /><SkinPos X="32" Y="33" /><Size Width="34" Height="35" /><Visible Enabled="true" />
        <PeakColor Color="255" /><LineColor Color="300,0,0" /><Spectrum NumLines="40" NumBars="41" Height="42" Align="righttoleft" />
        <BarWidth Width="4" /></Analyzer>
      <Scrolllabel><FormPos X="50" Y="51" /><Size Width="52" Height="53" /><Font Face="DejaVu Sans" Size="9" Color="10,20,30" /></Scrolllabel>
      <Volume><FormPos X="60" Y="61" /><SkinPos X="62" Y="63" /><Size Width="64" Height="65" /><SkinBorder Border="1" /><Align Align="uptodown" /></Volume>
      <Balance><BgFormPos X="70" Y="71" /><BgSkinPos X="72" Y="73" /><BgSize Width="74" Height="75" /><BarSkinPos X="76" Y="77" />
        <BarSize Width="78" Height="79" /><BarSkinBorder Border="5" /><BarAlign Align="downtoup" /><Visible Enabled="true" /></Balance>
      <StatusIconWait><FormPos X="80" Y="81" /><SkinPos X="82" Y="83" /><Size Width="84" Height="85" /></StatusIconWait>
      <Time><FormPos X="90" Y="91" /><UseBg Enabled="true" /><BgSkinPos X="92" Y="93" /><BgSize Width="94" Height="95" />
        <Chars>
          <Char Key="0"><SkinPos X="100" Y="101" /><Size Width="6" Height="7" /></Char>
          <!-- a comment takes a place -->
          <Anything><SkinPos X="102" Y="103" /><Size Width="8" Height="9" /></Anything>
          <C/><C/><C/><C/><C/><C/><C/><C/><C/><C/>
          <C><SkinPos X="111" Y="111" /><Size Width="1" Height="1" /></C>
          <C><SkinPos X="222" Y="222" /><Size Width="2" Height="2" /></C>
        </Chars>
        <SkinBorder Border="258" /><FormBorder Border="3" /></Time>
    </Main>
    <Playlist>
      <ResizeForm><Size Width="200" Height="150" /><DefaultSize Width="100" Height="80" /><Masked Enabled="true" />
        <Edges><TopLeft><SkinPos X="1" Y="1" /><Size Width="10" Height="11" /></TopLeft>
          <BottomRight><SkinPos X="9" Y="9" /><Size Width="12" Height="13" /></BottomRight></Edges></ResizeForm>
      <PlaylistEditor><Borders Left="1" Top="2" Right="3" Bottom="4" />
        <Font Face="ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ" Size="10" />
        <TextColors><Normal Color="1,1,1" /><Selected Color="2,2,2" /><Played Color="3,3,3" /></TextColors>
        <BorderStyles><NormalBgStyle Style="6" Color="4,4,4" /><SelectedBgStyle Style="9" Color="5,5,5" />
          <NormalStyle Style="5" Color="6,6,6" /><SelectedStyle Style="-1" Color="7,7,7" /></BorderStyles></PlaylistEditor>
      <Scrollbar><SkinPos X="40" Y="41" /><Size Width="6" Height="20" /><SkinBorder Border="1" /></Scrollbar>
      <Statusbar><SkinPos X="42" Y="43" /><Size Width="8" Height="16" /><Align Align="BOTTOM" /><Font Face="F" Size="7" Color="9,9,9" /><Visible Enabled="false" /></Statusbar>
      <FileTypeIcons><SkinPos X="44" Y="45" /><Size Width="13" Height="13" /><SkinBorder Border="2" /></FileTypeIcons>
    </Playlist>
    <MediaControls>
      <Equalizer9><BgFormPos X="90" Y="91" /><BarAlign Align="sideways" /><Visible Enabled="true" /></Equalizer9>
    </MediaControls>
    <Video><VideoWindow><Borders Left="5" Top="6" Right="7" Bottom="8" /></VideoWindow></Video>
  </Forms>
</KolvarinSkin>
)";

class SkinXmlTest : public ::testing::Test {
protected:
    SkinXmlTest() { InitGUI(skin_); }

    TKSkinReadResult Read(const std::string& text)
    {
        TLumoStream stream;
        return ReadSkinXml(skin_, ktest::StreamOf(stream, text));
    }

    TKGUI skin_;
};

} // namespace

TEST_F(SkinXmlTest, EveryElementKindReadsItsAttributes)
{
    ASSERT_EQ(Read(kDescription).Status, TKSkinReadStatus::Ok);
    const TKSMain& m = skin_.Main;
    EXPECT_EQ(skin_.TransparentColor, gdi::RGB(1, 2, 3));
    EXPECT_EQ(m.Form.SkinPos.Y, 2);
    EXPECT_EQ(m.Form.Size.Width, 300);
    EXPECT_FALSE(m.Form.Masked);
    EXPECT_EQ(m.CaptionBar.SkinBorder, 7);
    EXPECT_EQ(m.CaptionBar.Size.Height, 9);
    EXPECT_EQ(m.PlayButton.FormPos.X, 10);
    EXPECT_EQ(m.PlayButton.SkinPos.Y, 13);
    EXPECT_EQ(m.PlayButton.SkinBorder, 3);
    EXPECT_TRUE(m.PlayButton.Visible) << "Enabled=\"1\"";
    EXPECT_TRUE(m.MuteCheckbox.Visible) << "Enabled=\"TRUE\"";
    EXPECT_FALSE(m.ConfigButton.Visible) << "Enabled=\"yes\"";
    EXPECT_EQ(m.Analyzer.PeakColor, gdi::RGB(255, 0, 0)) << "one number is red";
    EXPECT_EQ(m.Analyzer.LineColor, gdi::RGB(44, 0, 0)) << "taken modulo 256";
    EXPECT_EQ(m.Analyzer.NumBars, 41);
    EXPECT_EQ(m.Analyzer.SpectrumHeight, 42);
    EXPECT_EQ(m.Analyzer.Align, 1);
    EXPECT_EQ(m.Analyzer.BarWidth, 4);
    EXPECT_EQ(m.Scrolllabel.FontName, u"DejaVu Sans");
    EXPECT_EQ(m.Scrolllabel.FontSize, 9);
    EXPECT_EQ(m.Scrolllabel.FontColor, gdi::RGB(10, 20, 30));
    EXPECT_EQ(m.Volume.Align, baUpToDown);
    EXPECT_EQ(m.Volume.SkinBorder, 1);
    EXPECT_EQ(m.Balance.BarSkinPos.X, 76);
    EXPECT_EQ(m.Balance.BarSize.Height, 79);
    EXPECT_EQ(m.Balance.BarAlign, sbaDownToUp) << "names compare without letter case";
    EXPECT_EQ(m.StatusIconWait.Size.Width, 84);
    EXPECT_TRUE(m.Time.UseBg);
    EXPECT_EQ(m.Time.BgSize.Height, 95);
    EXPECT_EQ(m.Time.SkinBorder, 2) << "258 kept in one byte";
    EXPECT_EQ(m.Time.FormBorder, 3);

    const TKSPlaylist& p = skin_.Playlist;
    EXPECT_EQ(p.ResizeForm.DefaultSize.Height, 80);
    EXPECT_EQ(p.ResizeForm.Edges[eTopLeft].Height, 11);
    EXPECT_EQ(p.ResizeForm.Edges[eBottomRight].X, 9);
    EXPECT_EQ(p.ResizeForm.Edges[eCenter].Width, 0) << "a missing edge takes zeros";
    EXPECT_EQ(p.PlaylistEditor.Borders.Bottom, 4);
    EXPECT_EQ(p.PlaylistEditor.FontName.size(), 50u);
    EXPECT_EQ(p.PlaylistEditor.PlayedTextColor, gdi::RGB(3, 3, 3));
    EXPECT_EQ(p.PlaylistEditor.NormalBgStyle, 6);
    EXPECT_EQ(p.PlaylistEditor.SelectedBgStyle, 1) << "a style out of range is left alone";
    EXPECT_EQ(p.PlaylistEditor.SelectedBgColor, gdi::RGB(5, 5, 5));
    EXPECT_EQ(p.PlaylistEditor.NormalPenStyle, 5);
    EXPECT_EQ(p.PlaylistEditor.SelectedPenStyle, 1);
    EXPECT_EQ(p.Scrollbar.SkinBorder, 1);
    EXPECT_EQ(p.Statusbar.Align, 1);
    EXPECT_FALSE(p.Statusbar.Visible);
    EXPECT_EQ(p.FileTypeIcons.SkinPos.Y, 45);
    EXPECT_EQ(skin_.MediaControls.Equalizer[9].BgFormPos.Y, 91);
    EXPECT_EQ(skin_.MediaControls.Equalizer[9].BarAlign, sbaLeftToRight) << "an unknown name";
    EXPECT_EQ(skin_.Video.VideoWindow.Right, 7);
}

TEST_F(SkinXmlTest, MissingPartsKeepOrResetAsTheirLevelSays)
{
    ASSERT_EQ(Read(kDescription).Status, TKSkinReadStatus::Ok);
    TKGUI fresh;
    InitGUI(fresh);
    // A window section that is missing keeps everything.
    EXPECT_EQ(skin_.VideoFullscreenControl.Align, bpBottom);
    EXPECT_EQ(skin_.VideoFullscreenControl.ProgressSeekBar.BarSkinBorder, 0);
    // An element missing in a present section takes its attributes' defaults.
    EXPECT_EQ(skin_.MediaControls.SpeedSeekBar.BarAlign, sbaLeftToRight);
    EXPECT_FALSE(skin_.MediaControls.SpeedSeekBar.Visible);
    EXPECT_EQ(skin_.Main.CloseButton.SkinBorder, 0);
    // Chars: elements and comments take places in order; beyond 14 ignored.
    const auto& chars = skin_.Main.Time.Chars;
    EXPECT_EQ(chars[0].X, 100);
    EXPECT_EQ(chars[1].Width, 0) << "the comment";
    EXPECT_EQ(chars[2].Y, 103);
    EXPECT_EQ(chars[13].X, 111);
    // The full-screen bar's time has no Chars here: the defaults stay.
    EXPECT_EQ(skin_.VideoFullscreenControl.Time.Chars[5].X, fresh.VideoFullscreenControl.Time.Chars[5].X);
}

TEST_F(SkinXmlTest, MainWithoutTimeClearsItButKeepsTheGlyphRectangles)
{
    TKGUI fresh;
    InitGUI(fresh);
    ASSERT_EQ(Read("<KolvarinSkin><Forms><Main/></Forms></KolvarinSkin>").Status, TKSkinReadStatus::Ok);
    EXPECT_FALSE(skin_.Main.Time.UseBg);
    EXPECT_EQ(skin_.Main.Time.SkinBorder, 0);
    EXPECT_EQ(skin_.Main.Time.FormBorder, 0);
    EXPECT_EQ(skin_.Main.Time.Chars[3].X, fresh.Main.Time.Chars[3].X);
    EXPECT_EQ(skin_.Main.Time.Chars[3].Width, fresh.Main.Time.Chars[3].Width);
}

TEST_F(SkinXmlTest, BadValuesEndTheReadWhereTheyStand)
{
    const struct {
        const char* value;
        bool ok;
    } cases[] = {
        {" 12 ", true},         {"+12", true},  {"-12", true}, {"2147483647", true}, {"2147483648", false},
        {"-2147483649", false}, {"12x", false}, {"", false},   {"0x10", false},      {"1 2", false},
    };
    for (const auto& c : cases) {
        InitGUI(skin_);
        const std::string text = std::string("<KolvarinSkin><Forms><Main><Form><SkinPos X=\"7\" Y=\"") + c.value +
                                 "\" /><Size Width=\"99\" /></Form></Main></Forms></KolvarinSkin>";
        const TKSkinReadResult result = Read(text);
        EXPECT_EQ(result.Status == TKSkinReadStatus::Ok, c.ok) << c.value;
        EXPECT_EQ(skin_.Main.Form.SkinPos.X, 7) << "read before the bad value";
        EXPECT_EQ(skin_.Main.Form.Size.Width, c.ok ? 99 : 0) << c.value;
        if (!c.ok) {
            EXPECT_NE(result.Text.find("Form/SkinPos Y"), std::string::npos) << result.Text;
        }
    }
}

TEST_F(SkinXmlTest, SizesPositionsAndFontSizesAreBoundedWhereTheyAreRead)
{
    const struct {
        const char* main; // inside the Main section
        std::function<int(const TKGUI&)> field;
        int expected;
    } cases[] = {
        {"<Form><Size Width=\"2147483647\" Height=\"-5\" /></Form>", [](auto& g) { return g.Main.Form.Size.Width; },
         kMaxExtent},
        {"<Form><Size Width=\"2147483647\" Height=\"-5\" /></Form>", [](auto& g) { return g.Main.Form.Size.Height; },
         0},
        {"<Form><SkinPos X=\"2147483647\" Y=\"-2147483648\" /></Form>", [](auto& g) { return g.Main.Form.SkinPos.X; },
         kMaxPosition},
        {"<Form><SkinPos X=\"2147483647\" Y=\"-2147483648\" /></Form>", [](auto& g) { return g.Main.Form.SkinPos.Y; },
         -kMaxPosition},
        {"<CloseButton><FormPos X=\"-2147483648\" /></CloseButton>",
         [](auto& g) { return g.Main.CloseButton.FormPos.X; }, -kMaxPosition},
        {"<Time><Chars><C><Size Width=\"4000\" /></C><C><Size Width=\"9000\" /></C></Chars></Time>",
         [](auto& g) { return g.Main.Time.Chars[0].Width; }, 4000},
        {"<Time><Chars><C><Size Width=\"4000\" /></C><C><Size Width=\"9000\" /></C></Chars></Time>",
         [](auto& g) { return g.Main.Time.Chars[1].Width; }, kMaxExtent},
        {"<Scrolllabel><Font Size=\"2000000000\" /></Scrolllabel>", [](auto& g) { return g.Main.Scrolllabel.FontSize; },
         kMaxFontSize},
        {"<Scrolllabel><Font Size=\"-2000000000\" /></Scrolllabel>",
         [](auto& g) { return g.Main.Scrolllabel.FontSize; }, -kMaxFontSize},
        {"<Analyzer><BarWidth Width=\"-3\" /><Spectrum Height=\"99999999\" /></Analyzer>",
         [](auto& g) { return g.Main.Analyzer.SpectrumHeight; }, kMaxExtent},
    };
    for (const auto& c : cases) {
        InitGUI(skin_);
        ASSERT_EQ(Read(std::string("<KolvarinSkin><Forms><Main>") + c.main + "</Main></Forms></KolvarinSkin>").Status,
                  TKSkinReadStatus::Ok);
        EXPECT_EQ(c.field(skin_), c.expected) << c.main;
    }
    // The resizable windows' sizes and the gaps around their panels too.
    ASSERT_EQ(Read("<KolvarinSkin><Forms><Playlist><ResizeForm><Size Width=\"320\" Height=\"-100000\" />"
                   "<DefaultSize Width=\"9000\" Height=\"9000\" /></ResizeForm>"
                   "<PlaylistEditor><Borders Left=\"-7\" Right=\"2147483647\" /></PlaylistEditor></Playlist>"
                   "</Forms></KolvarinSkin>")
                  .Status,
              TKSkinReadStatus::Ok);
    const TKSPlaylist& p = skin_.Playlist;
    EXPECT_EQ(p.ResizeForm.Size.Height, 0);
    EXPECT_EQ(p.ResizeForm.DefaultSize.Width, kMaxExtent);
    EXPECT_EQ(p.PlaylistEditor.Borders.Left, 0);
    EXPECT_EQ(p.PlaylistEditor.Borders.Right, kMaxExtent);
}

TEST_F(SkinXmlTest, ADocumentThatDoesNotParseChangesNothing)
{
    TKGUI fresh;
    InitGUI(fresh);
    EXPECT_EQ(Read("<KolvarinSkin><Forms><Main>").Status, TKSkinReadStatus::NotParsed);
    EXPECT_EQ(skin_.Main.ConfigButton.Visible, fresh.Main.ConfigButton.Visible);
    EXPECT_EQ(skin_.TransparentColor, fresh.TransparentColor);
    const TKSkinReadResult notParsed{TKSkinReadStatus::NotParsed, {}};
    EXPECT_TRUE(notParsed.Usable());
}
