#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/bounds.h"
#include "skin/kskinkskn.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

// Writes a complete line-oriented description, line by line in the order
// the format fixes, every number distinct (a running counter).
class KsknFile {
public:
    std::vector<std::string> lines;
    int next = 1;

    int Line(const std::string& name, int numbers)
    {
        const int first = next;
        std::string line = name + " [";
        for (int i = 0; i < numbers; ++i)
            line += " " + std::to_string(next++);
        lines.push_back(line + " ]");
        return first;
    }
    void Word(const std::string& name, const std::string& word) { lines.push_back(name + " [ " + word + " ]"); }
    // Groups; each returns the first number it wrote.
    int B()
    {
        const int at = Line("FormPos", 2);
        Line("SkinPos", 2);
        Line("Size", 2);
        Line("Border", 1);
        Word("Visible", "TRUE");
        return at;
    }
    int F(const std::string& align = "UpToDown")
    {
        const int at = Line("FormPos", 2);
        Line("SkinPos", 2);
        Line("Size", 2);
        Line("Border", 1);
        Word("Align", align);
        return at;
    }
    int S(const std::string& align = "DownToUp")
    {
        const int at = Line("BgFormPos", 2);
        Line("BgSkinPos", 2);
        Line("BgSize", 2);
        Line("BarSkinPos", 2);
        Line("BarSize", 2);
        Line("BarSkinBorder", 1);
        Word("BarAlign", align);
        Word("Visible", "TRUE");
        return at;
    }
    int I()
    {
        const int at = Line("FormPos", 2);
        Line("SkinPos", 2);
        Line("Size", 2);
        return at;
    }
    int P()
    {
        const int at = Line("Size", 2);
        Line("SkinPos", 2);
        return at;
    }
    int C()
    {
        const int at = Line("FormPos", 2);
        Line("SkinPos", 2);
        Line("SkinBorder", 1);
        Line("Size", 2);
        return at;
    }
    int W()
    {
        const int at = Line("SkinPos", 2);
        Line("Size", 2);
        Word("Masked", "FALSE");
        return at;
    }
    int R()
    {
        const int at = Line("Size", 2);
        Line("DefaultSize", 2);
        Line("EdgeSkinPos", 2);
        Line("EdgeSize", 2);
        Line("EdgeBorder", 1);
        Word("Masked", "TRUE");
        return at;
    }
    int L()
    {
        const int at = Line("FormPos", 2);
        Line("Size", 2);
        Word("FontName", "Sans");
        Line("FontColor", 3);
        Line("FontSize", 1);
        return at;
    }
    int T()
    {
        const int at = Line("FormPos", 2);
        Line("SkinPos", 2);
        Line("Size", 2);
        Line("Border", 1);
        Line("FormBorder", 1);
        return at;
    }

    // The content line (from 1) whose first number is Number; 0 for none.
    int LineOf(int number) const
    {
        const std::string first = "[ " + std::to_string(number) + " ";
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(first) != std::string::npos)
                return static_cast<int>(i) + 1;
        return 0;
    }

    std::string Text(const std::string& between = "") const
    {
        std::string out;
        for (const std::string& line : lines)
            out += between + line + "\r\n";
        return out;
    }
};

// The first numbers of the elements the test looks at.
struct Marks {
    int form, close, analyzer, label, volume, balance, time, playlistForm, band9, fsTime;
    // Lines 156-157, 180-184, 190-192, 288-289 and 304-307.
    int mainPopup, scrollbar, playlistPopup, fileTypeIcons, controlsPopup, videoPopup, dvdPopup;
};

Marks WriteAll(KsknFile& f)
{
    Marks m{};
    f.Line("TransparentColor", 3);
    m.form = f.W();
    f.C();
    m.close = f.B();
    f.B();
    m.analyzer = f.I();
    f.Line("PeakColor", 3);
    f.Line("LineColor", 3);
    f.Line("Spectrum", 2);
    f.Line("SpectrumHeight", 1);
    f.Line("BarWidth", 1);
    f.Word("Align", "righttoleft");
    f.Word("Visible", "True");
    f.I();
    m.label = f.L();
    f.F();
    f.S();
    for (int i = 0; i < 6; ++i)
        f.B();
    m.volume = f.F("RightToLeft");
    f.S();
    m.balance = f.S("Sideways");
    for (int i = 0; i < 6; ++i)
        f.B();
    f.B();
    m.time = f.T();
    for (int i = 0; i < 5; ++i)
        f.I();
    m.mainPopup = f.P();
    m.playlistForm = f.R();
    f.I();
    f.C();
    f.Line("Borders", 4);
    f.lines.push_back("Font [ ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ 9 ]");
    f.Line("NormalColor", 3);
    f.Line("SelectedColor", 3);
    f.Line("PlayedColor", 3);
    f.lines.push_back("NormalBorderBgStyle [ 7 1 2 3 ]");
    f.lines.push_back("SelectedBorderBgStyle [ 8 4 5 6 ]");
    f.lines.push_back("NormalBorderStyle [ 5 1 2 3 ]");
    f.lines.push_back("SelectedBorderStyle [ -1 4 5 6 ]");
    m.scrollbar = f.Line("Size", 2);
    f.Line("SkinPos", 2);
    f.Line("SkinBorder", 1);
    m.playlistPopup = f.P();
    f.Word("Align", "Top");
    f.Line("SkinPos", 2);
    f.Line("Size", 2);
    f.lines.push_back("Font [ Mono 7 1 2 3 ]");
    f.Word("Visible", "TRUE");
    m.fileTypeIcons = f.Line("Size", 2);
    f.Line("SkinPos", 2);
    f.Line("SkinBorder", 1);
    f.W();
    f.C();
    f.S();
    for (int band = 0; band < 10; ++band) {
        const int at = f.S();
        if (band == 9)
            m.band9 = at;
    }
    m.controlsPopup = f.P();
    f.R();
    f.I();
    f.C();
    f.Line("Borders", 4);
    m.videoPopup = f.P();
    m.dvdPopup = f.P();
    f.Word("Align", "Center");
    f.W();
    f.B();
    f.I();
    f.L();
    f.F();
    f.S();
    for (int i = 0; i < 5; ++i)
        f.B();
    f.F();
    f.S();
    f.B();
    m.fsTime = f.T();
    return m;
}

class SkinKsknTest : public ::testing::Test {
protected:
    SkinKsknTest() { InitGUI(skin_); }
    TKGUI skin_;
};

} // namespace

TEST_F(SkinKsknTest, AFullFileSetsEveryElementKindInItsOrder)
{
    KsknFile f;
    const Marks m = WriteAll(f);
    ASSERT_EQ(f.lines.size(), 385u);
    f.lines.push_back("TransparentColor [ 9 9 9 ]"); // beyond the last line: not read
    ASSERT_EQ(ReadSkinKsknText(skin_, f.Text()).Status, TKSkinReadStatus::Ok);
    const TKSMain& main = skin_.Main;
    EXPECT_EQ(skin_.TransparentColor, gdi::RGB(1, 2, 3));
    EXPECT_EQ(main.Form.SkinPos.X, m.form);
    EXPECT_FALSE(main.Form.Masked);
    EXPECT_EQ(main.CloseButton.Size.Height, m.close + 5);
    EXPECT_EQ(main.CloseButton.SkinBorder, uint8_t(m.close + 6));
    EXPECT_TRUE(main.CloseButton.Visible);
    EXPECT_EQ(main.Analyzer.Size.Width, m.analyzer + 4);
    EXPECT_EQ(main.Analyzer.NumBars, m.analyzer + 13);
    EXPECT_EQ(main.Analyzer.Align, 1) << "RightToLeft in any letter case";
    EXPECT_FALSE(main.Analyzer.Visible) << "only the word TRUE is true";
    EXPECT_EQ(main.Scrolllabel.FontName, u"Sans");
    EXPECT_EQ(main.Scrolllabel.FontSize, m.label + 7);
    EXPECT_EQ(main.Volume.Align, baRightToLeft);
    EXPECT_EQ(main.Balance.BarAlign, sbaLeftToRight) << "an unknown word keeps the value";
    EXPECT_EQ(main.Balance.BarSize.Width, m.balance + 8);
    EXPECT_EQ(main.Time.FormPos.Y, m.time + 1);
    const int glyph = m.time + 4, border = uint8_t(m.time + 6); // borders are kept in a byte
    EXPECT_EQ(main.Time.SkinBorder, border);
    EXPECT_EQ(main.Time.Chars[3].X, m.time + 2 + 3 * (glyph + border));
    EXPECT_EQ(main.Time.Chars[tcMinusSpace].X, main.Time.Chars[tcSpace].X);
    const TKSPlaylist& p = skin_.Playlist;
    EXPECT_EQ(p.ResizeForm.DefaultSize.Width, m.playlistForm + 2);
    const int edgeW = m.playlistForm + 6, edgeBorder = uint8_t(m.playlistForm + 8);
    EXPECT_EQ(p.ResizeForm.Edges[eBottomRight].X, m.playlistForm + 4 + 2 * (edgeW + edgeBorder));
    EXPECT_EQ(p.PlaylistEditor.FontName.size(), 50u);
    EXPECT_EQ(p.PlaylistEditor.FontSize, 9);
    EXPECT_EQ(p.PlaylistEditor.NormalBgStyle, 7);
    EXPECT_EQ(p.PlaylistEditor.SelectedBgStyle, 1) << "out of range: unchanged";
    EXPECT_EQ(p.PlaylistEditor.SelectedBgColor, gdi::RGB(4, 5, 6)) << "the colour is set all the same";
    EXPECT_EQ(p.PlaylistEditor.NormalPenStyle, 5);
    EXPECT_EQ(p.PlaylistEditor.SelectedPenStyle, 1);
    EXPECT_EQ(p.Statusbar.Align, 0);
    EXPECT_EQ(p.Statusbar.FontName, u"Mono");
    EXPECT_EQ(p.Statusbar.FontColor, gdi::RGB(1, 2, 3));
    EXPECT_EQ(skin_.MediaControls.Equalizer[9].BgFormPos.X, m.band9);
    EXPECT_EQ(skin_.MediaControls.Equalizer[9].BarAlign, sbaDownToUp);
    EXPECT_EQ(skin_.VideoFullscreenControl.Align, bpCenter);
    EXPECT_EQ(skin_.VideoFullscreenControl.Time.FormPos.X, m.fsTime);
}

TEST_F(SkinKsknTest, PopupSideBarsTakeTheirSizeBeforeTheirPosition)
{
    KsknFile f;
    const Marks m = WriteAll(f);
    ASSERT_EQ(ReadSkinKsknText(skin_, f.Text()).Status, TKSkinReadStatus::Ok);
    const struct {
        const char* element;
        const TKSImage& image;
        int at, line;
    } bars[] = {
        {"main", skin_.Main.PopupBackground, m.mainPopup, 156},
        {"playlist", skin_.Playlist.PopupBackground, m.playlistPopup, 183},
        {"media controls", skin_.MediaControls.PopupBackground, m.controlsPopup, 288},
        {"video", skin_.Video.VideoPopupBackground, m.videoPopup, 304},
        {"DVD", skin_.Video.DVDPopupBackground, m.dvdPopup, 306},
    };
    for (const auto& bar : bars) {
        SCOPED_TRACE(bar.element);
        EXPECT_EQ(f.LineOf(bar.at), bar.line);
        EXPECT_EQ(bar.image.Size.Width, bar.at);
        EXPECT_EQ(bar.image.Size.Height, bar.at + 1);
        EXPECT_EQ(bar.image.SkinPos.X, bar.at + 2);
        EXPECT_EQ(bar.image.SkinPos.Y, bar.at + 3);
    }
}

TEST_F(SkinKsknTest, ThePlaylistsScrollThumbAndFileTypeIconsReadSizePositionAndBorder)
{
    KsknFile f;
    const Marks m = WriteAll(f);
    ASSERT_EQ(ReadSkinKsknText(skin_, f.Text()).Status, TKSkinReadStatus::Ok);
    EXPECT_EQ(f.LineOf(m.scrollbar), 180);
    EXPECT_EQ(f.LineOf(m.fileTypeIcons), 190);
    // Size, then position, then the border between the pictures.
    auto read = [](const auto& element, int at) {
        EXPECT_EQ(element.Size.Width, at);
        EXPECT_EQ(element.Size.Height, at + 1);
        EXPECT_EQ(element.SkinPos.X, at + 2);
        EXPECT_EQ(element.SkinPos.Y, at + 3);
        EXPECT_EQ(element.SkinBorder, uint8_t(at + 4));
    };
    read(skin_.Playlist.Scrollbar, m.scrollbar);
    read(skin_.Playlist.FileTypeIcons, m.fileTypeIcons);
}

TEST_F(SkinKsknTest, CommentsAndEmptyLinesAreSkippedButBlankLinesCount)
{
    KsknFile f;
    WriteAll(f);
    TKGUI plain;
    InitGUI(plain);
    ReadSkinKsknText(plain, f.Text());
    ReadSkinKsknText(skin_, f.Text("// a comment\r\n\r\n/another\n"));
    EXPECT_EQ(skin_.Main.Time.Chars[7].X, plain.Main.Time.Chars[7].X);
    EXPECT_EQ(skin_.VideoFullscreenControl.Time.FormPos.X, plain.VideoFullscreenControl.Time.FormPos.X);

    // A line of blanks takes the place of line 2: everything after shifts.
    f.lines.insert(f.lines.begin() + 1, "   ");
    TKGUI shifted;
    InitGUI(shifted);
    ReadSkinKsknText(shifted, f.Text());
    EXPECT_EQ(shifted.Main.Form.SkinPos.X, 0) << "line 2 was the blank one";
    EXPECT_NE(shifted.Main.CloseButton.FormPos.X, plain.Main.CloseButton.FormPos.X);
}

TEST_F(SkinKsknTest, ALineThatDoesNotMatchWhollyChangesNothing)
{
    const struct {
        const char* line;
        int x, y;
    } cases[] = {
        {"SkinPos [ 4 5 ]", 4, 5},           {"SkinPos [4 5]", 4, 5},
        {"SkinPos[ -4 +5 ]  ", -4, 5},       {"SkinPos [ 4 x ]", 0, 0},
        {"SkinPos [ 99999999999 5 ]", 0, 0}, {"SkinPos [ 4 ]", 0, 0},
        {"skinpos [ 4 5 ]", 0, 0},           {"SkinPos [ 4 5 ] extra", 0, 0},
    };
    for (const auto& c : cases) {
        InitGUI(skin_);
        ReadSkinKsknText(skin_, std::string("TransparentColor [ 1 2 3 ]\n") + c.line + "\n");
        EXPECT_EQ(skin_.Main.Form.SkinPos.X, c.x) << c.line;
        EXPECT_EQ(skin_.Main.Form.SkinPos.Y, c.y) << c.line;
    }
    // The full-screen bar's position and form size have values of their own
    // when their lines are missing.
    EXPECT_EQ(skin_.VideoFullscreenControl.Align, bpBottom);
    EXPECT_EQ(skin_.VideoFullscreenControl.Form.Size.Width, 0);
}

TEST_F(SkinKsknTest, SizesAndPositionsAreBoundedWhereTheyAreRead)
{
    ReadSkinKsknText(skin_, "TransparentColor [ 1 2 3 ]\nSkinPos [ 2147483647 -2147483648 ]\nSize [ 40000 -5 ]\n");
    EXPECT_EQ(skin_.Main.Form.SkinPos.X, kMaxPosition);
    EXPECT_EQ(skin_.Main.Form.SkinPos.Y, -kMaxPosition);
    EXPECT_EQ(skin_.Main.Form.Size.Width, kMaxExtent);
    EXPECT_EQ(skin_.Main.Form.Size.Height, 0);
}

TEST_F(SkinKsknTest, AMissingFileCannotBeOpened)
{
    ktest::TempDir dir;
    EXPECT_EQ(ReadSkinKskn(skin_, (dir.path() / "none.kskn").string()).Status, TKSkinReadStatus::CannotOpen);
    EXPECT_EQ(ReadSkinKskn(skin_, dir.write("ok.kskn", "TransparentColor [ 300 2 3 ]\n").string()).Status,
              TKSkinReadStatus::Ok);
    EXPECT_EQ(skin_.TransparentColor, gdi::RGB(44, 2, 3));
}
